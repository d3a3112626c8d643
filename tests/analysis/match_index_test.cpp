// The indexed run against the plain all-pairs method: every row tested
// against every feature in layer order must give the same text, byte for byte.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "analysis/feature_index.h"
#include "analysis/layer_match.h"
#include "analysis/match_geometry.h"
#include "core/format.h"
#include "core/geodesy.h"

namespace {

using kit::Layer;
using kit::MatchMethod;
using kit::Position;

kit::Outcome allPairs(const kit::Table& t, const Layer& layer, std::string_view bufferText, MatchMethod method) {
    const double buffer = kit::matchBuffer(bufferText);
    return kit::detail::runLayerMatchWith(&t, {"lon", "lat"}, &layer, method, std::nullopt,
                                          [&](double lon, double lat, std::vector<kit::Match>& out) {
                                              for (uint32_t i = 0; i < layer.features.size(); ++i)
                                                  if (auto d = kit::matchFeature(layer.features[i], lon, lat, buffer))
                                                      out.push_back({i, *d});
                                          });
}

std::string exact(double v) { return kit::format("%.17g", v); }

struct Scene {
    Layer layer;
    std::vector<std::pair<double, double>> points;  // rows as numbers
    std::vector<std::string> oddRows;               // rows as texts: missing, empty, not numbers
    std::vector<double> exactBuffers;               // distances some row has to some feature
};

// Places around the world where features cluster, including the awkward ones.
const std::vector<Position> kCentres = {{116.4, 39.9}, {179.99, 10}, {-179.995, -10}, {0, 0}, {10, 89.999}, {-70, -60}};

Scene makeScene(uint64_t seed, int features, int rows) {
    std::mt19937_64 rng(seed);
    auto uni = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    Scene s;
    const char* values[] = {"A", "B", ""};
    for (int i = 0; i < features; ++i) {
        const Position c = kCentres[pick(kCentres.size())];
        const double lon = c.lon + uni(-0.03, 0.03), lat = std::clamp(c.lat + uni(-0.03, 0.03), -90.0, 90.0);
        kit::Feature f;
        f.properties = {{"name", kit::format("f%d", i)}, {"grp", values[pick(3)]}};
        const double roll = uni(0, 1);
        if (roll < 0.2) {
            f.type = "Point";
            f.lon = lon;
            f.lat = lat;
        } else if (roll < 0.23) {
            f.type = roll < 0.215 ? "Polygon" : "LineString";  // an empty ring, or a type never matched
            if (f.type == "LineString") f.ring = {{lon, lat}, {lon + 0.01, lat}};
        } else {
            f.type = "Polygon";
            const int n = roll < 0.3 ? 2 : (roll < 0.32 ? 1 : 3 + static_cast<int>(pick(38)));
            const double radius = uni(20, 3000);
            for (int k = 0; k < n; ++k) {
                kit::LonLat p = kit::offsetByMetres(lon, lat, radius * uni(0.5, 1), 2 * kit::kPi * k / n);
                f.ring.push_back({p.lon, p.lat});
            }
            if (n >= 3 && uni(0, 1) < 0.5) f.ring.push_back(f.ring.front());
            if (n >= 3 && uni(0, 1) < 0.25) {  // a hole, stored after the outer ring
                const size_t start = f.ring.size();
                for (int k = 0; k < 6; ++k) {
                    kit::LonLat p = kit::offsetByMetres(lon, lat, radius * 0.3, -2 * kit::kPi * k / 6);
                    f.ring.push_back({p.lon, p.lat});
                }
                f.ring.push_back(f.ring[start]);
            }
        }
        s.layer.noteFields(f);
        s.layer.features.push_back(std::move(f));
    }

    const auto& fs = s.layer.features;
    for (int r = 0; r < rows; ++r) {
        const double roll = uni(0, 1);
        const kit::Feature& f = fs[pick(fs.size())];
        if (roll < 0.4) {
            const Position c = kCentres[pick(kCentres.size())];
            const double spread = uni(0, 1) < 0.5 ? 0.01 : 0.1;
            s.points.push_back({c.lon + uni(-spread, spread), c.lat + uni(-spread, spread)});
        } else if (roll < 0.55 && !f.ring.empty()) {  // on a vertex
            const Position v = f.ring[pick(f.ring.size())];
            s.points.push_back({v.lon, v.lat});
        } else if (roll < 0.7 && f.ring.size() >= 2) {  // on an edge
            const size_t k = pick(f.ring.size());
            const Position a = f.ring[k], b = f.ring[(k + 1) % f.ring.size()];
            const double t = roll < 0.6 ? 0.5 : uni(0, 1);
            s.points.push_back({a.lon + t * (b.lon - a.lon), a.lat + t * (b.lat - a.lat)});
        } else if (roll < 0.85) {  // near a feature, then remember its exact distance now and then
            const double lon = (f.ring.empty() ? f.lon : f.ring[0].lon) + uni(-0.02, 0.02);
            const double lat = std::clamp((f.ring.empty() ? f.lat : f.ring[0].lat) + uni(-0.02, 0.02), -90.0, 90.0);
            s.points.push_back({lon, lat});
            if (s.exactBuffers.size() < 4 && f.type == "Point")
                s.exactBuffers.push_back(kit::haversineDistance(lat, lon, f.lat, f.lon));
            else if (s.exactBuffers.size() < 4 && f.type == "Polygon" && f.ring.size() >= 2 &&
                     !kit::pointInRing(f.ring, lon, lat))
                s.exactBuffers.push_back(kit::boundaryDistance(f.ring, lon, lat));
        } else if (roll < 0.9) {
            s.points.push_back({0, 0});
        } else {  // the far side of the antimeridian, past the pole, far off
            const Position c = kCentres[pick(kCentres.size())];
            const double shifts[][2] = {{360, 0}, {-360, 0}, {0, 180}, {720, 0}, {1e5, 0}};
            const auto& sh = shifts[pick(5)];
            s.points.push_back({c.lon + sh[0] + uni(-0.01, 0.01), sh[1] ? 180 - c.lat : c.lat + uni(-0.01, 0.01)});
            if (sh[1]) s.points.back().first += 180;
        }
    }
    s.oddRows = {"\t", "abc\txyz", "nan\t40", "116.4\tinf", "-inf\t0", "1e400\t1", "", "179.99"};
    return s;
}

kit::Table tableOf(const Scene& s) {
    std::string text = "lon\tlat\n";
    for (auto [lon, lat] : s.points) {
        text += exact(lon);
        text += '\t';
        text += exact(lat);
        text += '\n';
    }
    for (const std::string& row : s.oddRows) {
        text += row;
        text += '\n';
    }
    kit::Table t;
    kit::parseTable(std::move(text), t);
    return t;
}

}  // namespace

