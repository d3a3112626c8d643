// Buffer grouping: a table of points from the clipboard, a distance, and the
// table goes back to the clipboard with a group number per row (and, when
// ticked, a WKT point column).
#include "analysis/buffer_group.h"
#include "analysis/win/analysis_tabs.h"
#include "shell/animated_button.h"
#include "shell/controls.h"
#include "shell/help_window.h"
#include "shell/table_tab.h"

namespace kit {

namespace {

enum Id {
    kRun = kRunId,
    kDistance = 11,
    kGeom = 12,
    kDistanceLabel = 103,
    kLon = kLonListId,
    kLat = kLatListId,
};

constexpr wchar_t kHelpTitle[] = L"缓冲分组使用说明";
constexpr wchar_t kHelpText[] =
    L"缓冲分组 - 空间聚类分析\n\n功能说明：根据缓冲距离对点进行分组聚类。\n\n使用步骤：\n1. 获取数据 - "
    L"从剪贴板读取表格数据\n2. 经度/纬度/ID - 选择列（自动检测）\n3. 距离 - 设置缓冲分组距离（默认 100 米）\n4. 运行 - "
    L"执行分组并导出到剪贴板";

TableTab tab;

HWND item(int id) { return tab.panel.item(id); }

// The ID column is offered as on the other tabs; the grouping ignores it.
void getData() { fetchCoordinateTable(tab, true, {item(kRun)}); }

void run() {
    Outcome outcome =
        runBufferGroup(tab.fetchedTable(),
                       lonLatColumnsAt(tab.table, comboSelection(item(kLon)), comboSelection(item(kLat))),
                       windowTextUtf8(item(kDistance)), IsDlgButtonChecked(tab.panel.hwnd, kGeom) == BST_CHECKED);
    finishClipboardRun(tab.panel.hwnd, outcome);
}

}  // namespace

HWND createGroupTab(HWND mainWindow) {
    HWND p = createTableTab(
        tab, mainWindow, L"TabTypeContent",
        {.statusX = 4, .statusWidth = 176, .getDataX = 78, .getDataWidth = 100, .onGetData = getData});
    if (!p) return nullptr;
    createCoordinateLists(p, 52, true);
    createLabel({.parent = p, .id = kDistanceLabel, .text = L"距离:", .x = 78, .y = 124, .width = 40});
    createEdit({.parent = p, .id = kDistance, .text = L"100", .x = 118, .y = 124, .width = 60, .height = 22,
                .input = EditInput::Decimal});
    createCheckBox({.parent = p, .id = kGeom, .text = L"导出 geom 列", .x = 58, .y = 148, .width = 120, .height = 24});
    createButton({.parent = p, .id = kRun, .text = L"▶️ 运行", .kind = ButtonKind::Red, .x = 66, .y = 178,
                  .width = 80, .height = 24, .enabled = false, .onClicked = run});
    createHelpButton({.parent = p, .y = 178, .title = kHelpTitle, .text = kHelpText});
    return p;
}

}  // namespace kit
