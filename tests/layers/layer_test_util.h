#pragma once
// Helpers shared by the layer tests: a scratch folder with a non-ASCII name,
// and whole-file reads and writes by UTF-8 path.
#include <gtest/gtest.h>

#include <string>

#include "core/file_io.h"
#include "tests/temp_folder.h"

namespace kit::test {

// A scratch folder whose name holds Chinese characters, so every file test
// also covers non-ASCII paths.
class ScratchDir : public TempFolder {
public:
    ScratchDir() : TempFolder("kit_图层_") {}
};

inline std::string readAll(const std::string& utf8Path) {
    auto bytes = readFileBytes(utf8Path);
    return bytes ? *bytes : std::string();
}

// Reads every prefix of the file with `count` (text -> features read): a
// feature counts once its end is in, so the count only grows, up to `whole`.
template <typename Count>
void expectCountGrowsOverPrefixes(const std::string& utf8Path, Count count, size_t whole) {
    std::string text = readAll(utf8Path);
    ASSERT_FALSE(text.empty()) << utf8Path;
    size_t previous = 0;
    for (size_t n = 0; n <= text.size(); ++n) {
        size_t c = count(std::string_view(text).substr(0, n));
        EXPECT_GE(c, previous) << "prefix of " << n << " bytes";
        previous = c;
    }
    EXPECT_EQ(previous, whole);
}

}  // namespace kit::test
