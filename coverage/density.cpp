#include "coverage/density.h"

#include <algorithm>
#include <cstdint>

#include "core/format.h"

namespace kit {

namespace {

// Open-addressing count per cell id. Each slot holds the id, its count and its
// position in order of first appearance side by side, so a station costs one
// cache line however large the map grows. Ids always have their low four bits
// clear, so all ones marks an empty slot.
class CellCounter {
public:
    static constexpr CellId kEmpty = ~CellId{0};

    explicit CellCounter(size_t expected) {
        size_t cap = 64;
        while (cap < expected * 2) cap <<= 1;
        slots_.assign(cap, Slot{kEmpty, 0, 0});
    }

    // Stations far apart land in slots far apart: ask for a batch's slots
    // before touching any of them, so their cache misses overlap.
    template <size_t N>
    void addBatch(const CellId (&ids)[N], size_t n) {
        if ((distinct_ + n) * 2 > slots_.size()) grow();
        const size_t mask = slots_.size() - 1;
        uint64_t hash[N];
        for (size_t k = 0; k < n; ++k) {
            hash[k] = mix(ids[k]);
            __builtin_prefetch(&slots_[hash[k] & mask]);
        }
        for (size_t k = 0; k < n; ++k) add(ids[k], hash[k]);
    }

    std::vector<CellCount> cells() const {
        std::vector<CellCount> out(distinct_);
        for (const Slot& s : slots_)
            if (s.id != kEmpty) out[s.first] = {s.id, static_cast<int>(s.count)};
        return out;
    }

private:
    void add(CellId id, uint64_t hash) {
        const size_t mask = slots_.size() - 1;
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            Slot& s = slots_[i];
            if (s.id == id) {
                ++s.count;
                return;
            }
            if (s.id == kEmpty) {
                s = {id, 1, static_cast<uint32_t>(distinct_++)};
                return;
            }
        }
    }

    struct Slot {
        CellId id;
        uint32_t count;
        uint32_t first;
    };

    static uint64_t mix(uint64_t x) {
        x ^= x >> 30;
        x *= 0xbf58476d1ce4e5b9ULL;
        x ^= x >> 27;
        x *= 0x94d049bb133111ebULL;
        return x ^ (x >> 31);
    }

    void grow() {
        std::vector<Slot> bigger(slots_.size() * 2, Slot{kEmpty, 0, 0});
        const size_t mask = bigger.size() - 1;
        for (const Slot& s : slots_) {
            if (s.id == kEmpty) continue;
            size_t i = mix(s.id) & mask;
            while (bigger[i].id != kEmpty) i = (i + 1) & mask;
            bigger[i] = s;
        }
        slots_.swap(bigger);
    }

    std::vector<Slot> slots_;
    size_t distinct_ = 0;
};

void appendCorner(std::string& out, const LonLat& p) {
    out += '[';
    appendFixed(out, p.lon, 8);
    out += ',';
    appendFixed(out, p.lat, 8);
    out += ']';
}

}  // namespace

std::vector<CellCount> aggregateDensity(const std::vector<LonLat>& stations, int res) {
    res = clampResolution(res);
    // Dense station sets share cells; start small and let the map grow.
    CellCounter counter(stations.size() < 4096 ? stations.size() : stations.size() / 4);
    CellId batch[32];
    for (size_t at = 0; at < stations.size(); at += 32) {
        const size_t n = std::min<size_t>(32, stations.size() - at);
        for (size_t k = 0; k < n; ++k) batch[k] = makeCellId(stations[at + k].lat, stations[at + k].lon, res);
        counter.addBatch(batch, n);
    }
    return counter.cells();
}

std::string writeDensityGeoJson(const std::vector<CellId>& ids, const std::vector<double>& values) {
    std::string out;
    out.reserve(64 + ids.size() * 330);
    out += "{\"type\":\"FeatureCollection\",\"features\":[";
    for (size_t i = 0; i < ids.size(); ++i) {
        if (i > 0) out += ',';
        out += "{\"type\":\"Feature\",\"properties\":{\"h3\":\"";
        appendUnsigned(out, ids[i]);
        out += '"';
        if (i < values.size()) {
            out += ",\"value\":";
            appendFixed(out, values[i], 8);
        }
        out += "},\"geometry\":{\"type\":\"Polygon\",\"coordinates\":[[";
        std::vector<LonLat> corners = cellOutline(ids[i]);
        for (size_t c = 0; c < corners.size(); ++c) {
            if (c > 0) out += ',';
            appendCorner(out, corners[c]);
        }
        out += ',';
        appendCorner(out, corners[0]);
        out += "]]}}";
    }
    out += "]}";
    return out;
}

}  // namespace kit
