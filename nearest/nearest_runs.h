#pragma once
// The two nearest-site runs: a table and the chosen columns in, the result
// table text and the completion message (or the tab's warning) out.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/export_destination.h"
#include "core/outcome.h"
#include "core/table.h"

namespace kit {

// The column choices as the drop-down lists show them: header names, or
// nothing when a list has no selection. Cells are looked up by these names, so
// a list that still shows an earlier table's headers never reads past the
// current one (an unknown name simply finds no cell).
struct SiteColumns {
    std::optional<std::string> lon, lat, id;
    bool complete() const { return lon && lat && id; }
};

// The choices for header positions (a position outside the headers is no
// selection).
SiteColumns siteColumnsAt(const Table& table, int lon, int lat, int id);

// Table 2's ID column is not detected by name: it is the third column when
// there is one, else no selection.
int secondTableIdColumn(const HeaderNames& headers);

inline constexpr int kMaxNeighbours = 50;

// The quantity field: a base-10 integer (leading blanks, sign, trailing text
// tolerated), 1 when it does not parse, then clamped to 1..50.
int parseNeighbourCount(std::string_view text);

// Checks the panel makes before running, in the tab's order: a warning for
// the first that fails, else success. table is null until a fetch has
// succeeded.
Outcome checkSingleSelection(const Table* table, const SiteColumns& cols);
Outcome checkTwoSelection(const Table* table1, const Table* table2, const SiteColumns& c1, const SiteColumns& c2);

// Nearest N other rows of the same table, for every row. threads > 1 spreads
// the search and the writing over that many threads; the text is the same.
// destination names where the text goes in the success message.
Outcome runNearestSingle(const Table* table, const SiteColumns& cols, std::string_view quantityText,
                         unsigned threads = 1, std::string_view destination = kToClipboard);

// Nearest N rows of table 2 for every row of table 1.
Outcome runNearestTwo(const Table* table1, const Table* table2, const SiteColumns& c1, const SiteColumns& c2,
                      std::string_view quantityText, unsigned threads = 1,
                      std::string_view destination = kToClipboard);

}  // namespace kit
