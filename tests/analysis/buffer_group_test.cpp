#include "analysis/buffer_group.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "core/format.h"
#include "core/geodesy.h"

using kit::LonLat;

namespace {

// The plain method: labels spread from each unlabelled point in order,
// comparing every popped point with every point.
std::vector<int32_t> allPairsGroups(const std::vector<LonLat>& p, double metres) {
    std::vector<int32_t> label(p.size(), -1);
    int32_t next = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        if (label[i] != -1) continue;
        label[i] = next;
        std::vector<size_t> stack{i};
        while (!stack.empty()) {
            size_t k = stack.back();
            stack.pop_back();
            for (size_t j = 0; j < p.size(); ++j)
                if (label[j] == -1 && kit::haversineDistance(p[k].lat, p[k].lon, p[j].lat, p[j].lon) <= metres) {
                    label[j] = next;
                    stack.push_back(j);
                }
        }
        ++next;
    }
    return label;
}

LonLat north(LonLat p, double metres) { return kit::offsetByMetres(p.lon, p.lat, metres, kit::kPi / 2); }

kit::Table table(std::string text) {
    kit::Table t;
    EXPECT_TRUE(kit::parseTable(std::move(text), t));
    return t;
}

}  // namespace

TEST(GroupPoints, ChainsLinkAndGroupsCountFromTheFirstRow) {
    LonLat a{116.4, 39.9};
    LonLat b = north(a, 80), c = north(b, 80);
    EXPECT_EQ(kit::groupPoints({a, b, c}, 100), (std::vector<int32_t>{0, 0, 0}));
    EXPECT_EQ(kit::groupPoints({a, c}, 100), (std::vector<int32_t>{0, 1}));
    // Groups take numbers in the order of their first row.
    LonLat far{120, 30};
    EXPECT_EQ(kit::groupPoints({far, c, north(far, 500), a, b}, 100), (std::vector<int32_t>{0, 1, 2, 1, 1}));
    EXPECT_TRUE(kit::groupPoints({}, 100).empty());
}

