#include "nearest/result_text.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/format.h"
#include "core/threads.h"

namespace kit {

namespace {

// A text written through a raw pointer: room is made before each piece of
// bounded size, so that writing the piece is plain stores. The memory is not
// cleared first: pages are touched only as the text reaches them.
class RawText {
public:
    explicit RawText(size_t expected) : data_(new char[std::max<size_t>(expected, 64)]), capacity_(std::max<size_t>(expected, 64)) {}

    char* room(size_t n) {
        if (used_ + n > capacity_) grow(std::max(capacity_ + capacity_ / 2, used_ + n));
        return data_.get() + used_;
    }
    void wrote(const char* end) { used_ = static_cast<size_t>(end - data_.get()); }
    size_t size() const { return used_; }
    std::unique_ptr<char[]> release() { return std::move(data_); }

private:
    void grow(size_t capacity) {
        std::unique_ptr<char[]> bigger(new char[capacity]);
        std::memcpy(bigger.get(), data_.get(), used_);
        data_ = std::move(bigger);
        capacity_ = capacity;
    }

    std::unique_ptr<char[]> data_;
    size_t capacity_;
    size_t used_ = 0;
};

char* put(char* p, std::string_view s) {
    std::memcpy(p, s.data(), s.size());
    return p + s.size();
}

}  // namespace

SiteTexts::SiteTexts(const SiteCells& sites, unsigned threads) {
    const size_t n = sites.id.size();
    cells_.resize(n);
    slices_.resize(std::max(1u, threads));
    std::vector<size_t> longest(slices_.size(), 0), bytes(slices_.size(), 0);
    forSlices(n, threads, [&](size_t from, size_t to, unsigned slice) {
        RawText text((to - from) * 32);
        std::vector<size_t> start(to - from + 1);
        constexpr size_t kAhead = 16;  // the ids lie scattered in the table: ask for them early
        for (size_t p = from; p < to; ++p) {
            if (p + kAhead < to) __builtin_prefetch(sites.id[p + kAhead].data());
            start[p - from] = text.size();
            char* w = text.room(sites.id[p].size() + 2 + 2 * kFixedMaxChars);
            w = put(w, sites.id[p]);
            *w++ = '\t';
            w = writeFixed(w, sites.lon[p], 6);
            *w++ = '\t';
            w = writeFixed(w, sites.lat[p], 6);
            text.wrote(w);
        }
        start[to - from] = bytes[slice] = text.size();
        // The slice is whole: only now may views into it be taken.
        slices_[slice] = text.release();
        const char* base = slices_[slice].get();
        for (size_t p = from; p < to; ++p) {
            cells_[p] = std::string_view(base + start[p - from], start[p - from + 1] - start[p - from]);
            longest[slice] = std::max(longest[slice], cells_[p].size());
        }
    });
    longest_ = *std::max_element(longest.begin(), longest.end());
    for (size_t b : bytes) bytes_ += b;
}

void appendResultLines(std::string& out, const std::vector<uint32_t>& queryRows, SiteTexts&& siteTexts,
                       SiteTexts&& queryTexts, NeighbourLists&& found, unsigned threads) {
    const size_t n = queryRows.size();
    const SiteTexts& own = queryTexts.empty() ? siteTexts : queryTexts;
    const size_t perRow = found.perRow;
    // The most one line can take: its own cells, every neighbour's group at
    // its longest and the line break.
    const size_t lineRoom = own.longest() + perRow * (4 + siteTexts.longest() + kFixedMaxChars) + 1;
    // What lines take on average, to size the buffers (a distance rarely
    // needs more than 11 characters).
    const size_t typicalLine = own.averageLength() + perRow * (2 + siteTexts.averageLength() + 11) + 1;

    // Lines are written in the queries' order, each thread a slice into its own
    // text; where each line went is kept by row.
    struct Line {
        const char* begin;
        size_t length;
    };
    std::vector<Line> lines(n);
    std::vector<std::unique_ptr<char[]>> written(std::max(1u, threads));
    forSlices(n, threads, [&](size_t from, size_t to, unsigned slice) {
        RawText text((to - from) * typicalLine);
        std::vector<size_t> start(to - from);
        for (size_t k = from; k < to; ++k) {
            start[k - from] = text.size();
            char* w = put(text.room(lineRoom), own.at(k));
            for (size_t i = k * perRow; i < (k + 1) * perRow; ++i) {
                if (found.position[i] == NeighbourLists::kNone) {
                    w = put(w, "\t\t\t\t");
                    continue;
                }
                *w++ = '\t';
                w = put(w, siteTexts.at(found.position[i]));
                *w++ = '\t';
                w = writeFixed(w, found.metres[i], 2);
            }
            *w++ = '\n';
            text.wrote(w);
        }
        const size_t end = text.size();
        written[slice] = text.release();
        const char* base = written[slice].get();
        for (size_t k = from; k < to; ++k) {
            const size_t next = k + 1 < to ? start[k + 1 - from] : end;
            lines[queryRows[k]] = {base + start[k - from], next - start[k - from]};
        }
    });
    // The lists and texts are spent: their memory goes back before the
    // result is gathered, which is when memory use peaks.
    found = NeighbourLists();
    siteTexts = SiteTexts();
    queryTexts = SiteTexts();

    // Gathered in row order: each thread appends a slice of rows, the first
    // straight onto out, the others into parts joined after it.
    size_t total = out.size();
    for (const Line& l : lines) total += l.length;
    out.reserve(total);
    std::vector<std::string> parts(std::max(1u, threads));
    forSlices(n, threads, [&](size_t from, size_t to, unsigned slice) {
        std::string& text = slice == 0 ? out : parts[slice];
        if (slice > 0) {
            size_t bytes = 0;
            for (size_t r = from; r < to; ++r) bytes += lines[r].length;
            text.reserve(bytes);
        }
        constexpr size_t kAhead = 8;
        for (size_t r = from; r < to; ++r) {
            if (r + kAhead < to) __builtin_prefetch(lines[r + kAhead].begin);
            text.append(lines[r].begin, lines[r].length);
        }
    });
    for (size_t i = 1; i < parts.size(); ++i) {
        out += parts[i];
        std::string().swap(parts[i]);
    }
}

}  // namespace kit
