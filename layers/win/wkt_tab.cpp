// WKT table to layer: get data from the clipboard, the geometry column is
// detected, convert and save as GeoJSON, KML or a Shapefile by the name chosen.
#include "core/columns.h"
#include "layers/win/save_layer_panel.h"
#include "layers/win/wkt_tab.h"
#include "layers/wkt_layer.h"
#include "shell/animated_button.h"
#include "shell/controls.h"
#include "shell/help_window.h"
#include "shell/table_tab.h"

namespace kit {

namespace {

enum Id {
    kConvert = kRunId,
    kGeoLabel = kFirstLabelId,
    kCrsLabel = kFirstLabelId + 1,
    kFormatLabel = kFirstLabelId + 2,
    kGeo = kFirstListId,
    kCrs = kFirstListId + 1,
    kFormat = kFirstListId + 2,
};

constexpr wchar_t kHelpTitle[] = L"转图层使用说明";
constexpr wchar_t kHelpText[] =
    L"转图层 - 表格转空间图层\n\n功能说明：将包含 WKT 几何信息的表格数据转换为空间图层文件。\n\n使用步骤：\n1. "
    L"获取数据 - 从剪贴板读取表格数据\n2. Geo - 选择几何列（WKT 格式，自动检测）\n3. CRS - 选择坐标系\n4. 格式 - "
    L"选择输出格式\n5. 转换并导出 - 选择保存位置并导出";

TableTab tab;

HWND item(int id) { return tab.panel.item(id); }

void getData() {
    if (!fetchTable(tab, {.columnLists = {item(kGeo)}, .enable = {item(kGeo), item(kConvert)}})) return;
    selectColumn(item(kGeo), detectGeometryColumn(tab.table));
}

void convert() {
    // The CRS and format lists are shown only: the output follows neither.
    std::optional<std::string> geo = selectedHeader(comboSelection(item(kGeo)), tab.table.headers);
    saveLayerOutcome(tab.panel.hwnd, runWktLayer(tab.fetchedTable(), geo), kWktSaveTitle, kWktDefaultName);
}

}  // namespace

HWND createWktTab(HWND mainWindow) {
    HWND p = createTableTab(tab, mainWindow, L"TabDfGdfContent", {.onGetData = getData});
    if (!p) return nullptr;
    createLabeledDropDown({.parent = p, .labelId = kGeoLabel, .label = L"Geo:", .listId = kGeo, .y = 52});
    createLabeledDropDown({.parent = p,
                           .labelId = kCrsLabel,
                           .label = L"CRS:",
                           .listId = kCrs,
                           .y = 76,
                           .enabled = true,
                           .items = {"EPSG:4326", "EPSG:3857", "EPSG:4490"}});
    createLabeledDropDown(
        {.parent = p, .labelId = kFormatLabel, .label = L"格式:", .listId = kFormat, .y = 100, .items = {"GeoJSON"}});
    createButton({.parent = p, .id = kConvert, .text = L"📁 转换并导出", .kind = ButtonKind::Sky, .x = 38, .y = 128,
                  .width = 108, .height = 24, .enabled = false, .onClicked = convert});
    createHelpButton({.parent = p, .y = 128, .title = kHelpTitle, .text = kHelpText});
    return p;
}

}  // namespace kit
