// iconmap_templates.json's reader: any bytes read without fault, and its
// templates written and read back unchanged.
#include <string>

#include "batchkml/iconmap_kml.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto list = kit::parseIconMapTemplates(kit::fuzz::asText(data, size));
    FUZZ_CHECK(list.size() <= size);
    FUZZ_CHECK(kit::parseIconMapTemplates(kit::formatIconMapTemplates(list)) == list);
    return 0;
}
