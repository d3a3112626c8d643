#pragma once
// Small readers of generated layer text for the tests: the positions of each
// feature and its property lines.
#include <regex>
#include <string>
#include <vector>

#include "core/table.h"
#include "layers/feature.h"

namespace test {

inline kit::Table tableOf(std::string text) {
    kit::Table t;
    kit::parseTable(std::move(text), t);
    return t;
}

// Every "[lon, lat]" of the text, in order.
inline std::vector<kit::Position> positionsIn(const std::string& text) {
    static const std::regex pos(R"(\[(-?[0-9]+\.[0-9]{8}), (-?[0-9]+\.[0-9]{8})\])");
    std::vector<kit::Position> out;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pos); it != std::sregex_iterator(); ++it)
        out.push_back({std::stod((*it)[1]), std::stod((*it)[2])});
    return out;
}

// The text of each feature object ("    {" ... "    }").
inline std::vector<std::string> featuresIn(const std::string& text) {
    std::vector<std::string> out;
    const std::string open = "    {\n      \"type\": \"Feature\"";
    for (size_t p = text.find(open); p != std::string::npos;) {
        size_t next = text.find(open, p + 1);
        out.push_back(text.substr(p, next == std::string::npos ? std::string::npos : next - p));
        p = next;
    }
    return out;
}

// The properties block of a feature, between its braces.
inline std::string propertiesOf(const std::string& feature) {
    const std::string key = "\"properties\": {\n";
    size_t b = feature.find(key);
    if (b == std::string::npos) return {};
    b += key.size();
    return feature.substr(b, feature.find("\n      }", b) - b);
}

}  // namespace test
