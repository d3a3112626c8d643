#pragma once
// A tab that works on a table taken from the clipboard: its state, its panel
// with the status line and get-data button, the get-data flow that fills its
// column lists, and the end of a run that puts the result back on the
// clipboard. shell/README.md walks through a whole tab built on these.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "core/outcome.h"
#include "core/table.h"
#include "shell/control_ids.h"
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

// Where one table comes from: a status line with the get-data button under
// its right end. The defaults are a tab's first (usually only) table.
struct GetDataRowCreateArgs {
    HWND parent = nullptr;
    int statusId = kStatusId, getDataId = kGetDataId;
    int y = 4;  // the status line's top; the button stands 20 px lower
    int statusX = 0, statusWidth = 180;
    int getDataX = 88, getDataWidth = 90;
    std::wstring getDataText = L"📋 获取数据";
    std::function<void()> onGetData;
};
void createGetDataRow(const GetDataRowCreateArgs& args);

// Empties the tab and creates its panel in the main window's tab rectangle
// with the get-data row (whose parent is the new panel); nullptr when no
// panel was made.
HWND createTableTab(TableTab& tab, HWND mainWindow, const wchar_t* className, GetDataRowCreateArgs row = {});

// What a get-data press fills: the table, its lists and the status line.
struct FetchTarget {
    HWND owner = nullptr;  // owner of the warning box
    Table* table = nullptr;
    std::vector<HWND> columnLists;  // every list of the tab, each filled with the headers
    HWND lonList = nullptr, latList = nullptr;
    HWND idList = nullptr;
    // The ID column for the headers; by name unless the tab says otherwise.
    std::function<int(const HeaderNames&)> idColumn;
    std::vector<HWND> enable;  // lists and buttons enabled after a fetch
    bool* fetched = nullptr;
    HWND status = nullptr;
    bool rowsOnly = false;  // "已获取：%zu行" instead of rows × columns
};

// Clipboard text into the table, then its lists, detections, buttons and
// status line; the parsing and detections are the portable core's. A failed
// fetch shows its warning and leaves the lists, flag and status alone. True
// when the table was replaced.
bool fetchTable(const FetchTarget& target);
// The usual case: into the tab's own table, with its panel as the owner and
// its status line (kStatusId); those fields of `target` are filled in.
bool fetchTable(TableTab& tab, FetchTarget target);

// The usual coordinate lists: "经度:", "纬度:" and, where the tab has one,
// "ID:" rows 24 px apart from y down (kLonLabelId / kLonListId and on),
// disabled until data comes.
void createCoordinateLists(HWND panel, int y, bool withId);
// Get data into the tab's table and those lists; `alsoEnable` (the run
// button, say) is enabled with them.
bool fetchCoordinateTable(TableTab& tab, bool withId, std::vector<HWND> alsoEnable);

// Selects a position in a column list, or clears the selection for a negative one.
void selectColumn(HWND combo, int position);

inline constexpr const char* kClipboardRefused = "无法写入剪贴板";

// The end of a run: a successful result replaces the clipboard text, then the
// run's box is shown. A clipboard that refuses the text gives the error box
// "无法写入剪贴板" instead of the success box, which would claim an export
// that never happened. True when the result reached the clipboard.
bool finishClipboardRun(HWND owner, const Outcome& outcome);

}  // namespace kit
