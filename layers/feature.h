#pragma once
// The in-memory layer that every reader fills and the matching tool consumes.
#include <cstddef>
#include <initializer_list>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

namespace kit {

struct Position {
    double lon = 0, lat = 0;
    bool operator==(const Position&) const = default;
};

using PropertyMap = std::map<std::string, std::string>;  // ascending byte order of the key

// The keys of many features' properties, shared between them (a Shapefile's
// fields): ascending byte order, each once.
using PropertyKeys = std::vector<std::string>;

// A feature's properties, read-only once set: keys in ascending byte order,
// each once, with their values. The keys are shared by every set made from
// one list of them, and the values of a set are held in one piece, so a
// table of many short values (a .dbf of two thousand one-byte fields) costs
// a few bytes per value; copies share everything.
class PropertySet {
public:
    PropertySet() = default;
    PropertySet(const PropertyMap& map);  // NOLINT: a map converts implicitly
    PropertySet(std::initializer_list<PropertyMap::value_type> items) : PropertySet(PropertyMap(items)) {}
    // values[k] belongs to (*keys)[k]; keys as described above.
    PropertySet(std::shared_ptr<const PropertyKeys> keys, const std::vector<std::string_view>& values);

    size_t size() const { return data_ ? data_->ends.size() : 0; }
    bool empty() const { return size() == 0; }
    const std::string& key(size_t k) const { return (*data_->keys)[k]; }
    std::string_view value(size_t k) const {
        const uint32_t from = k ? data_->ends[k - 1] : 0;
        return std::string_view(data_->values).substr(from, data_->ends[k] - from);
    }
    // The value under the key; nothing when the key is absent.
    std::optional<std::string_view> find(std::string_view key) const;
    size_t count(std::string_view key) const { return find(key) ? 1 : 0; }
    // The value under the key; std::out_of_range when absent.
    std::string at(std::string_view key) const;
    PropertyMap toMap() const;

    class Iterator {
    public:
        Iterator(const PropertySet* set, size_t k) : set_(set), k_(k) {}
        std::pair<const std::string&, std::string_view> operator*() const { return {set_->key(k_), set_->value(k_)}; }
        Iterator& operator++() {
            ++k_;
            return *this;
        }
        bool operator==(const Iterator& o) const { return k_ == o.k_; }

    private:
        const PropertySet* set_;
        size_t k_;
    };
    Iterator begin() const { return {this, 0}; }
    Iterator end() const { return {this, size()}; }

    // True when both refer to the same stored values (not merely equal ones).
    bool sharedWith(const PropertySet& other) const { return data_ && data_ == other.data_; }

    friend bool operator==(const PropertySet& a, const PropertySet& b);
    friend bool operator==(const PropertySet& a, const PropertyMap& b) { return a == PropertySet(b); }

private:
    struct Data {
        std::shared_ptr<const PropertyKeys> keys;
        std::string values;          // every value, one after another
        std::vector<uint32_t> ends;  // where each value ends in `values`
    };
    std::shared_ptr<const Data> data_;
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
    void noteFields(const PropertySet& properties);
    void noteField(const std::string& name);

private:
    // The names in fieldNames, so that noting a name costs the same however
    // many fields the layer has.
    std::unordered_set<std::string> known_;
};

}  // namespace kit
