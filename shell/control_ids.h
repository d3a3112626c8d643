#pragma once
// The command IDs the tab panels have in common, named once for the panels
// and for the tests that press their buttons. A tab numbers its other
// controls itself; most count their labels from kFirstLabelId and their
// column lists from kFirstListId.
//
// Static controls below ID 1000 are painted in their stored text colour
// (answerControlColor), so every label and status line of a tab stays below it.

namespace kit {

inline constexpr int kStatusId = 1;   // the status line ("未获取", then "已获取：…")
inline constexpr int kGetDataId = 2;  // get data from the clipboard
inline constexpr int kRunId = 3;      // the tab's action: run, match, create, convert, analyse
inline constexpr int kHelpId = 4;     // the "?" button

inline constexpr int kFirstLabelId = 100;
inline constexpr int kFirstListId = 150;
// The usual coordinate lists and their labels, in their usual order.
inline constexpr int kLonLabelId = kFirstLabelId;
inline constexpr int kLatLabelId = kFirstLabelId + 1;
inline constexpr int kIdLabelId = kFirstLabelId + 2;
inline constexpr int kLonListId = kFirstListId;
inline constexpr int kLatListId = kFirstListId + 1;
inline constexpr int kIdListId = kFirstListId + 2;

}  // namespace kit
