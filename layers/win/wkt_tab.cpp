// WKT table to layer: get data from the clipboard, the geometry column is
// detected, convert and save as GeoJSON, KML or a Shapefile by the name chosen.
#include "core/columns.h"
#include "core/win/fetch_panel.h"
#include "layers/win/save_layer_panel.h"
#include "layers/win/wkt_tab.h"
#include "layers/wkt_layer.h"
#include "shell/animated_button.h"
#include "shell/controls.h"
#include "shell/help_window.h"
#include "shell/panel.h"

namespace kit {

namespace {

enum Id {
    kStatus = kTabStatusId,
    kGetData = kTabGetDataId,
    kConvert = 3,
    kHelp = 4,
    kGeoLabel = 100,
    kCrsLabel = 101,
    kFormatLabel = 102,
    kGeo = 150,
    kCrs = 151,
    kFormat = 152,
};

constexpr wchar_t kHelpTitle[] = L"转图层使用说明";
constexpr wchar_t kHelpText[] =
    L"转图层 - 表格转空间图层\n\n功能说明：将包含 WKT 几何信息的表格数据转换为空间图层文件。\n\n使用步骤：\n1. "
    L"获取数据 - 从剪贴板读取表格数据\n2. Geo - 选择几何列（WKT 格式，自动检测）\n3. CRS - 选择坐标系\n4. 格式 - "
    L"选择输出格式\n5. 转换并导出 - 选择保存位置并导出";

TableTab tab;

void getData() {
    HWND p = tab.panel.hwnd;
    HWND geo = GetDlgItem(p, kGeo);
    if (!fetchTable({.owner = p,
                     .table = &tab.table,
                     .columnLists = {geo},
                     .enable = {geo, GetDlgItem(p, kConvert)},
                     .fetched = &tab.fetched,
                     .status = GetDlgItem(p, kStatus)}))
        return;
    selectColumn(geo, detectGeometryColumn(tab.table));
}

void convert() {
    HWND p = tab.panel.hwnd;
    // The CRS and format lists are shown only: the output follows neither.
    std::optional<std::string> geo;
    int sel = comboSelection(GetDlgItem(p, kGeo));
    if (isSelected(sel, tab.table.headers)) geo = tab.table.headers[sel];
    saveLayerOutcome(p, runWktLayer(tab.fetchedTable(), geo), kWktSaveTitle, kWktDefaultName);
}

}  // namespace

HWND createWktTab(HWND mainWindow) {
    HWND p = createTableTab(mainWindow, L"TabDfGdfContent", tab);
    if (!p) return nullptr;
    const std::pair<int, const wchar_t*> labels[] = {
        {kGeoLabel, L"Geo:"}, {kCrsLabel, L"CRS:"}, {kFormatLabel, L"格式:"}};
    const int lists[] = {kGeo, kCrs, kFormat};
    for (int i = 0; i < 3; ++i) {
        int y = 52 + 24 * i;
        createLabel({.parent = p, .id = labels[i].first, .text = labels[i].second, .x = 18, .y = y, .width = 40});
        createDropDown({.parent = p, .id = lists[i], .x = 58, .y = y, .width = 120, .height = 200, .enabled = i == 1});
    }
    setComboItems(GetDlgItem(p, kCrs), {L"EPSG:4326", L"EPSG:3857", L"EPSG:4490"}, 0);
    setComboItems(GetDlgItem(p, kFormat), {L"GeoJSON"}, 0);
    createButton({.parent = p, .id = kConvert, .text = L"📁 转换并导出", .kind = ButtonKind::Sky, .x = 38, .y = 128,
                  .width = 108, .height = 24, .enabled = false});
    createButton({.parent = p, .id = kHelp, .kind = ButtonKind::Help, .x = 152, .y = 128, .width = 28, .height = 24});

    tab.panel.onCommand(kGetData, getData);
    tab.panel.onCommand(kConvert, convert);
    tab.panel.onCommand(kHelp, [] { showHelp(tab.panel.hwnd, kHelpTitle, kHelpText); });
    return p;
}

}  // namespace kit
