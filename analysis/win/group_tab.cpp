// Buffer grouping: a table of points from the clipboard, a distance, and the
// table goes back to the clipboard with a group number per row (and, when
// ticked, a WKT point column).
#include "analysis/buffer_group.h"
#include "analysis/win/analysis_tabs.h"
#include "core/win/fetch_panel.h"
#include "shell/animated_button.h"
#include "shell/controls.h"
#include "shell/help_window.h"
#include "shell/panel.h"

namespace kit {

namespace {

enum Id {
    kStatus = 1,
    kGetData = 2,
    kRun = 3,
    kHelp = 4,
    kDistance = 11,
    kGeom = 12,
    kLonLabel = 100,
    kLatLabel = 101,
    kIdLabel = 102,
    kDistanceLabel = 103,
    kLon = 150,
    kLat = 151,
    kId = 152,
};

constexpr wchar_t kHelpTitle[] = L"缓冲分组使用说明";
constexpr wchar_t kHelpText[] =
    L"缓冲分组 - 空间聚类分析\n\n功能说明：根据缓冲距离对点进行分组聚类。\n\n使用步骤：\n1. 获取数据 - "
    L"从剪贴板读取表格数据\n2. 经度/纬度/ID - 选择列（自动检测）\n3. 距离 - 设置缓冲分组距离（默认 100 米）\n4. 运行 - "
    L"执行分组并导出到剪贴板";

struct GroupTab {
    Panel panel;
    Table table;
    bool fetched = false;
};
GroupTab tab;

HWND item(int id) { return GetDlgItem(tab.panel.hwnd, id); }

void getData() {
    // The ID column is offered as on the other tabs; the grouping ignores it.
    fetchTable({.owner = tab.panel.hwnd,
                .table = &tab.table,
                .columnLists = {item(kLon), item(kLat), item(kId)},
                .lonList = item(kLon),
                .latList = item(kLat),
                .idList = item(kId),
                .enable = {item(kLon), item(kLat), item(kId), item(kRun)},
                .fetched = &tab.fetched,
                .status = item(kStatus)});
}

void run() {
    Outcome outcome =
        runBufferGroup(tab.fetched ? &tab.table : nullptr,
                       lonLatColumnsAt(tab.table, comboSelection(item(kLon)), comboSelection(item(kLat))),
                       windowTextUtf8(item(kDistance)), IsDlgButtonChecked(tab.panel.hwnd, kGeom) == BST_CHECKED);
    finishClipboardRun(tab.panel.hwnd, outcome);
}

}  // namespace

HWND createGroupTab(HWND mainWindow) {
    tab.table.clear();
    tab.fetched = false;
    tab.panel = Panel{};
    HWND p = createPanel({.parent = mainWindow, .className = L"TabTypeContent"}, tab.panel);
    if (!p) return nullptr;

    createStatusLabel({.parent = p, .id = kStatus, .x = 4, .y = 4, .width = 176, .height = 18});
    createButton({.parent = p, .id = kGetData, .text = L"📋 获取数据", .kind = ButtonKind::Green, .x = 78, .y = 24,
                  .width = 100, .height = 24});
    createLabeledDropDown({.parent = p, .labelId = kLonLabel, .label = L"经度:", .listId = kLon, .y = 52});
    createLabeledDropDown({.parent = p, .labelId = kLatLabel, .label = L"纬度:", .listId = kLat, .y = 76});
    createLabeledDropDown({.parent = p, .labelId = kIdLabel, .label = L"ID:", .listId = kId, .y = 100});
    createLabel({.parent = p, .id = kDistanceLabel, .text = L"距离:", .x = 78, .y = 124, .width = 40});
    createEdit({.parent = p, .id = kDistance, .text = L"100", .x = 118, .y = 124, .width = 60, .height = 22});
    createCheckBox({.parent = p, .id = kGeom, .text = L"导出 geom 列", .x = 58, .y = 148, .width = 120, .height = 24});
    createButton({.parent = p, .id = kRun, .text = L"▶️ 运行", .kind = ButtonKind::Red, .x = 66, .y = 178,
                  .width = 80, .height = 24, .enabled = false});
    createButton({.parent = p, .id = kHelp, .kind = ButtonKind::Help, .x = 152, .y = 178, .width = 28, .height = 24});

    tab.panel.onCommand(kGetData, getData);
    tab.panel.onCommand(kRun, run);
    tab.panel.onCommand(kHelp, [] { showHelp(tab.panel.hwnd, kHelpTitle, kHelpText); });
    return p;
}

}  // namespace kit
