// Point layer: get data from the clipboard, the coordinate columns are
// detected, create and save as GeoJSON, KML or a Shapefile by the name chosen.
#include "analysis/point_layer.h"
#include "analysis/win/generator_tabs.h"
#include "core/win/fetch_panel.h"
#include "layers/win/save_layer_panel.h"
#include "shell/animated_button.h"
#include "shell/controls.h"
#include "shell/help_window.h"
#include "shell/panel.h"

namespace kit {

namespace {

enum Id {
    kStatus = kTabStatusId,
    kGetData = kTabGetDataId,
    kCreate = 3,
    kHelp = 4,
    kLonLabel = 100,
    kLatLabel = 101,
    kCrsLabel = 102,
    kLon = 150,
    kLat = 151,
    kCrs = 152,
};

constexpr wchar_t kHelpTitle[] = L"创建点使用说明";
constexpr wchar_t kHelpText[] =
    L"创建点 - 表格转点图层\n\n功能说明：将包含经纬度的表格数据转换为点图层。\n\n使用步骤：\n1. 获取数据 - "
    L"从剪贴板读取表格数据\n2. 经度/纬度 - 选择经纬度列（自动检测）\n3. CRS - 选择坐标系\n4. 创建点 - "
    L"选择保存位置并导出 GeoJSON";

TableTab tab;

void getData() {
    HWND p = tab.panel.hwnd;
    HWND lon = GetDlgItem(p, kLon), lat = GetDlgItem(p, kLat);
    fetchTable({.owner = p,
                .table = &tab.table,
                .columnLists = {lon, lat},
                .lonList = lon,
                .latList = lat,
                .enable = {lon, lat, GetDlgItem(p, kCreate)},
                .fetched = &tab.fetched,
                .status = GetDlgItem(p, kStatus)});
}

void create() {
    HWND p = tab.panel.hwnd;
    // The CRS list is shown only: coordinates are written as read.
    LonLatColumns cols =
        lonLatColumnsAt(tab.table, comboSelection(GetDlgItem(p, kLon)), comboSelection(GetDlgItem(p, kLat)));
    saveLayerOutcome(p, runPointLayer(tab.fetchedTable(), cols), kPointsSaveTitle, kPointsDefaultName);
}

}  // namespace

HWND createPointsTab(HWND mainWindow) {
    HWND p = createTableTab(mainWindow, L"TabPointsContent", tab);
    if (!p) return nullptr;
    const std::pair<int, const wchar_t*> labels[] = {{kLonLabel, L"经度:"}, {kLatLabel, L"纬度:"}, {kCrsLabel, L"CRS:"}};
    const int lists[] = {kLon, kLat, kCrs};
    for (int i = 0; i < 3; ++i) {
        int y = 52 + 24 * i;
        createLabel({.parent = p, .id = labels[i].first, .text = labels[i].second, .x = 18, .y = y, .width = 40});
        createDropDown({.parent = p, .id = lists[i], .x = 58, .y = y, .width = 120, .height = 200, .enabled = i == 2});
    }
    setComboItems(GetDlgItem(p, kCrs), {L"EPSG:4326", L"EPSG:3857", L"EPSG:4490", L"EPSG:32649", L"EPSG:32650"}, 0);
    createButton({.parent = p, .id = kCreate, .text = L"▶️ 创建点", .kind = ButtonKind::Red, .x = 58, .y = 128,
                  .width = 88, .height = 24, .enabled = false});
    createButton({.parent = p, .id = kHelp, .kind = ButtonKind::Help, .x = 152, .y = 128, .width = 28, .height = 24});

    tab.panel.onCommand(kGetData, getData);
    tab.panel.onCommand(kCreate, create);
    tab.panel.onCommand(kHelp, [] { showHelp(tab.panel.hwnd, kHelpTitle, kHelpText); });
    return p;
}

}  // namespace kit
