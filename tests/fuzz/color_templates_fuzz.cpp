// templates.json's tolerant reader: never empty, keeps only whole templates,
// and whatever it reads is written and read back the same (values once
// rounded to the file's six decimals).
#include <string>

#include "batchkml/template_store.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string lastUsed;
    const auto list = kit::parseTemplates(kit::fuzz::asText(data, size), lastUsed);
    FUZZ_CHECK(!list.empty());
    FUZZ_CHECK(!lastUsed.empty());
    for (const auto& t : list) FUZZ_CHECK(!t.name.empty() && !t.ranges.empty());

    const std::string text = kit::formatTemplates(list, lastUsed);
    std::string again;
    const auto back = kit::parseTemplates(text, again);
    FUZZ_CHECK(again == lastUsed);
    FUZZ_CHECK(back.size() == list.size());
    for (size_t i = 0; i < list.size(); ++i) FUZZ_CHECK(back[i].name == list[i].name);
    FUZZ_CHECK(kit::formatTemplates(back, again) == text);
    return 0;
}
