#include "analysis/centre_reader.h"

#include "layers/layer_numbers.h"

namespace kit {

Outcome checkCentreSelection(const Table* table, const LonLatColumns& cols) {
    if (!table || table->empty()) return Outcome::warning("请先获取数据");
    if (!cols.lon || !cols.lat) return Outcome::warning("请选择经度列和纬度列");
    return Outcome::success();
}

CentreReader::CentreReader(const Table& table, const LonLatColumns& cols)
    : table_(table), lon_(table.column(*cols.lon)), lat_(table.column(*cols.lat)) {}

double CentreReader::lon(size_t row) const { return layerNumberOr(table_.cellOr(row, lon_, "0"), 0); }
double CentreReader::lat(size_t row) const { return layerNumberOr(table_.cellOr(row, lat_, "0"), 0); }

}  // namespace kit
