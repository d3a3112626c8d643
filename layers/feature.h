#pragma once
// The in-memory layer that every reader fills and the matching tool consumes.
#include <map>
#include <string>
#include <vector>

namespace kit {

struct Position {
    double lon = 0, lat = 0;
    bool operator==(const Position&) const = default;
};

struct Feature {
    std::string type;                              // "Point" or "Polygon"
    double lon = 0, lat = 0;                       // a point's position; 0 for a polygon
    std::vector<Position> ring;                    // a polygon's vertices in file order; empty for a point
    std::map<std::string, std::string> properties; // ascending byte order of the key
};

struct Layer {
    std::vector<Feature> features;    // file order
    std::vector<std::string> fieldNames;  // distinct keys, in order of first appearance

    void clear() {
        features.clear();
        fieldNames.clear();
    }
    // Appends the feature's keys that fieldNames does not hold yet, in the
    // map's key order.
    void noteFields(const Feature& f);
    void noteFields(const std::map<std::string, std::string>& properties);
    void noteField(const std::string& name);
};

}  // namespace kit
