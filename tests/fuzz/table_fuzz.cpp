// parseTable on clipboard text, both as UTF-8 and as UTF-16, and the column
// lookups every tab makes on the result.
#include <string>

#include "core/table.h"
#include "fuzz_support.h"

namespace {

void checkTable(const kit::Table& t, bool ok) {
    FUZZ_CHECK(ok == (t.rowCount() > 0));
    for (size_t r = 0; r < t.rowCount(); ++r) {
        FUZZ_CHECK(t.cellCount(r) <= t.columnCount());
        for (size_t p = 0; p < t.cellCount(r); ++p) (void)t.cell(r, p).size();
    }
    // The one-pass index agrees with the per-name lookup.
    const auto index = t.columnIndex();
    for (size_t i = 0; i < t.headers.size() && i < 64; ++i)
        FUZZ_CHECK(index.at(t.headers[i]).positions == t.column(t.headers[i]).positions);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text = kit::fuzz::asText(data, size);
    kit::Table t;
    checkTable(t, kit::parseTable(std::string(text), t));

    std::u16string wide(size / 2, u'\0');
    for (size_t i = 0; i < wide.size(); ++i) wide[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
    kit::Table w;
    checkTable(w, kit::parseTable(std::u16string_view(wide), w));
    return 0;
}
