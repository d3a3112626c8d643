#pragma once
// The get-data step of a tab on Windows: clipboard text into the tab's table,
// then its lists, detections, buttons and status line. The parsing and the
// detections themselves are the portable core's.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "core/outcome.h"
#include "core/table.h"
#include "shell/panel.h"

namespace kit {

// What a tab built on one clipboard table keeps: its panel, the table and
// whether a fetch has succeeded (until then its run gets no table).
struct TableTab {
    Panel panel;
    Table table;
    bool fetched = false;
    const Table* fetchedTable() const { return fetched ? &table : nullptr; }
};

inline constexpr int kTabStatusId = 1;
inline constexpr int kTabGetDataId = 2;

// Empties the tab and creates its panel with the status line and the
// get-data button in their usual places; nullptr when no panel was made.
HWND createTableTab(HWND mainWindow, const wchar_t* className, TableTab& tab);

// Refills the drop-down list with the headers, in header order.
void fillColumnCombo(HWND combo, const std::vector<std::string>& headers);
// Selects the detected longitude and latitude columns (no notification).
void detectCoordinateColumns(HWND lonCombo, HWND latCombo, const std::vector<std::string>& headers);
// Selects the ID column detected by name, or leaves the list unselected.
void detectIdColumn(HWND idCombo, const std::vector<std::string>& headers);
// Selects a position, or clears the selection for a negative one.
void selectColumn(HWND combo, int position);

struct FetchTarget {
    HWND owner = nullptr;  // owner of the warning box
    Table* table = nullptr;
    std::vector<HWND> columnLists;  // every list of the tab, each filled with the headers
    HWND lonList = nullptr, latList = nullptr;
    HWND idList = nullptr;
    // The ID column for the headers; by name unless the tab says otherwise.
    std::function<int(const std::vector<std::string>&)> idColumn;
    std::vector<HWND> enable;  // lists and buttons enabled after a fetch
    bool* fetched = nullptr;
    HWND status = nullptr;
    bool rowsOnly = false;  // "已获取：%zu行" instead of rows × columns
};

// Runs the get-data flow. A failed fetch shows its warning and leaves the
// lists, flag and status alone. True when the table was replaced.
bool fetchTable(const FetchTarget& target);

inline constexpr const char* kClipboardRefused = "无法写入剪贴板";

// The end of a run: a successful result replaces the clipboard text, then the
// run's box is shown. A clipboard that refuses the text gives the error box
// "无法写入剪贴板" instead of the success box, which would claim an export
// that never happened. True when the result reached the clipboard.
bool finishClipboardRun(HWND owner, const Outcome& outcome);

}  // namespace kit
