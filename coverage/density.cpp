#include "coverage/density.h"

#include <cstdint>

#include "core/format.h"

namespace kit {

namespace {

// Open-addressing map from cell id to its slot in the result. Ids always have
// their low four bits clear, so all ones marks an empty slot.
class CellIndex {
public:
    static constexpr CellId kEmpty = ~CellId{0};

    explicit CellIndex(size_t expected) {
        size_t cap = 64;
        while (cap < expected * 2) cap <<= 1;
        keys_.assign(cap, kEmpty);
        slots_.resize(cap);
    }

    // The result slot of id, or newSlot after inserting it.
    uint32_t findOrInsert(CellId id, uint32_t newSlot, bool& inserted) {
        if ((used_ + 1) * 2 > keys_.size()) grow();
        size_t mask = keys_.size() - 1;
        for (size_t i = mix(id) & mask;; i = (i + 1) & mask) {
            if (keys_[i] == id) {
                inserted = false;
                return slots_[i];
            }
            if (keys_[i] == kEmpty) {
                keys_[i] = id;
                slots_[i] = newSlot;
                ++used_;
                inserted = true;
                return newSlot;
            }
        }
    }

private:
    static uint64_t mix(uint64_t x) {
        x ^= x >> 30;
        x *= 0xbf58476d1ce4e5b9ULL;
        x ^= x >> 27;
        x *= 0x94d049bb133111ebULL;
        return x ^ (x >> 31);
    }

    void grow() {
        std::vector<CellId> keys(keys_.size() * 2, kEmpty);
        std::vector<uint32_t> slots(keys.size());
        size_t mask = keys.size() - 1;
        for (size_t j = 0; j < keys_.size(); ++j) {
            if (keys_[j] == kEmpty) continue;
            size_t i = mix(keys_[j]) & mask;
            while (keys[i] != kEmpty) i = (i + 1) & mask;
            keys[i] = keys_[j];
            slots[i] = slots_[j];
        }
        keys_.swap(keys);
        slots_.swap(slots);
    }

    std::vector<CellId> keys_;
    std::vector<uint32_t> slots_;
    size_t used_ = 0;
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
    std::vector<CellCount> cells;
    // Dense station sets share cells; start small and let the index grow.
    CellIndex index(stations.size() < 4096 ? stations.size() : stations.size() / 4);
    for (const LonLat& s : stations) {
        CellId id = makeCellId(s.lat, s.lon, res);
        bool inserted;
        uint32_t slot = index.findOrInsert(id, static_cast<uint32_t>(cells.size()), inserted);
        if (inserted)
            cells.push_back({id, 1});
        else
            ++cells[slot].count;
    }
    return cells;
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
