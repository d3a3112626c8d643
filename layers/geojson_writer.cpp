#include "layers/geojson_writer.h"

#include "core/format.h"

namespace kit {

void appendJsonEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            default: out.push_back(c);
        }
    }
}

std::string jsonEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    appendJsonEscaped(out, text);
    return out;
}

std::string formatPosition(double lon, double lat) {
    std::string s = "[";
    appendFixed(s, lon, 8);
    s += ", ";
    appendFixed(s, lat, 8);
    s += "]";
    return s;
}

std::string formatNumber(double value) { return formatFixed(value, 8); }

std::string formatInt(int value) { return std::to_string(value); }

GeoJsonWriter::GeoJsonWriter() : out_("{\n  \"type\": \"FeatureCollection\",\n  \"features\": [\n") {}

void GeoJsonWriter::addFeature(std::string_view geometryMembers, const std::vector<GeoJsonProperty>& properties) {
    if (count_ > 0) out_ += ",\n";
    ++count_;
    out_ += "    {\n      \"type\": \"Feature\",\n      \"geometry\": {\n        ";
    out_ += geometryMembers;
    out_ += "\n      },\n      \"properties\": {\n";
    bool first = true;
    for (const GeoJsonProperty& p : properties) {
        if (!first) out_ += ",\n";
        first = false;
        out_ += "        \"";
        appendJsonEscaped(out_, p.key);
        out_ += "\": ";
        if (p.quoted) {
            out_ += '"';
            appendJsonEscaped(out_, p.value);
            out_ += '"';
        } else {
            out_ += p.value;
        }
    }
    out_ += "\n      }\n    }";
}

std::string GeoJsonWriter::finish() {
    if (count_ > 0) out_ += "\n";
    out_ += "  ]\n}";
    return std::move(out_);
}

}  // namespace kit
