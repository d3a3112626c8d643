// Nearest sites between two tables: fetch table 1 (query points) and table 2
// (candidate sites) one after the other, pick columns and N, run.
#include "core/win/clipboard.h"
#include "core/win/fetch_panel.h"
#include "nearest/nearest_runs.h"
#include "nearest/win/nearest_tabs.h"
#include "shell/animated_button.h"
#include "shell/controls.h"
#include "shell/dialogs.h"
#include "shell/help_window.h"
#include "shell/panel.h"
#include "shell/wide.h"

namespace kit {

namespace {

enum Id {
    kStatus1 = 1,
    kGetData1 = 2,
    kRun = 3,
    kHelp = 4,
    kLon1 = 5,
    kLat1 = 6,
    kId1 = 7,
    kId2 = 8,
    kQuantity = 11,
    kGetData2 = 12,
    kLon2 = 25,
    kLat2 = 26,
    kStatus2 = 103,
    kQuantityLabel = 107,
};

constexpr wchar_t kHelpTitle[] = L"最近 2 使用说明";
constexpr wchar_t kHelpText[] =
    L"最近站点2 - 双表最近站点计算\n\n功能说明：计算两个数据表之间的最近站点距离。\n\n使用步骤：\n1. 获取数据 1 - "
    L"读取第一个表格\n2. 获取数据 2 - 读取第二个表格\n3. 选择经纬度/ID列\n4. 设置数量\n5. 运行 - "
    L"执行计算并导出到剪贴板";

struct Recent2 {
    Panel panel;
    Table table1, table2;
    bool fetched1 = false, fetched2 = false;
};
Recent2 tab;

HWND item(int id) { return GetDlgItem(tab.panel.hwnd, id); }

void enableRunWhenBothFetched() {
    if (tab.fetched1 && tab.fetched2) EnableWindow(item(kRun), TRUE);
}

void getData1() {
    fetchTable({.owner = tab.panel.hwnd,
                .table = &tab.table1,
                .columnLists = {item(kLon1), item(kLat1), item(kId1)},
                .lonList = item(kLon1),
                .latList = item(kLat1),
                .idList = item(kId1),
                .enable = {item(kLon1), item(kLat1), item(kId1)},
                .fetched = &tab.fetched1,
                .status = item(kStatus1),
                .rowsOnly = true});
    enableRunWhenBothFetched();
}

void getData2() {
    fetchTable({.owner = tab.panel.hwnd,
                .table = &tab.table2,
                .columnLists = {item(kLon2), item(kLat2), item(kId2)},
                .lonList = item(kLon2),
                .latList = item(kLat2),
                .idList = item(kId2),
                .idColumn = secondTableIdColumn,
                .enable = {item(kLon2), item(kLat2), item(kId2)},
                .fetched = &tab.fetched2,
                .status = item(kStatus2),
                .rowsOnly = true});
    enableRunWhenBothFetched();
}

void run() {
    SiteColumns c1 = siteColumnsAt(tab.table1, comboSelection(item(kLon1)), comboSelection(item(kLat1)),
                                   comboSelection(item(kId1)));
    SiteColumns c2 = siteColumnsAt(tab.table2, comboSelection(item(kLon2)), comboSelection(item(kLat2)),
                                   comboSelection(item(kId2)));
    Outcome outcome = runNearestTwo(tab.fetched1 ? &tab.table1 : nullptr, tab.fetched2 ? &tab.table2 : nullptr, c1,
                                    c2, windowTextUtf8(item(kQuantity)));
    finishClipboardRun(tab.panel.hwnd, outcome);
}

// The three label/list rows of one table, from y on.
void columnRows(HWND p, int firstLabelId, int y, const int (&lists)[3]) {
    const wchar_t* texts[] = {L"经度:", L"纬度:", L"ID:"};
    for (int i = 0; i < 3; ++i) {
        createLabel({.parent = p, .id = firstLabelId + i, .text = texts[i], .x = 18, .y = y + 24 * i, .width = 40});
        createDropDown({.parent = p, .id = lists[i], .x = 58, .y = y + 24 * i, .width = 120, .height = 200,
                        .enabled = false});
    }
}

}  // namespace

HWND createRecent2Tab(HWND mainWindow) {
    tab.table1.clear();
    tab.table2.clear();
    tab.fetched1 = tab.fetched2 = false;
    tab.panel = Panel{};
    HWND p = createPanel({.parent = mainWindow, .className = L"TabRecent2Content"}, tab.panel);
    if (!p) return nullptr;

    createStatusLabel({.parent = p, .id = kStatus1, .x = 0, .y = 4, .width = 180, .height = 18});
    createButton({.parent = p, .id = kGetData1, .text = L"📋获取数据 1", .kind = ButtonKind::Green, .x = 88, .y = 24,
                  .width = 92, .height = 24});
    columnRows(p, 100, 52, {kLon1, kLat1, kId1});
    createStatusLabel({.parent = p, .id = kStatus2, .x = 0, .y = 124, .width = 180, .height = 18});
    createButton({.parent = p, .id = kGetData2, .text = L"📋获取数据 2", .kind = ButtonKind::Green, .x = 88, .y = 144,
                  .width = 92, .height = 24});
    columnRows(p, 104, 172, {kLon2, kLat2, kId2});
    createLabel({.parent = p, .id = kQuantityLabel, .text = L"数量:", .x = 78, .y = 244, .width = 40});
    createEdit({.parent = p, .id = kQuantity, .text = L"1", .x = 118, .y = 244, .width = 60, .height = 22});
    createButton({.parent = p, .id = kRun, .text = L"▶️ 运行", .kind = ButtonKind::Red, .x = 66, .y = 270,
                  .width = 80, .height = 24, .enabled = false});
    createButton({.parent = p, .id = kHelp, .kind = ButtonKind::Help, .x = 152, .y = 270, .width = 28, .height = 24});

    tab.panel.onCommand(kGetData1, getData1);
    tab.panel.onCommand(kGetData2, getData2);
    tab.panel.onCommand(kRun, run);
    tab.panel.onCommand(kHelp, [] { showHelp(tab.panel.hwnd, kHelpTitle, kHelpText); });
    return p;
}

}  // namespace kit
