#pragma once
// Helpers shared by the KML and template tests: a scratch folder with a
// non-ASCII name, tables built inline, and counting in texts.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "batchkml/data_table.h"
#include "core/file_io.h"

namespace kit::test {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class KmlScratch {
public:
    KmlScratch() {
        std::random_device rd;
        auto name = u8"kit_路测_" + std::u8string(reinterpret_cast<const char8_t*>(std::to_string(rd()).c_str()));
        auto p = std::filesystem::temp_directory_path() / std::filesystem::path(name);
        auto u8 = p.u8string();
        dir_.assign(u8.begin(), u8.end());
        createDirectories(dir_);
    }
    ~KmlScratch() {
        std::error_code ec;
        std::filesystem::remove_all(std::filesystem::path(std::u8string(dir_.begin(), dir_.end())), ec);
    }
    KmlScratch(const KmlScratch&) = delete;
    KmlScratch& operator=(const KmlScratch&) = delete;

    const std::string& path() const { return dir_; }
    std::string file(const std::string& name) const { return joinPath(dir_, name); }

private:
    std::string dir_;
};

inline DataTable tableOf(std::vector<std::string> headers, std::vector<std::vector<std::string>> rows,
                         std::string sourcePath = "C:\\数据\\表.csv") {
    return DataTable{std::move(headers), std::move(rows), std::move(sourcePath)};
}

inline size_t countOf(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
    return n;
}

inline std::string readAll(const std::string& path) { return readFileBytes(path).value_or(""); }

// The lines of a text without their LF.
inline std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t nl = text.find('\n'); nl != std::string::npos; nl = text.find('\n', start)) {
        out.push_back(text.substr(start, nl - start));
        start = nl + 1;
    }
    if (start < text.size()) out.push_back(text.substr(start));
    return out;
}

}  // namespace kit::test
