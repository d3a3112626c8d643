#pragma once
// The in-memory layer that every reader fills and the matching tool consumes.
#include <cstddef>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace kit {

struct Position {
    double lon = 0, lat = 0;
    bool operator==(const Position&) const = default;
};

using PropertyMap = std::map<std::string, std::string>;  // ascending byte order of the key

// A feature's properties, read-only once set. Copies share one map, so the
// points of a multipoint record (thousands of points, hundreds of fields)
// hold one set between them instead of one each.
class PropertySet {
public:
    PropertySet() = default;
    PropertySet(PropertyMap map)  // NOLINT: a map converts implicitly
        : map_(map.empty() ? nullptr : std::make_shared<const PropertyMap>(std::move(map))) {}
    PropertySet(std::initializer_list<PropertyMap::value_type> items) : PropertySet(PropertyMap(items)) {}

    const PropertyMap& map() const { return map_ ? *map_ : empty_(); }
    operator const PropertyMap&() const { return map(); }  // NOLINT

    bool empty() const { return map().empty(); }
    size_t size() const { return map().size(); }
    const std::string& at(const std::string& key) const { return map().at(key); }
    size_t count(const std::string& key) const { return map().count(key); }
    PropertyMap::const_iterator find(const std::string& key) const { return map().find(key); }
    PropertyMap::const_iterator begin() const { return map().begin(); }
    PropertyMap::const_iterator end() const { return map().end(); }

    // True when both refer to the same stored map (not merely equal ones).
    bool sharedWith(const PropertySet& other) const { return map_ && map_ == other.map_; }

    friend bool operator==(const PropertySet& a, const PropertySet& b) { return a.map() == b.map(); }
    friend bool operator==(const PropertySet& a, const PropertyMap& b) { return a.map() == b; }

private:
    static const PropertyMap& empty_() {
        static const PropertyMap none;
        return none;
    }
    std::shared_ptr<const PropertyMap> map_;
};

struct Feature {
    std::string type;        // "Point" or "Polygon"
    double lon = 0, lat = 0; // a point's position; 0 for a polygon
    std::vector<Position> ring;  // a polygon's vertices in file order; empty for a point
    PropertySet properties;
};

struct Layer {
    std::vector<Feature> features;    // file order
    std::vector<std::string> fieldNames;  // distinct keys, in order of first appearance

    void clear() {
        features.clear();
        fieldNames.clear();
        known_.clear();
    }
    // Appends the feature's keys that fieldNames does not hold yet, in the
    // map's key order.
    void noteFields(const Feature& f);
    void noteFields(const PropertyMap& properties);
    void noteField(const std::string& name);

private:
    // The names in fieldNames, so that noting a name costs the same however
    // many fields the layer has.
    std::unordered_set<std::string> known_;
};

}  // namespace kit
