// Nearest sites between two tables: fetch table 1 (query points) and table 2
// (candidate sites) one after the other, pick columns and N, run.
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
    kStatus1 = kStatusId,
    kGetData1 = kGetDataId,
    kRun = kRunId,
    kLon1 = 5,
    kLat1 = 6,
    kId1 = 7,
    kId2 = 8,
    kQuantity = 11,
    kGetData2 = 12,
    kLon2 = 25,
    kLat2 = 26,
    kFirstLabel1 = kFirstLabelId,  // 100 to 102
    kStatus2 = 103,
    kFirstLabel2 = 104,  // to 106
    kQuantityLabel = 107,
};

constexpr wchar_t kHelpTitle[] = L"最近 2 使用说明";
constexpr wchar_t kHelpText[] =
    L"最近站点2 - 双表最近站点计算\n\n功能说明：计算两个数据表之间的最近站点距离。\n\n使用步骤：\n1. 获取数据 1 - "
    L"读取第一个表格\n2. 获取数据 2 - 读取第二个表格\n3. 选择经纬度/ID列\n4. 设置数量\n5. 运行 - "
    L"执行计算并导出到剪贴板";

// Table 1 is the tab's own table; table 2 rides along.
struct Recent2 : TableTab {
    Table table2;
    bool fetched2 = false;
};
Recent2 tab;

HWND item(int id) { return tab.panel.item(id); }

void enableRunWhenBothFetched() {
    if (tab.fetched && tab.fetched2) EnableWindow(item(kRun), TRUE);
}

void getData1() {
    fetchTable(tab, {.columnLists = {item(kLon1), item(kLat1), item(kId1)},
                     .lonList = item(kLon1),
                     .latList = item(kLat1),
                     .idList = item(kId1),
                     .enable = {item(kLon1), item(kLat1), item(kId1)},
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
    SiteColumns c1 = siteColumnsAt(tab.table, comboSelection(item(kLon1)), comboSelection(item(kLat1)),
                                   comboSelection(item(kId1)));
    SiteColumns c2 = siteColumnsAt(tab.table2, comboSelection(item(kLon2)), comboSelection(item(kLat2)),
                                   comboSelection(item(kId2)));
    Outcome outcome = runNearestTwo(tab.fetchedTable(), tab.fetched2 ? &tab.table2 : nullptr, c1, c2,
                                    windowTextUtf8(item(kQuantity)), workerThreads());
    finishClipboardRun(tab.panel.hwnd, outcome);
}

// The longitude, latitude and ID rows of one table, from y on.
void columnRows(HWND p, int firstLabelId, int y, const int (&lists)[3]) {
    const wchar_t* texts[] = {L"经度:", L"纬度:", L"ID:"};
    for (int i = 0; i < 3; ++i)
        createLabeledDropDown(
            {.parent = p, .labelId = firstLabelId + i, .label = texts[i], .listId = lists[i], .y = y + 24 * i});
}

}  // namespace

HWND createRecent2Tab(HWND mainWindow) {
    tab.table2.clear();
    tab.fetched2 = false;
    HWND p = createTableTab(tab, mainWindow, L"TabRecent2Content",
                            {.getDataWidth = 92, .getDataText = L"📋获取数据 1", .onGetData = getData1});
    if (!p) return nullptr;
    columnRows(p, kFirstLabel1, 52, {kLon1, kLat1, kId1});
    createGetDataRow({.parent = p,
                      .statusId = kStatus2,
                      .getDataId = kGetData2,
                      .y = 124,
                      .getDataWidth = 92,
                      .getDataText = L"📋获取数据 2",
                      .onGetData = getData2});
    columnRows(p, kFirstLabel2, 172, {kLon2, kLat2, kId2});
    createLabel({.parent = p, .id = kQuantityLabel, .text = L"数量:", .x = 78, .y = 244, .width = 40});
    createEdit({.parent = p, .id = kQuantity, .text = L"1", .x = 118, .y = 244, .width = 60, .height = 22});
    createButton({.parent = p, .id = kRun, .text = L"▶️ 运行", .kind = ButtonKind::Red, .x = 66, .y = 266,
                  .width = 80, .height = 24, .enabled = false, .onClicked = run});
    createHelpButton({.parent = p, .y = 266, .title = kHelpTitle, .text = kHelpText});
    return p;
}

}  // namespace kit
