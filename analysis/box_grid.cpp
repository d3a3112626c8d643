#include "analysis/box_grid.h"

#include <algorithm>
#include <cmath>

namespace kit {

namespace {

// Larger boxes are checked on every query instead of filling many cells.
constexpr int64_t kMaxCellsPerBox = 256;

double median(std::vector<double>& v) {
    if (v.empty()) return 0;
    auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}

}  // namespace

void BoxGrid::add(const Box& box, uint32_t id) {
    boxes_.push_back(box);
    ids_.push_back(id);
}

void BoxGrid::build() {
    everywhere_.clear();
    cellStart_.clear();
    cellEntries_.clear();
    nx_ = ny_ = 0;

    std::vector<uint32_t> finite;
    double minX = INFINITY, maxX = -INFINITY, minY = INFINITY, maxY = -INFINITY;
    std::vector<double> widths, heights;
    for (uint32_t b = 0; b < boxes_.size(); ++b) {
        const Box& box = boxes_[b];
        if (!(std::isfinite(box.x0) && std::isfinite(box.x1) && std::isfinite(box.y0) && std::isfinite(box.y1))) {
            everywhere_.push_back(b);
            continue;
        }
        finite.push_back(b);
        minX = std::min(minX, box.x0);
        maxX = std::max(maxX, box.x1);
        minY = std::min(minY, box.y0);
        maxY = std::max(maxY, box.y1);
        widths.push_back(box.x1 - box.x0);
        heights.push_back(box.y1 - box.y0);
    }
    if (finite.empty()) return;

    const double spanX = maxX - minX, spanY = maxY - minY;
    if (!std::isfinite(spanX) || !std::isfinite(spanY)) {
        everywhere_.insert(everywhere_.end(), finite.begin(), finite.end());
        std::sort(everywhere_.begin(), everywhere_.end());
        return;
    }
    // Cells about the size of a typical box, at most a few per box in all.
    const double n = static_cast<double>(finite.size());
    const double maxCells = 4 * n + 1024;
    double cw = std::max({median(widths), spanX / 4096, 1e-12 * (1 + std::fabs(minX) + std::fabs(maxX))});
    double ch = std::max({median(heights), spanY / 4096, 1e-12 * (1 + std::fabs(minY) + std::fabs(maxY))});
    auto count = [](double span, double size) { return std::max(1.0, std::ceil(span / size)); };
    while (count(spanX, cw) * count(spanY, ch) > maxCells) {
        cw *= 1.5;
        ch *= 1.5;
    }
    ox_ = minX;
    oy_ = minY;
    cw_ = cw;
    ch_ = ch;
    nx_ = static_cast<int64_t>(count(spanX, cw));
    ny_ = static_cast<int64_t>(count(spanY, ch));

    auto cellX = [&](double x) { return std::clamp<int64_t>(static_cast<int64_t>((x - ox_) / cw_), 0, nx_ - 1); };
    auto cellY = [&](double y) { return std::clamp<int64_t>(static_cast<int64_t>((y - oy_) / ch_), 0, ny_ - 1); };

    std::vector<uint32_t> counts(static_cast<size_t>(nx_ * ny_) + 1, 0);
    std::vector<uint32_t> gridded;
    for (uint32_t b : finite) {
        const Box& box = boxes_[b];
        int64_t x0 = cellX(box.x0), x1 = cellX(box.x1), y0 = cellY(box.y0), y1 = cellY(box.y1);
        if ((x1 - x0 + 1) * (y1 - y0 + 1) > kMaxCellsPerBox) {
            everywhere_.push_back(b);
            continue;
        }
        gridded.push_back(b);
        for (int64_t y = y0; y <= y1; ++y)
            for (int64_t x = x0; x <= x1; ++x) ++counts[static_cast<size_t>(y * nx_ + x)];
    }
    std::sort(everywhere_.begin(), everywhere_.end());
    cellStart_.assign(counts.size(), 0);
    uint32_t sum = 0;
    for (size_t c = 0; c + 1 < counts.size(); ++c) {
        cellStart_[c] = sum;
        sum += counts[c];
    }
    cellStart_.back() = sum;
    cellEntries_.resize(sum);
    std::vector<uint32_t> fill(cellStart_.begin(), cellStart_.end() - 1);
    for (uint32_t b : gridded) {
        const Box& box = boxes_[b];
        int64_t x0 = cellX(box.x0), x1 = cellX(box.x1), y0 = cellY(box.y0), y1 = cellY(box.y1);
        for (int64_t y = y0; y <= y1; ++y)
            for (int64_t x = x0; x <= x1; ++x) cellEntries_[fill[static_cast<size_t>(y * nx_ + x)]++] = {box, ids_[b]};
    }
}

void BoxGrid::query(double x, double y, std::vector<uint32_t>& out) const {
    for (uint32_t b : everywhere_)
        if (boxes_[b].contains(x, y)) out.push_back(ids_[b]);
    if (nx_ == 0) return;
    // NaN fails both comparisons and so finds no cell.
    const double gx = (x - ox_) / cw_, gy = (y - oy_) / ch_;
    if (!(gx >= 0 && gy >= 0 && gx <= static_cast<double>(nx_) && gy <= static_cast<double>(ny_))) return;
    const int64_t cx = std::min<int64_t>(static_cast<int64_t>(gx), nx_ - 1);
    const int64_t cy = std::min<int64_t>(static_cast<int64_t>(gy), ny_ - 1);
    const size_t cell = static_cast<size_t>(cy * nx_ + cx);
    for (uint32_t i = cellStart_[cell]; i < cellStart_[cell + 1]; ++i) {
        const Entry& e = cellEntries_[i];
        if (e.box.contains(x, y)) out.push_back(e.id);
    }
}

}  // namespace kit
