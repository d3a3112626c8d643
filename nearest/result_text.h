#pragma once
// The text of a nearest-site result: every site's "id \t lon \t lat" cells
// formatted once, then one line per query row with its neighbours' cells and
// distances. Written through raw pointers on several threads: the cells into
// buffers that make room once per piece, the lines straight to their place.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "nearest/neighbour_search.h"

namespace kit {

// The sites of one table, in the order the texts are kept: coordinates as
// read, ids as the table holds them.
struct SiteCells {
    const std::vector<double>& lon;
    const std::vector<double>& lat;
    const std::vector<std::string_view>& id;
};

// "id \t lon(%.6f) \t lat(%.6f)" of every site, by position.
class SiteTexts {
public:
    SiteTexts() = default;
    SiteTexts(const SiteCells& sites, unsigned threads);
    // The cells of the site at position p of the order.
    std::string_view at(size_t position) const { return cells_[position]; }
    size_t longest() const { return longest_; }
    size_t averageLength() const { return cells_.empty() ? 0 : bytes_ / cells_.size() + 1; }
    bool empty() const { return cells_.empty(); }

private:
    std::vector<std::unique_ptr<char[]>> slices_;  // one per thread that wrote them
    std::vector<std::string_view> cells_;
    size_t longest_ = 0;
    size_t bytes_ = 0;
};

// Appends the result lines to out, in row order of the queries: the query at
// position k is row queryRows[k]. A line holds the query's own cells
// (queryTexts; empty when the queries are the sites themselves), then for each
// neighbour "\t cells \t distance" (%.2f), or four tabs for a group without
// one. The texts and lists are spent: their memory is given back at the end.
void appendResultLines(std::string& out, const std::vector<uint32_t>& queryRows, SiteTexts&& siteTexts,
                       SiteTexts&& queryTexts, NeighbourLists&& found, unsigned threads);

}  // namespace kit
