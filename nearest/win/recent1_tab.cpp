// Nearest sites within one table: get data from the clipboard, pick the
// columns and N, run; the result table goes back to the clipboard.
#include "core/threads.h"
#include "nearest/nearest_runs.h"
#include "nearest/win/nearest_tabs.h"
#include "shell/animated_button.h"
#include "shell/controls.h"
#include "shell/help_window.h"
#include "shell/table_tab.h"

namespace kit {

namespace {

enum Id {
    kRun = kRunId,
    kQuantity = 11,
    kQuantityLabel = 103,
    kLon = kLonListId,
    kLat = kLatListId,
    kId = kIdListId,
};

constexpr wchar_t kHelpTitle[] = L"最近 1 使用说明";
constexpr wchar_t kHelpText[] =
    L"最近站点1 - 单表最近站点计算\n\n功能说明：计算每个点到其最近 N 个站点的距离。\n\n使用步骤：\n1. 获取数据 - "
    L"从剪贴板读取表格数据\n2. 经度/纬度/ID - 选择列（自动检测）\n3. 数量 - 输入最近站点数量（默认 1）\n4. 运行 - "
    L"执行计算并导出到剪贴板\n\n采用 KD-Tree + UTM 投影优化性能";

TableTab tab;

HWND item(int id) { return tab.panel.item(id); }

void getData() { fetchCoordinateTable(tab, true, {item(kRun)}); }

void run() {
    SiteColumns cols = siteColumnsAt(tab.table, comboSelection(item(kLon)), comboSelection(item(kLat)),
                                     comboSelection(item(kId)));
    Outcome outcome = runNearestSingle(tab.fetchedTable(), cols, windowTextUtf8(item(kQuantity)), workerThreads());
    finishClipboardRun(tab.panel.hwnd, outcome);
}

}  // namespace

HWND createRecent1Tab(HWND mainWindow) {
    HWND p = createTableTab(tab, mainWindow, L"TabRecent1Content", {.onGetData = getData});
    if (!p) return nullptr;
    createCoordinateLists(p, 52, true);
    createLabel({.parent = p, .id = kQuantityLabel, .text = L"数量:", .x = 78, .y = 124, .width = 40});
    createEdit({.parent = p, .id = kQuantity, .text = L"1", .x = 118, .y = 124, .width = 60, .height = 22});
    createButton({.parent = p, .id = kRun, .text = L"▶️ 运行", .kind = ButtonKind::Red, .x = 66, .y = 150,
                  .width = 80, .height = 24, .enabled = false, .onClicked = run});
    createHelpButton({.parent = p, .y = 150, .title = kHelpTitle, .text = kHelpText});
    return p;
}

}  // namespace kit
