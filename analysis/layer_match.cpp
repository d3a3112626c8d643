#include "analysis/layer_match.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_set>

#include "analysis/feature_index.h"
#include "analysis/match_geometry.h"
#include "core/columns.h"
#include "core/edit_text.h"
#include "core/file_io.h"
#include "core/format.h"
#include "core/geodesy.h"
#include "core/number_parse.h"
#include "layers/layer_file.h"
#include "layers/lonlat_check.h"

namespace kit {

namespace {

constexpr double kNoMatchYet = 1e18;

// Number of characters (code points) of UTF-8 text, and the byte length of
// its first n characters.
size_t characterCount(std::string_view s) {
    size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}
size_t prefixBytes(std::string_view s, size_t characters) {
    size_t i = 0, seen = 0;
    for (; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (seen == characters) break;
            ++seen;
        }
    }
    return i;
}

// What fills one output column. A table cell's column points into the
// table's name index: a name repeated over thousands of columns keeps one
// list of its positions, not one copy per column.
struct OutputColumn {
    enum Kind { Cell, Field, Distance } kind;
    std::string name;
    const ColumnRef* ref;
};

struct OutputColumns {
    std::unordered_map<std::string_view, ColumnRef> byName;
    std::vector<OutputColumn> list;
};

void outputColumns(const Table& t, const Layer& layer, const MatchField& field, OutputColumns& out) {
    static const ColumnRef kNoColumnRef;
    std::vector<std::string> names = t.headers;
    std::vector<std::string> fields = field ? std::vector<std::string>{*field} : layer.fieldNames;
    names.insert(names.end(), fields.begin(), fields.end());
    names.push_back(kDistanceColumn);
    // Looked up through one index each, not by a scan per column: a table
    // or a layer with tens of thousands of columns stays linear.
    out.byName = t.columnIndex();
    const std::unordered_set<std::string_view> isField(fields.begin(), fields.end());
    out.list.reserve(names.size());
    for (std::string& n : names) {
        if (n == kDistanceColumn) {
            out.list.push_back({OutputColumn::Distance, std::move(n), &kNoColumnRef});
        } else if (isField.count(n)) {
            out.list.push_back({OutputColumn::Field, std::move(n), &kNoColumnRef});
        } else {
            auto it = out.byName.find(n);
            out.list.push_back({OutputColumn::Cell, std::move(n), it == out.byName.end() ? &kNoColumnRef : &it->second});
        }
    }
}

using Properties = std::map<std::string, std::string>;

void appendLine(std::string& out, const Table& t, size_t row, const std::vector<OutputColumn>& cols,
                const PropertySet* props, std::string_view distance) {
    bool first = true;
    for (const OutputColumn& c : cols) {
        if (!first) out += '\t';
        first = false;
        switch (c.kind) {
            case OutputColumn::Distance:
                out += distance;
                break;
            case OutputColumn::Field:
                if (props)
                    if (auto value = props->find(c.name)) out += *value;
                break;
            case OutputColumn::Cell:
                out += t.cellOr(row, *c.ref, "");
                break;
        }
    }
    out += '\n';
}

// Values of every match in layer order: the first value of a key is taken as
// it is; later ones are appended after a comma unless empty or equal to the
// whole merged text so far.
Properties mergeProperties(const Layer& layer, const std::vector<Match>& matches) {
    Properties merged;
    for (const Match& m : matches) {
        for (const auto& [key, value] : layer.features[m.feature].properties) {
            auto [it, added] = merged.try_emplace(key, value);
            if (!added && !value.empty() && value != it->second) {
                it->second += ',';
                it->second += value;
            }
        }
    }
    return merged;
}

std::string distanceText(double metres) { return formatFixed(metres, 2); }

}  // namespace

std::vector<std::string> matchFieldItems(const Layer& layer) {
    std::vector<std::string> items{kAllFields};
    items.insert(items.end(), layer.fieldNames.begin(), layer.fieldNames.end());
    return items;
}

MatchField matchFieldAt(const Layer& layer, int index) {
    if (index < 1 || static_cast<size_t>(index) > layer.fieldNames.size()) return std::nullopt;
    return layer.fieldNames[index - 1];
}

std::string layerFileLabel(std::string_view path) {
    std::string name = fileNameOf(path);
    if (characterCount(name) <= 18) return name;
    return name.substr(0, prefixBytes(name, 15)) + "...";
}

std::string layerLoadedLabel(const Layer& layer) { return format("已加载 %zu 个要素", layer.features.size()); }

Outcome loadMatchLayer(const std::string& utf8Path, Layer& layer) {
    if (Outcome loaded = loadLayerFile(utf8Path, layer); !loaded.ok()) return loaded;
    if (layer.features.empty()) return Outcome::warning(kNoGeometryFound);
    // Metres matched as degrees would find nothing and call that a result.
    if (auto notLonLat = notLonLatWarning(utf8Path, layer)) {
        layer.clear();
        return Outcome::warning(*notLonLat);
    }
    return Outcome::success(layerLoadedLabel(layer), {});
}

