// Layer matching: a table of points from the clipboard, a reference layer
// from a file, then buffer, method and field; the joined table goes back to
// the clipboard.
#include "analysis/layer_match.h"
#include "analysis/win/analysis_tabs.h"
#include "shell/animated_button.h"
#include "shell/controls.h"
#include "shell/dialogs.h"
#include "shell/help_window.h"
#include "shell/table_tab.h"
#include "shell/wide.h"

namespace kit {

namespace {

enum Id {
    kMatch = kRunId,
    kFileLabel = 5,
    kBuffer = 11,
    kMethod = 12,
    kField = 13,
    kBrowse = 24,
    kFieldLabel = 102,
    kMethodLabel = 103,
    kBufferLabel = 104,
    kLon = kLonListId,
    kLat = kLatListId,
};

constexpr wchar_t kHelpTitle[] = L"匹配图层使用说明";
constexpr wchar_t kHelpText[] =
    L"匹配图层 - 空间匹配分析\n\n功能说明：判断点是否在多边形图层内，或计算到图层的最近距离。\n\n使用步骤：\n1. "
    L"获取数据 - 从剪贴板读取点数据\n2. 浏览 - 选择 GeoJSON 参考图层文件\n3. 缓冲距离 - 设置缓冲区半径（米）\n4. "
    L"方法 - 单个/多值合并/多行展开\n5. 字段 - 选择要匹配的图层字段\n6. 经度/纬度 - 选择列（自动检测）\n7. 匹配 - "
    L"执行空间分析并导出结果";

const std::vector<FileFilter>& openLayerFilter() {
    static const std::vector<FileFilter> filter{{L"GeoJSON 文件", L"*.geojson;*.json"},
                                                {L"KML 文件", L"*.kml"},
                                                {L"Shapefile", L"*.shp"},
                                                {L"所有文件", L"*.*"}};
    return filter;
}

struct MatchTab : TableTab {
    Layer layer;
};
MatchTab tab;

HWND item(int id) { return tab.panel.item(id); }

void updateMatchButton() { EnableWindow(item(kMatch), matchButtonEnabled(tab.fetchedTable(), &tab.layer)); }

void getData() {
    if (fetchCoordinateTable(tab, false, {})) updateMatchButton();
}

void browse() {
    std::wstring path = chooseOpenFile(tab.panel.hwnd, L"选择图层文件", openLayerFilter());
    if (path.empty()) return;
    const std::string utf8 = toUtf8(path);
    setStatusText(item(kFileLabel), toWide(layerFileLabel(utf8)), false);
    Outcome loaded = loadMatchLayer(utf8, tab.layer);
    if (!loaded.ok()) {  // the reader's error (layer kept) or an empty file
        showOutcomeMessage(tab.panel.hwnd, loaded);
        return;
    }
    setComboItems(item(kField), matchFieldItems(tab.layer), 0);
    EnableWindow(item(kField), TRUE);
    setStatusText(item(kFileLabel), toWide(loaded.message), true);
    updateMatchButton();
}

void match() {
    const int method = comboSelection(item(kMethod));
    Outcome outcome = runLayerMatch(
        tab.fetchedTable(),
        lonLatColumnsAt(tab.table, comboSelection(item(kLon)), comboSelection(item(kLat))), &tab.layer,
        windowTextUtf8(item(kBuffer)), method >= 0 && method <= 2 ? static_cast<MatchMethod>(method) : MatchMethod::Single,
        matchFieldAt(tab.layer, comboSelection(item(kField))));
    finishClipboardRun(tab.panel.hwnd, outcome);
}

}  // namespace

HWND createMatchTab(HWND mainWindow) {
    tab.layer.clear();
    // The table: status, get data, its coordinate columns.
    HWND p = createTableTab(
        tab, mainWindow, L"TabMatchContent",
        {.statusX = 4, .statusWidth = 176, .getDataX = 78, .getDataWidth = 100, .onGetData = getData});
    if (!p) return nullptr;
    createCoordinateLists(p, 52, false);

    // The layer: file label, browse, its field.
    createStatusLabel({.parent = p, .id = kFileLabel, .text = L"未选择文件", .x = 4, .y = 104, .width = 176, .height = 18});
    createButton({.parent = p, .id = kBrowse, .text = L"📁 浏览", .kind = ButtonKind::Sky, .x = 78, .y = 124,
                  .width = 100, .height = 24, .onClicked = browse});
    createLabeledDropDown(
        {.parent = p, .labelId = kFieldLabel, .label = L"字段:", .listId = kField, .y = 152, .items = {"请先选图层"}});

    // How to match.
    createLabeledDropDown({.parent = p,
                           .labelId = kMethodLabel,
                           .label = L"方法:",
                           .listId = kMethod,
                           .y = 176,
                           .enabled = true,
                           .items = {std::begin(kMatchMethodNames), std::end(kMatchMethodNames)}});
    createLabel({.parent = p, .id = kBufferLabel, .text = L"缓冲:", .x = 18, .y = 200, .width = 40});
    createEdit({.parent = p, .id = kBuffer, .text = L"100", .x = 58, .y = 200, .width = 120, .height = 22,
                .input = EditInput::Decimal});

    createButton({.parent = p, .id = kMatch, .text = L"▶️ 匹配", .kind = ButtonKind::Red, .x = 66, .y = 230,
                  .width = 80, .height = 24, .enabled = false, .onClicked = match});
    createHelpButton({.parent = p, .y = 230, .title = kHelpTitle, .text = kHelpText});
    return p;
}

}  // namespace kit
