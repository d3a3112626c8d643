// Sector polygons: get data from the clipboard, then the centre columns and
// four parameters, each typed as a number for every row or picked as a column
// read per row; create and save as GeoJSON, KML or a Shapefile.
#include "analysis/sector_layer.h"
#include "analysis/win/generator_tabs.h"
#include "layers/win/save_layer_panel.h"
#include "shell/animated_button.h"
#include "shell/colors.h"
#include "shell/controls.h"
#include "shell/fonts.h"
#include "shell/help_window.h"
#include "shell/table_tab.h"

namespace kit {

namespace {

enum Id {
    kCreate = kRunId,
    kLon = 100,
    kLat = 101,
    kAzimuth = 102,
    kDistance = 103,
    kAngle = 104,
    kInner = 105,
    kFirstLabel = 110,
    kFirstHint = 120,
};

constexpr wchar_t kHelpTitle[] = L"创建扇形使用说明";
constexpr wchar_t kHelpText[] =
    L"创建扇形 - 扇形多边形生成\n\n功能说明：根据中心点、方位角、距离和角度生成扇形多边形。\n\n参数说明：\n方位角："
    L"扇形朝向（0-360 度）\n距离：扇形半径（米，默认 100）\n角度：扇形张角（度，默认 90）\n内半径：可选，生成环形扇区";

struct Row {
    int list;
    const wchar_t* label;
    const wchar_t* hint;  // nullptr: none
};
constexpr Row kRows[] = {
    {kLon, L"经度:", nullptr},
    {kLat, L"纬度:", nullptr},
    {kAzimuth, L"方位角:", L"0-360 度或列名"},
    {kDistance, L"距离:", L"米或列名"},
    {kAngle, L"角度:", L"默认 90 度"},
    {kInner, L"内半径:", L"可选，米"},
};

TableTab tab;

HWND item(int id) { return tab.panel.item(id); }

void getData() {
    std::vector<HWND> lists;
    for (const Row& r : kRows) lists.push_back(item(r.list));
    std::vector<HWND> enable = lists;
    enable.push_back(item(kCreate));
    if (!fetchTable(tab, {.columnLists = lists, .lonList = item(kLon), .latList = item(kLat), .enable = enable}))
        return;
    // The azimuth keeps what the refilled list shows; the others their defaults.
    SetWindowTextW(item(kDistance), L"100");
    SetWindowTextW(item(kAngle), L"90");
    SetWindowTextW(item(kInner), L"0");
}

void create() {
    LonLatColumns cols = lonLatColumnsAt(tab.table, comboSelection(item(kLon)), comboSelection(item(kLat)));
    SectorFields fields{.azimuth = windowTextUtf8(item(kAzimuth)),
                        .distance = windowTextUtf8(item(kDistance)),
                        .angle = windowTextUtf8(item(kAngle)),
                        .inner = windowTextUtf8(item(kInner))};
    saveLayerOutcome(tab.panel.hwnd, runSectorLayer(tab.fetchedTable(), cols, fields), kSectorsSaveTitle,
                     kSectorsDefaultName, kSectorOwnKeys);
}

}  // namespace

HWND createSectorsTab(HWND mainWindow) {
    HWND p = createTableTab(tab, mainWindow, L"TabSectorsContent", {.onGetData = getData});
    if (!p) return nullptr;
    // Narrow lists leave room for each parameter's hint on its right.
    for (int i = 0; i < 6; ++i) {
        const Row& r = kRows[i];
        int y = 52 + 25 * i;
        createLabeledDropDown({.parent = p, .labelId = kFirstLabel + i, .label = r.label, .listId = r.list, .x = 4,
                               .y = y, .labelWidth = 42, .listWidth = 70, .labelDrop = 2, .editable = true});
        if (!r.hint) continue;
        HWND hint = createLabel({.parent = p, .id = kFirstHint + i, .text = r.hint, .x = 117, .y = y + 4, .width = 73,
                                 .height = 16, .font = sharedFonts().small});
        setStoredTextColor(hint, colors::kStatusNeutral);
    }
    for (int list : {kLon, kLat}) setComboItems(item(list), {L"-"}, 0);
    createButton({.parent = p, .id = kCreate, .text = L"▶️ 创建扇形", .kind = ButtonKind::Red, .x = 50, .y = 206,
                  .width = 96, .height = 24, .enabled = false, .onClicked = create});
    createHelpButton({.parent = p, .y = 206, .title = kHelpTitle, .text = kHelpText});
    return p;
}

}  // namespace kit
