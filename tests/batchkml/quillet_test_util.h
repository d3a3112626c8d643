#pragma once
// Helpers shared by the KML and template tests: a scratch folder with a
// non-ASCII name, tables built inline, and counting in texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batchkml/data_table.h"
#include "core/file_io.h"
#include "tests/temp_folder.h"

namespace kit::test {

// A scratch folder of its own with a non-ASCII name, removed afterwards.
class KmlScratch : public TempFolder {
public:
    KmlScratch() : TempFolder("kit_路测_") {}
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