TEST(MatchIndex, SameTextAsAllPairsOnRandomScenes) {
    for (uint64_t seed : {1u, 2u, 3u}) {
        Scene s = makeScene(seed, 150, 700);
        kit::Table t = tableOf(s);
        std::vector<std::string> buffers = {"100", "1", "2500", "0.001", "nan"};
        for (double d : s.exactBuffers) buffers.push_back(exact(d));
        ASSERT_GE(buffers.size(), 7u) << "the scene should yield exact-distance buffers";
        for (const std::string& b : buffers) {
            kit::Outcome indexed =
                kit::runLayerMatch(&t, {"lon", "lat"}, &s.layer, b, MatchMethod::Expand, std::nullopt);
            kit::Outcome plain = allPairs(t, s.layer, b, MatchMethod::Expand);
            ASSERT_TRUE(indexed.ok());
            EXPECT_EQ(indexed.message, plain.message) << "seed " << seed << " buffer " << b;
            EXPECT_TRUE(indexed.text == plain.text) << "seed " << seed << " buffer " << b;
            EXPECT_EQ(indexed.message.find("匹配完成！0/"), std::string::npos) << "nothing matched at " << b;
        }
        for (MatchMethod m : {MatchMethod::Single, MatchMethod::Merge})
            EXPECT_TRUE(kit::runLayerMatch(&t, {"lon", "lat"}, &s.layer, "300", m, std::nullopt).text ==
                        allPairs(t, s.layer, "300", m).text);
    }
}

TEST(MatchIndex, SameTextWithBuffersTooLargeToNarrowAnything) {
    Scene s = makeScene(9, 60, 200);
    kit::Table t = tableOf(s);
    for (const char* b : {"5e6", "2.1e7", "inf", "1e300"}) {
        kit::Outcome indexed = kit::runLayerMatch(&t, {"lon", "lat"}, &s.layer, b, MatchMethod::Expand, std::nullopt);
        EXPECT_TRUE(indexed.text == allPairs(t, s.layer, b, MatchMethod::Expand).text) << b;
    }
}

TEST(MatchIndex, ExactDistanceIsInsideTheBuffer) {
    // The boundary of the buffer itself, where a box too tight would lose it.
    Layer layer;
    kit::Feature sq;
    sq.type = "Polygon";
    sq.ring = {{116, 40}, {116.01, 40}, {116.01, 40.01}, {116, 40.01}};
    kit::Feature pt;
    pt.type = "Point";
    pt.lon = 179.9995;
    pt.lat = 60;
    layer.features = {sq, pt};
    const double lon = 116.02, lat = 40.02, plon = -179.9995, plat = 60.0004;
    const double toSquare = kit::boundaryDistance(sq.ring, lon, lat);
    const double toPoint = kit::haversineDistance(plat, plon, pt.lat, pt.lon);
    kit::FeatureIndex sqIndex(layer, toSquare), ptIndex(layer, toPoint);
    std::vector<uint32_t> c;
    sqIndex.candidates(lon, lat, c);
    EXPECT_EQ(c, std::vector<uint32_t>{0});
    ptIndex.candidates(plon, plat, c);
    EXPECT_EQ(c, std::vector<uint32_t>{1});
    EXPECT_TRUE(kit::matchFeature(sq, lon, lat, toSquare));
    EXPECT_TRUE(kit::matchFeature(pt, plon, plat, toPoint));
    // And a row far from both tests neither.
    sqIndex.candidates(0, 0, c);
    EXPECT_TRUE(c.empty());
}
