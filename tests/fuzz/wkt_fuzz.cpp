// The WKT parser, alone and through the WKT tab's run over a table.
#include <string>

#include "core/table.h"
#include "fuzz_support.h"
#include "layers/wkt_layer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text = kit::fuzz::asText(data, size);
    std::string geometry = kit::wktToGeometry(text);
    FUZZ_CHECK(geometry.empty() || geometry.starts_with("\"type\": \""));

    kit::Table table;
    if (!kit::parseTable(std::string(text), table)) return 0;
    int column = kit::detectGeometryColumn(table);
    if (column < 0) return 0;
    FUZZ_CHECK(static_cast<size_t>(column) < table.headers.size());
    kit::Outcome o = kit::runWktLayer(&table, std::string(table.headers[column]));
    FUZZ_CHECK(o.ok());
    return 0;
}