TEST(GroupPoints, ExactDistanceLinksAndNothingLinksWithoutADistance) {
    LonLat a{116.4, 39.9}, b{116.40093, 39.90061};
    const double d = kit::haversineDistance(a.lat, a.lon, b.lat, b.lon);
    EXPECT_EQ(kit::groupPoints({a, b}, d), (std::vector<int32_t>{0, 0}));
    EXPECT_EQ(kit::groupPoints({a, b}, std::nextafter(d, 0.0)), (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(kit::groupPoints({a, a, b}, NAN), (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(kit::groupPoints({a, a}, -1), (std::vector<int32_t>{0, 1}));
    // Points without a finite position stay alone; many at one place are one group.
    EXPECT_EQ(kit::groupPoints({{NAN, 0}, {0, 0}, {INFINITY, 0}, {0, 0}, {0, NAN}}, 100),
              (std::vector<int32_t>{0, 1, 2, 1, 3}));
    // Across the antimeridian and over the pole.
    EXPECT_EQ(kit::groupPoints({{179.9995, 0}, {-179.9995, 0}}, 150), (std::vector<int32_t>{0, 0}));
    EXPECT_EQ(kit::groupPoints({{0, 89.9996}, {180, 89.9996}}, 100), (std::vector<int32_t>{0, 0}));
}

TEST(GroupPoints, SameLabelsAsAllPairsOnRandomPoints) {
    const std::vector<LonLat> centres = {{116.4, 39.9}, {179.999, -20}, {-179.999, -20},
                                         {0, 0},        {30, 89.9995},  {-60, -89.9999}};
    for (uint64_t seed : {11u, 12u}) {
        std::mt19937_64 rng(seed);
        auto uni = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
        std::vector<LonLat> p;
        for (int i = 0; i < 1500; ++i) {
            const LonLat c = centres[rng() % centres.size()];
            const double roll = uni(0, 1);
            if (roll < 0.75) {
                const double spread = roll < 0.4 ? 0.002 : 0.02;  // dense clusters and looser ones
                p.push_back({c.lon + uni(-spread, spread), std::clamp(c.lat + uni(-spread, spread), -90.0, 90.0)});
            } else if (roll < 0.85) {
                p.push_back({0, 0});  // rows without coordinates
            } else if (roll < 0.9 && !p.empty()) {
                p.push_back(p[rng() % p.size()]);  // a duplicate
            } else if (roll < 0.95) {              // the same places written past the antimeridian or the pole
                p.push_back(roll < 0.93 ? LonLat{c.lon + 360, c.lat} : LonLat{c.lon + 180, 180 - c.lat});
            } else if (roll < 0.97) {
                p.push_back({c.lon + 1e5, c.lat});  // far off
            } else {
                p.push_back({roll < 0.985 ? NAN : c.lon, roll < 0.985 ? c.lat : INFINITY});
            }
        }
        // Besides round distances, some point's distance to its nearest
        // neighbour: at exactly that distance the point's only links are the
        // ones of exactly that length.
        std::vector<double> distances = {100, 30, 1, 5000, 1e-3};
        for (int k = 0; k < 4; ++k) {
            const LonLat a = p[rng() % p.size()];
            double nearest = INFINITY;
            for (const LonLat& b : p) {
                const double d = kit::haversineDistance(a.lat, a.lon, b.lat, b.lon);
                if (d > 0 && d < nearest) nearest = d;
            }
            if (std::isfinite(nearest)) distances.push_back(nearest);
        }
        for (double d : distances) {
            std::vector<int32_t> got = kit::groupPoints(p, d), want = allPairsGroups(p, d);
            EXPECT_TRUE(got == want) << "seed " << seed << " distance " << kit::format("%.17g", d);
        }
    }
}

TEST(BufferGroup, ChecksAndDistanceText) {
    kit::Table t = table("id\tlon\tlat\na\t116.4\t39.9\n");
    kit::Table empty;
    empty.headers = {"lon", "lat"};
    EXPECT_EQ(kit::runBufferGroup(nullptr, {"lon", "lat"}, "100", false).message, "请先获取数据");
    EXPECT_EQ(kit::runBufferGroup(&empty, {"lon", "lat"}, "100", false).message, "请先获取数据");
    EXPECT_EQ(kit::runBufferGroup(&t, {std::nullopt, "lat"}, "100", false).message, "请选择经度列和纬度列");
    for (const char* bad : {"0", "-5", " -0.1km"}) {
        kit::Outcome o = kit::runBufferGroup(&t, {"lon", "lat"}, bad, false);
        EXPECT_EQ(o.status, kit::Status::Warning) << bad;
        EXPECT_EQ(o.message, "距离必须是正数") << bad;
    }
    EXPECT_EQ(kit::groupDistance("abc"), 100);
    EXPECT_EQ(kit::groupDistance(""), 100);
    EXPECT_EQ(kit::groupDistance("250.5m"), 250.5);
    EXPECT_TRUE(kit::runBufferGroup(&t, {"lon", "lat"}, "abc", false).ok());
}

TEST(BufferGroup, OutputWithAndWithoutTheGeomColumn) {
    // 80 m apart: linked at the default distance, not at 50.
    LonLat a{116.4, 39.9}, b = north(a, 80);
    std::string text =
        "id\tlon\tlat\np1\t116.4\t39.9\np2\t" + kit::format("%.12f\t%.12f", b.lon, b.lat) + "\np3\t\t\np4\t0\n";
    kit::Table t = table(text);
    kit::Outcome o = kit::runBufferGroup(&t, {"lon", "lat"}, "abc", false);
    ASSERT_TRUE(o.ok());
    EXPECT_EQ(o.message, "完成！4行数据已导出到剪贴板\n共分为 2 个聚类组");
    EXPECT_EQ(o.text, "id\tlon\tlat\tclusterid\np1\t116.4\t39.9\t0\np2\t" + kit::format("%.12f\t%.12f", b.lon, b.lat) +
                          "\t0\np3\t\t\t1\np4\t0\t\t1\n");
    kit::Outcome g = kit::runBufferGroup(&t, {"lon", "lat"}, "50", true);
    EXPECT_EQ(g.message, "完成！4行数据已导出到剪贴板\n共分为 3 个聚类组");
    EXPECT_EQ(g.text.substr(0, g.text.find('\n')), "id\tlon\tlat\tclusterid\tgeom");
    EXPECT_NE(g.text.find("\np1\t116.4\t39.9\t0\tPOINT(116.400000 39.900000)\n"), std::string::npos) << g.text;
    EXPECT_NE(g.text.find("\np3\t\t\t2\tPOINT(0.000000 0.000000)\n"), std::string::npos) << g.text;
}

namespace {

// A uniform double in [a, b) from the generator's bits, the same on every
// platform.
double uniformIn(std::mt19937_64& rng, double a, double b) {
    return a + static_cast<double>(rng() >> 11) * 0x1p-53 * (b - a);
}

}  // namespace

// Projected metres (x/y of UTM or Gauss–Krüger) read as degrees lie far past
// any pole or meridian. They are still grouped by the same distance, in the
// cells with a margin for their coarse trigonometry, not by comparing each
// with every point.
TEST(GroupPoints, ProjectedMetresGroupAsAllPairs) {
    std::mt19937_64 rng(23);
    std::vector<LonLat> p;
    for (int i = 0; i < 1200; ++i) {
        const double roll = uniformIn(rng, 0, 1);
        if (roll < 0.5 || p.empty()) {
            p.push_back({uniformIn(rng, 3e5, 7e5), uniformIn(rng, 4e6, 4.5e6)});  // UTM
        } else if (roll < 0.75) {
            // Beside an earlier point, within a few hundred metres.
            const LonLat near = p[rng() % p.size()];
            p.push_back({near.lon + uniformIn(rng, -3e-3, 3e-3), near.lat + uniformIn(rng, -3e-3, 3e-3)});
        } else if (roll < 0.85) {
            p.push_back({uniformIn(rng, 3.9e7, 3.95e7), uniformIn(rng, 2e6, 5e6)});  // Gauss–Krüger with its zone
        } else if (roll < 0.93) {
            p.push_back({uniformIn(rng, -180, 180), uniformIn(rng, 89.99, 90.01)});  // just past a pole
        } else if (roll < 0.97) {
            p.push_back({uniformIn(rng, -1e14, 1e14), uniformIn(rng, -1e14, 1e14)});
        } else {
            p.push_back({uniformIn(rng, 1e16, 1e17), 3});  // beyond any margin: compared with every point
        }
    }
    for (double d : {100.0, 1.0, 2000.0, 50000.0}) {
        EXPECT_TRUE(kit::groupPoints(p, d) == allPairsGroups(p, d)) << "distance " << d;
    }
}

// 200 000 projected points in pairs a centimetre apart: compared each with
// every point, as they once were, this took many minutes.
TEST(GroupPoints, ManyProjectedMetresStayLinear) {
    std::mt19937_64 rng(29);
    std::vector<LonLat> p;
    for (int i = 0; i < 100000; ++i) {
        const LonLat a{uniformIn(rng, 3e5, 7e5), uniformIn(rng, 4e6, 4.5e6)};
        p.push_back(a);
        p.push_back({a.lon + 1e-7, a.lat});
    }
    const std::vector<int32_t> labels = kit::groupPoints(p, 1);
    int32_t groups = 0;
    for (size_t i = 0; i < p.size(); i += 2) {
        ASSERT_EQ(labels[i], labels[i + 1]) << i;
        groups = std::max(groups, labels[i] + 1);
    }
    EXPECT_EQ(groups, 100000);
}
