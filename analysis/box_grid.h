#pragma once
// A uniform grid over axis-aligned boxes: which boxes contain a point. Built
// once, queried many times; the grid's cells follow the typical box size so a
// point meets only the few boxes around it.
#include <cstdint>
#include <vector>

namespace kit {

struct Box {
    double x0, x1, y0, y1;
    bool contains(double x, double y) const { return x0 <= x && x <= x1 && y0 <= y && y <= y1; }
};

class BoxGrid {
public:
    // Adds a box under an id. Infinite bounds are allowed (such a box is
    // checked for every query); NaN bounds are not.
    void add(const Box& box, uint32_t id);
    void build();

    // Appends the ids of every box containing the point (in no set order;
    // an id added with several boxes may come more than once).
    void query(double x, double y, std::vector<uint32_t>& out) const;

private:
    std::vector<Box> boxes_;
    std::vector<uint32_t> ids_;
    std::vector<uint32_t> everywhere_;  // boxes too large for the cells
    struct Entry {                      // a box as filed in a cell, copied so a query reads its cell in order
        Box box;
        uint32_t id;
    };
    std::vector<uint32_t> cellStart_;
    std::vector<Entry> cellEntries_;
    double ox_ = 0, oy_ = 0, cw_ = 1, ch_ = 1;
    int64_t nx_ = 0, ny_ = 0;
};

}  // namespace kit
