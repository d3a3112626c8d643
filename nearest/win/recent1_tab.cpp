// Nearest sites within one table: get data from the clipboard, pick the
// columns and N, run; the result table goes back to the clipboard.
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
    kStatus = 1,
    kGetData = 2,
    kRun = 3,
    kHelp = 4,
    kQuantity = 11,
    kLonLabel = 100,
    kLatLabel = 101,
    kIdLabel = 102,
    kQuantityLabel = 103,
    kLon = 150,
    kLat = 151,
    kId = 152,
};

constexpr wchar_t kHelpTitle[] = L"最近 1 使用说明";
constexpr wchar_t kHelpText[] =
    L"最近站点1 - 单表最近站点计算\n\n功能说明：计算每个点到其最近 N 个站点的距离。\n\n使用步骤：\n1. 获取数据 - "
    L"从剪贴板读取表格数据\n2. 经度/纬度/ID - 选择列（自动检测）\n3. 数量 - 输入最近站点数量（默认 1）\n4. 运行 - "
    L"执行计算并导出到剪贴板\n\n采用 KD-Tree + UTM 投影优化性能";

struct Recent1 {
    Panel panel;
    Table table;
    bool fetched = false;
};
Recent1 tab;

void getData() {
    HWND p = tab.panel.hwnd;
    HWND lon = GetDlgItem(p, kLon), lat = GetDlgItem(p, kLat), id = GetDlgItem(p, kId);
    fetchTable({.owner = p,
                .table = &tab.table,
                .columnLists = {lon, lat, id},
                .lonList = lon,
                .latList = lat,
                .idList = id,
                .enable = {lon, lat, id, GetDlgItem(p, kRun)},
                .fetched = &tab.fetched,
                .status = GetDlgItem(p, kStatus)});
}

void run() {
    HWND p = tab.panel.hwnd;
    SiteColumns cols = siteColumnsAt(tab.table, comboSelection(GetDlgItem(p, kLon)),
                                     comboSelection(GetDlgItem(p, kLat)), comboSelection(GetDlgItem(p, kId)));
    Outcome outcome =
        runNearestSingle(tab.fetched ? &tab.table : nullptr, cols, windowTextUtf8(GetDlgItem(p, kQuantity)));
    finishClipboardRun(p, outcome);
}

}  // namespace

HWND createRecent1Tab(HWND mainWindow) {
    tab.table.clear();
    tab.fetched = false;
    tab.panel = Panel{};
    HWND p = createPanel({.parent = mainWindow, .className = L"TabRecent1Content"}, tab.panel);
    if (!p) return nullptr;

    createStatusLabel({.parent = p, .id = kStatus, .x = 0, .y = 4, .width = 180, .height = 18});
    createButton({.parent = p, .id = kGetData, .text = L"📋 获取数据", .kind = ButtonKind::Green, .x = 88, .y = 24,
                  .width = 90, .height = 24});
    const std::pair<int, const wchar_t*> labels[] = {{kLonLabel, L"经度:"}, {kLatLabel, L"纬度:"}, {kIdLabel, L"ID:"}};
    const int lists[] = {kLon, kLat, kId};
    for (int i = 0; i < 3; ++i) {
        int y = 52 + 24 * i;
        createLabel({.parent = p, .id = labels[i].first, .text = labels[i].second, .x = 18, .y = y, .width = 40});
        createDropDown({.parent = p, .id = lists[i], .x = 58, .y = y, .width = 120, .height = 200, .enabled = false});
    }
    createLabel({.parent = p, .id = kQuantityLabel, .text = L"数量:", .x = 78, .y = 124, .width = 40});
    createEdit({.parent = p, .id = kQuantity, .text = L"1", .x = 118, .y = 124, .width = 60, .height = 22});
    createButton({.parent = p, .id = kRun, .text = L"▶️ 运行", .kind = ButtonKind::Red, .x = 66, .y = 150,
                  .width = 80, .height = 24, .enabled = false});
    createButton({.parent = p, .id = kHelp, .kind = ButtonKind::Help, .x = 152, .y = 150, .width = 28, .height = 24});

    tab.panel.onCommand(kGetData, getData);
    tab.panel.onCommand(kRun, run);
    tab.panel.onCommand(kHelp, [] { showHelp(tab.panel.hwnd, kHelpTitle, kHelpText); });
    return p;
}

}  // namespace kit
