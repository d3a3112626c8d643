#pragma once
// Helpers shared by the layer tests: a scratch folder with a non-ASCII name,
// and whole-file reads and writes by UTF-8 path.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "core/file_io.h"

namespace kit::test {

inline std::string utf8Of(const std::filesystem::path& p) {
    auto u8 = p.u8string();
    return std::string(u8.begin(), u8.end());
}

inline std::filesystem::path pathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes. Its name holds Chinese characters, so every
// file test also covers non-ASCII paths.
class ScratchDir {
public:
    ScratchDir() {
        auto base = std::filesystem::temp_directory_path();
        std::random_device rd;
        std::string name = "kit_图层_" + std::to_string(rd()) + std::to_string(rd() % 1000);
        dir_ = utf8Of(base / pathOf(name));
        createDirectories(dir_);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(pathOf(dir_), ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return dir_; }
    std::string file(const std::string& name) const { return joinPath(dir_, name); }

private:
    std::string dir_;
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
