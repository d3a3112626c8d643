#pragma once
// The common GeoJSON layout every generating tool writes: a FeatureCollection
// with a fixed indentation, eight-decimal positions and minimally escaped
// strings (UTF-8 passes through unchanged).
#include <string>
#include <string_view>
#include <vector>

namespace kit {

// TAB, LF, CR, '"' and '\' escaped; every other byte copied.
std::string jsonEscape(std::string_view text);
void appendJsonEscaped(std::string& out, std::string_view text);

std::string formatPosition(double lon, double lat);  // "[%.8f, %.8f]"
std::string formatNumber(double value);              // "%.8f"
std::string formatInt(int value);                    // "%d"

// One property: the value written quoted (escaped) or raw (numbers some
// tools write without quotes).
struct GeoJsonProperty {
    std::string key;
    std::string value;
    bool quoted = true;
};

// Builds the collection text feature by feature.
class GeoJsonWriter {
public:
    GeoJsonWriter();
    // geometryMembers is what stands inside "geometry": { ... }, e.g.
    // "\"type\": \"Point\",\n        \"coordinates\": [..]".
    void addFeature(std::string_view geometryMembers, const std::vector<GeoJsonProperty>& properties);
    // The finished text ("  ]\n}" appended); the writer is spent afterwards.
    std::string finish();
    size_t featureCount() const { return count_; }

private:
    std::string out_;
    size_t count_ = 0;
};

}  // namespace kit
