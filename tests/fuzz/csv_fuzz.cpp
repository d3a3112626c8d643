// readCsv's decoding and splitting on arbitrary bytes.
#include "core/ansi_text.h"
#include "batchkml/csv_reader.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes = kit::fuzz::asText(data, size);
    kit::DataTable table;
    bool ok = kit::readCsvBytes(bytes, table);
    FUZZ_CHECK(ok == !table.headers.empty());
    // Every kept line gives at least one field, and never more fields than
    // its bytes allow.
    const std::string text = kit::decodeCsvBytes(bytes);
    size_t fields = table.headers.size();
    for (const auto& cell : table.headers) FUZZ_CHECK(kit::isValidUtf8(cell));
    for (const auto& row : table.rows) {
        FUZZ_CHECK(!row.empty());
        fields += row.size();
        for (const auto& cell : row) FUZZ_CHECK(kit::isValidUtf8(cell));
    }
    FUZZ_CHECK(fields <= text.size() + 1);
    return 0;
}
