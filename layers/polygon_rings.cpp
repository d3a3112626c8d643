#include "layers/polygon_rings.h"

#include <algorithm>
#include <cmath>

namespace kit {

namespace {

// Twice the signed area (positive counter-clockwise, longitude east and
// latitude north).
double signedArea2(const std::vector<Position>& r) {
    double sum = 0;
    for (size_t i = 0, n = r.size(); i < n; ++i) {
        const Position& a = r[i];
        const Position& b = r[i + 1 == n ? 0 : i + 1];
        sum += a.lon * b.lat - b.lon * a.lat;
    }
    return sum;
}

// Even-odd containment in one ring (closing edge implied).
bool inRing(const std::vector<Position>& r, const Position& p) {
    bool inside = false;
    for (size_t i = 0, j = r.size() - 1; i < r.size(); j = i++)
        if (((r[i].lat > p.lat) != (r[j].lat > p.lat)) &&
            (p.lon < (p.lat - r[i].lat) * (r[j].lon - r[i].lon) / (r[j].lat - r[i].lat) + r[i].lon))
            inside = !inside;
    return inside;
}

struct Bounds {
    double x0 = INFINITY, x1 = -INFINITY, y0 = INFINITY, y1 = -INFINITY;
    bool holds(const Position& p) const { return x0 <= p.lon && p.lon <= x1 && y0 <= p.lat && p.lat <= y1; }
};

Bounds boundsOf(const std::vector<Position>& r) {
    Bounds b;
    for (const Position& p : r) {
        b.x0 = std::min(b.x0, p.lon);
        b.x1 = std::max(b.x1, p.lon);
        b.y0 = std::min(b.y0, p.lat);
        b.y1 = std::max(b.y1, p.lat);
    }
    return b;
}

}  // namespace

std::vector<Position> joinRings(Rings rings) {
    std::erase_if(rings, [](const std::vector<Position>& r) { return r.empty(); });
    if (rings.size() == 1) return std::move(rings.front());
    std::vector<Position> out;
    size_t total = 0;
    for (const auto& r : rings) total += r.size() + 1;
    out.reserve(total);
    for (const auto& r : rings) {
        out.insert(out.end(), r.begin(), r.end());
        if (!(r.front() == r.back())) out.push_back(r.front());
    }
    return out;
}

Rings assemblePolygons(const Rings& parts) {
    std::vector<size_t> outers, holes;
    std::vector<double> area(parts.size());
    for (size_t k = 0; k < parts.size(); ++k) {
        area[k] = signedArea2(parts[k]);
        (area[k] > 0 ? holes : outers).push_back(k);  // level or clockwise rings stand alone
    }
    if (outers.empty()) return parts;

    std::vector<Bounds> bounds(parts.size());
    for (size_t k : outers) bounds[k] = boundsOf(parts[k]);
    // Each hole is tested against the outer rings whose box holds its first
    // vertex. A hostile record of thousands of nested rings stops being
    // tested once the work (boxes and vertices looked at) passes a few times
    // the record's size; its remaining holes go to the last outer ring
    // before them.
    size_t points = 0;
    for (const auto& p : parts) points += p.size();
    size_t budget = 8 * (points + parts.size()) + 1000000;
    std::vector<size_t> lastOuter(parts.size(), parts.size());  // the last outer ring at or before each part
    for (size_t k = 0, last = parts.size(); k < parts.size(); ++k) {
        if (area[k] <= 0) last = k;
        lastOuter[k] = last;
    }
    std::vector<std::vector<size_t>> holesOf(parts.size());
    std::vector<bool> alone(parts.size(), false);
    for (size_t h : holes) {
        const Position& probe = parts[h].front();
        size_t owner = parts.size();
        if (budget > 0) {
            for (size_t o : outers) {
                if (budget == 0) break;
                --budget;
                if (!bounds[o].holds(probe)) continue;
                budget -= std::min(budget, parts[o].size());
                if (inRing(parts[o], probe) && (owner == parts.size() || std::fabs(area[o]) < std::fabs(area[owner])))
                    owner = o;
            }
        } else {
            owner = lastOuter[h];
        }
        if (owner == parts.size())
            alone[h] = true;
        else
            holesOf[owner].push_back(h);
    }
    Rings out;
    for (size_t k = 0; k < parts.size(); ++k) {
        if (area[k] > 0 && !alone[k]) continue;
        Rings rings{parts[k]};
        for (size_t h : holesOf[k]) rings.push_back(parts[h]);
        out.push_back(joinRings(std::move(rings)));
    }
    return out;
}

}  // namespace kit
