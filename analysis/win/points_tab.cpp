// Point layer: get data from the clipboard, the coordinate columns are
// detected, create and save as GeoJSON, KML or a Shapefile by the name chosen.
#include "analysis/point_layer.h"
#include "analysis/win/generator_tabs.h"
#include "layers/win/save_layer_panel.h"
#include "shell/animated_button.h"
#include "shell/controls.h"
#include "shell/help_window.h"
#include "shell/table_tab.h"

namespace kit {

namespace {

enum Id {
    kCreate = kRunId,
    kCrsLabel = 102,
    kLon = kLonListId,
    kLat = kLatListId,
    kCrs = kFirstListId + 2,
};

constexpr wchar_t kHelpTitle[] = L"创建点使用说明";
constexpr wchar_t kHelpText[] =
    L"创建点 - 表格转点图层\n\n功能说明：将包含经纬度的表格数据转换为点图层。\n\n使用步骤：\n1. 获取数据 - "
    L"从剪贴板读取表格数据\n2. 经度/纬度 - 选择经纬度列（自动检测）\n3. CRS - 选择坐标系\n4. 创建点 - "
    L"选择保存位置并导出 GeoJSON";

TableTab tab;

HWND item(int id) { return tab.panel.item(id); }

void getData() { fetchCoordinateTable(tab, false, {item(kCreate)}); }

void create() {
    // The CRS list is shown only: coordinates are written as read.
    LonLatColumns cols = lonLatColumnsAt(tab.table, comboSelection(item(kLon)), comboSelection(item(kLat)));
    saveLayerOutcome(tab.panel.hwnd, runPointLayer(tab.fetchedTable(), cols), kPointsSaveTitle, kPointsDefaultName);
}

}  // namespace

HWND createPointsTab(HWND mainWindow) {
    HWND p = createTableTab(tab, mainWindow, L"TabPointsContent", {.onGetData = getData});
    if (!p) return nullptr;
    createCoordinateLists(p, 52, false);
    createLabeledDropDown({.parent = p,
                           .labelId = kCrsLabel,
                           .label = L"CRS:",
                           .listId = kCrs,
                           .y = 100,
                           .enabled = true,
                           .items = {"EPSG:4326", "EPSG:3857", "EPSG:4490", "EPSG:32649", "EPSG:32650"}});
    createButton({.parent = p, .id = kCreate, .text = L"▶️ 创建点", .kind = ButtonKind::Red, .x = 58, .y = 128,
                  .width = 88, .height = 24, .enabled = false, .onClicked = create});
    createHelpButton({.parent = p, .y = 128, .title = kHelpTitle, .text = kHelpText});
    return p;
}

}  // namespace kit
