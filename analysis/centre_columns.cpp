#include "analysis/centre_columns.h"

#include "core/columns.h"
#include "layers/layer_numbers.h"

namespace kit {

CentreColumns centreColumnsAt(const Table& table, int lon, int lat) {
    auto at = [&](int i) -> std::optional<std::string> {
        if (!isSelected(i, table.headers)) return std::nullopt;
        return table.headers[i];
    };
    return {at(lon), at(lat)};
}

std::optional<std::string> checkCentreSelection(const Table* table, const CentreColumns& cols) {
    if (!table || table->empty()) return std::string("请先获取数据");
    if (!cols.complete()) return std::string("请选择经度列和纬度列");
    return std::nullopt;
}

CentreReader::CentreReader(const Table& table, const CentreColumns& cols)
    : table_(table), lon_(table.column(*cols.lon)), lat_(table.column(*cols.lat)) {}

double CentreReader::lon(size_t row) const { return layerNumberOr(table_.cellOr(row, lon_, "0"), 0); }
double CentreReader::lat(size_t row) const { return layerNumberOr(table_.cellOr(row, lat_, "0"), 0); }

}  // namespace kit
