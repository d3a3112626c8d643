#include "nearest/result_text.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

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

namespace {

// One result line: the query's own cells, then a group per neighbour.
class LineWriter {
public:
    LineWriter(const SiteTexts& own, const SiteTexts& sites, const NeighbourLists& found)
        : own_(own), sites_(sites), found_(found) {}

    // The line of the query at position k: its length, and the line itself
    // written at w (returning the end). The two must agree byte for byte.
    size_t length(size_t k) const {
        size_t bytes = own_.at(k).size() + 1;
        for (size_t i = k * found_.perRow; i < (k + 1) * found_.perRow; ++i)
            bytes += found_.position[i] == NeighbourLists::kNone
                         ? 4
                         : 2 + sites_.at(found_.position[i]).size() + fixedLength(found_.metres[i], 2);
        return bytes;
    }

    char* write(char* w, size_t k) const {
        w = put(w, own_.at(k));
        for (size_t i = k * found_.perRow; i < (k + 1) * found_.perRow; ++i) {
            if (found_.position[i] == NeighbourLists::kNone) {
                w = put(w, "\t\t\t\t");
                continue;
            }
            *w++ = '\t';
            w = put(w, sites_.at(found_.position[i]));
            *w++ = '\t';
            w = writeFixed(w, found_.metres[i], 2);
        }
        *w++ = '\n';
        return w;
    }

private:
    const SiteTexts& own_;
    const SiteTexts& sites_;
    const NeighbourLists& found_;
};

}  // namespace

// Every line's length is known before anything is written, so each thread
// writes its queries' lines straight to their place in row order: no line is
// copied twice.
void appendResultLines(std::string& out, const std::vector<uint32_t>& queryRows, SiteTexts&& siteTexts,
                       SiteTexts&& queryTexts, NeighbourLists&& found, unsigned threads) {
    const size_t n = queryRows.size();
    const LineWriter line(queryTexts.empty() ? siteTexts : queryTexts, siteTexts, found);

    std::vector<size_t> start(n + 1, 0);  // by row: first the line's length, then where it starts
    forSlices(n, threads, [&](size_t from, size_t to, unsigned) {
        for (size_t k = from; k < to; ++k) start[queryRows[k]] = line.length(k);
    });
    size_t at = out.size();
    for (size_t r = 0; r <= n; ++r) at += std::exchange(start[r], at);
    out.resize(start[n]);

    forSlices(n, threads, [&](size_t from, size_t to, unsigned) {
        constexpr size_t kAhead = 8;  // the lines land scattered: ask for their memory early
        for (size_t k = from; k < to; ++k) {
            if (k + kAhead < to) __builtin_prefetch(out.data() + start[queryRows[k + kAhead]], 1);
            line.write(out.data() + start[queryRows[k]], k);
        }
    });
    found = NeighbourLists();
    siteTexts = SiteTexts();
    queryTexts = SiteTexts();
}

}  // namespace kit