bool matchButtonEnabled(const Table* table, const Layer* layer) {
    return table != nullptr && layer != nullptr && !layer->features.empty();
}

double matchBuffer(std::string_view text) {
    double v = editNumberOr(text, kDefaultBuffer);
    return v <= 0 ? kDefaultBuffer : v;
}

std::optional<double> matchFeature(const Feature& f, double lon, double lat, double buffer) {
    return matchFeature(f, nullptr, lon, lat, buffer);
}

std::optional<double> matchFeature(const Feature& f, const RingIndex* edges, double lon, double lat, double buffer) {
    double d;
    if (f.type == "Polygon" && !f.ring.empty()) {
        if (edges ? edges->contains(lon, lat) : pointInRing(f.ring, lon, lat)) return 0.0;
        if (std::isnan(buffer)) return std::nullopt;  // nothing is within a NaN buffer
        d = edges ? edges->distanceWithin(lon, lat) : boundaryDistance(f.ring, lon, lat);
    } else if (f.type == "Point") {
        d = haversineDistance(lat, lon, f.lat, f.lon);
    } else {
        return std::nullopt;
    }
    if (d >= 0 && d <= buffer) return d;
    return std::nullopt;
}

Outcome runLayerMatch(const Table* table, const MatchColumns& cols, const Layer* layer, std::string_view bufferText,
                      MatchMethod method, const MatchField& field, std::string_view destination) {
    const double buffer = matchBuffer(bufferText);
    std::optional<FeatureIndex> index;  // built once the checks have passed
    std::vector<uint32_t> candidates;
    return detail::runLayerMatchWith(table, cols, layer, method, field,
                                     [&](double lon, double lat, std::vector<Match>& out) {
                                         if (!index) index.emplace(*layer, buffer);
                                         index->candidates(lon, lat, candidates);
                                         for (uint32_t i : candidates)
                                             if (auto d = matchFeature(layer->features[i], index->ringIndex(i), lon,
                                                                       lat, buffer))
                                                 out.push_back({i, *d});
                                     },
                                     destination);
}

namespace detail {

Outcome runLayerMatchWith(const Table* table, const MatchColumns& cols, const Layer* layer, MatchMethod method,
                          const MatchField& field, const MatchFinder& find, std::string_view destination) {
    if (!table || table->empty()) return Outcome::warning("请先获取数据");
    if (!layer || layer->features.empty()) return Outcome::warning("请先选择图层文件");
    if (!cols.lon || !cols.lat) return Outcome::warning("请选择经度列和纬度列");
    const Table& t = *table;
    OutputColumns output;
    outputColumns(t, *layer, field, output);
    const std::vector<OutputColumn>& columns = output.list;
    const ColumnRef lonRef = t.column(*cols.lon), latRef = t.column(*cols.lat);

    std::string out;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i) out += '\t';
        out += columns[i].name;
    }
    out += '\n';

    int matchedRows = 0, lines = 0;
    std::vector<Match> matches;
    for (size_t r = 0; r < t.rowCount(); ++r) {
        const double lon = toNumberOr(t.cellOr(r, lonRef, "0"), 0);
        const double lat = toNumberOr(t.cellOr(r, latRef, "0"), 0);
        matches.clear();
        find(lon, lat, matches);
        if (!matches.empty()) ++matchedRows;
        switch (method) {
            case MatchMethod::Single:
                if (matches.empty())
                    appendLine(out, t, r, columns, nullptr, "-1.00");
                else
                    appendLine(out, t, r, columns, &layer->features[matches[0].feature].properties,
                               distanceText(matches[0].distance));
                ++lines;
                break;
            case MatchMethod::Merge: {
                double nearest = kNoMatchYet;
                for (const Match& m : matches) nearest = std::min(nearest, m.distance);
                const PropertySet merged = mergeProperties(*layer, matches);
                appendLine(out, t, r, columns, matches.empty() ? nullptr : &merged,
                           nearest > 1e17 ? "-1.00" : distanceText(nearest));
                ++lines;
                break;
            }
            case MatchMethod::Expand:
                if (matches.empty()) {
                    appendLine(out, t, r, columns, nullptr, "-1");
                    ++lines;
                }
                for (const Match& m : matches) {
                    appendLine(out, t, r, columns, &layer->features[m.feature].properties, distanceText(m.distance));
                    ++lines;
                }
                break;
        }
    }
    return Outcome::success(format("匹配完成！%d/%zu 个匹配，%d行已导出到%s", matchedRows, t.rowCount(), lines, destination),
                            std::move(out));
}

}  // namespace detail

}  // namespace kit
