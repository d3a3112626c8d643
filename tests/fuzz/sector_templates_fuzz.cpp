// sector_templates.json's reader: any bytes read without fault, and once
// written its templates read back and write the same bytes again.
#include <string>

#include "batchkml/sector_templates.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto list = kit::parseSectorTemplates(kit::fuzz::asText(data, size));
    FUZZ_CHECK(list.size() <= size);  // one object needs at least a '{'
    // Numbers settle after one trip (%f and int64 through double), names at once.
    const std::string once = kit::formatSectorTemplates(list);
    const auto back = kit::parseSectorTemplates(once);
    FUZZ_CHECK(back.size() == list.size());
    for (size_t i = 0; i < list.size(); ++i) FUZZ_CHECK(back[i].name == list[i].name && back[i].radiusCol == list[i].radiusCol);
    const std::string twice = kit::formatSectorTemplates(back);
    FUZZ_CHECK(kit::formatSectorTemplates(kit::parseSectorTemplates(twice)) == twice);
    return 0;
}
