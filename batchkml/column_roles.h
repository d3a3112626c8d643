#pragma once
// The column each role of Quillet's tabs looks for, by header name.
#include <string>
#include <string_view>
#include <vector>

#include "batchkml/data_table.h"

namespace kit {

// Candidate header names per role, in the order they are tried.
const std::vector<std::string_view>& longitudeCandidates();
const std::vector<std::string_view>& latitudeCandidates();
const std::vector<std::string_view>& signalCandidates();
const std::vector<std::string_view>& siteNameCandidates();
const std::vector<std::string_view>& azimuthCandidates();
const std::vector<std::string_view>& beamWidthCandidates();
const std::vector<std::string_view>& radiusCandidates();
const std::vector<std::string_view>& pointIdCandidates();

// Index of the matching header or -1: each candidate in turn, against every
// header from the left, as an ASCII-case-insensitive substring.
int findColumn(const std::vector<std::string>& headers, const std::vector<std::string_view>& candidates);
int findColumn(const CellList& headers, const std::vector<std::string_view>& candidates);

// What an editable column combo holds: a column, a fixed value, or nothing.
constexpr int kFixedValue = -1;
constexpr int kNothingGiven = -2;

struct ColumnOrValue {
    int kind = kNothingGiven;  // >= 0: the column index
    double value = 0;          // the number when kind == kFixedValue
};

// selectedIndex is the combo's selection (-1 for none); editText its text.
// Only the first 256 characters of the text count.
ColumnOrValue readColumnOrValue(int selectedIndex, std::string_view editText);

}  // namespace kit
