// Regular polygons and stars: get data from the clipboard, choose the mode,
// the count, size and rotation (and the star's inner angle); create and save
// as GeoJSON, KML or a Shapefile by the name chosen.
#include "analysis/polygon_layer.h"
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
    kCount = 11,
    kAngle = 12,
    kRotation = 13,
    kCountLabel = kFirstLabelId,
    kAngleLabel = kFirstLabelId + 1,
    kLonLabel = kFirstLabelId + 2,
    kLatLabel = kFirstLabelId + 3,
    kSizeLabel = kFirstLabelId + 4,
    kRotationLabel = kFirstLabelId + 5,
    kLon = kLonListId,
    kLat = kLatListId,
    kSize = kFirstListId + 2,
    kPolygonMode = 200,
    kStarMode = 201,
};

constexpr wchar_t kHelpTitle[] = L"创建多边形使用说明";
constexpr wchar_t kHelpText[] =
    L"创建多边形 - 正多边形/星形生成\n\n功能说明：生成正多边形或星形多边形。\n\n模式：多边形 / 星形\n边数/角数："
    L"默认 4\n角度：星形模式下设置内角（默认 30 度）\n边长：设置边长/半径（米）\n旋转：设置旋转角度（默认 0 度）";

// The selected mode button is drawn as an action button, the other one plain.
constexpr ButtonKind kSelectedMode = ButtonKind::Blue;
constexpr ButtonKind kOtherMode = ButtonKind::Help;

struct PolygonTab : TableTab {
    PolygonMode mode = PolygonMode::Polygon;
};
PolygonTab tab;

HWND item(int id) { return tab.panel.item(id); }

void setMode(PolygonMode mode) {
    tab.mode = mode;
    const bool star = mode == PolygonMode::Star;
    setButtonKind(item(kPolygonMode), star ? kOtherMode : kSelectedMode);
    setButtonKind(item(kStarMode), star ? kSelectedMode : kOtherMode);
    SetWindowTextW(item(kCountLabel), star ? L"角数:" : L"边数:");
    for (int id : {kAngleLabel, kAngle}) ShowWindow(item(id), star ? SW_SHOW : SW_HIDE);
}

void getData() {
    if (!fetchTable(tab, {.columnLists = {item(kLon), item(kLat), item(kSize)},
                          .lonList = item(kLon),
                          .latList = item(kLat),
                          .enable = {item(kLon), item(kLat), item(kSize), item(kCreate)}}))
        return;
    SetWindowTextW(item(kSize), L"100");
}

void create() {
    LonLatColumns cols = lonLatColumnsAt(tab.table, comboSelection(item(kLon)), comboSelection(item(kLat)));
    PolygonFields fields{.mode = tab.mode,
                         .count = windowTextUtf8(item(kCount)),
                         .innerAngle = windowTextUtf8(item(kAngle)),
                         .size = windowTextUtf8(item(kSize)),
                         .rotation = windowTextUtf8(item(kRotation))};
    saveLayerOutcome(tab.panel.hwnd, runPolygonLayer(tab.fetchedTable(), cols, fields), kPolygonsSaveTitle,
                     kPolygonsDefaultName, polygonOwnKeys(fields.mode));
}

}  // namespace

HWND createPolygonTab(HWND mainWindow) {
    tab.mode = PolygonMode::Polygon;
    HWND p = createTableTab(tab, mainWindow, L"TabPolygonContent", {.onGetData = getData});
    if (!p) return nullptr;
    createButton({.parent = p, .id = kPolygonMode, .text = L"多边形", .kind = kSelectedMode, .x = 18, .y = 54,
                  .width = 78, .height = 22, .onClicked = [] { setMode(PolygonMode::Polygon); }});
    createButton({.parent = p, .id = kStarMode, .text = L"星形", .kind = kOtherMode, .x = 100, .y = 54, .width = 78,
                  .height = 22, .onClicked = [] { setMode(PolygonMode::Star); }});

    createLabel({.parent = p, .id = kCountLabel, .text = L"边数:", .x = 18, .y = 84, .width = 36});
    createEdit({.parent = p, .id = kCount, .text = L"4", .x = 54, .y = 82, .width = 42, .height = 22});
    createLabel({.parent = p, .id = kAngleLabel, .text = L"角度:", .x = 102, .y = 84, .width = 36});
    createEdit({.parent = p, .id = kAngle, .text = L"30", .x = 138, .y = 82, .width = 40, .height = 22,
                .input = EditInput::Decimal});

    // Labels 2 px lower, level with the lists' text.
    createLabeledDropDown(
        {.parent = p, .labelId = kLonLabel, .label = L"经度:", .listId = kLon, .y = 110, .labelDrop = 2});
    createLabeledDropDown(
        {.parent = p, .labelId = kLatLabel, .label = L"纬度:", .listId = kLat, .y = 134, .labelDrop = 2});
    createLabeledDropDown({.parent = p,
                           .labelId = kSizeLabel,
                           .label = L"边长:",
                           .listId = kSize,
                           .y = 158,
                           .labelDrop = 2,
                           .editable = true,
                           .text = L"100"});
    createLabel({.parent = p, .id = kRotationLabel, .text = L"旋转:", .x = 18, .y = 184, .width = 40});
    createEdit({.parent = p, .id = kRotation, .text = L"0", .x = 58, .y = 182, .width = 60, .height = 22,
                .input = EditInput::SignedDecimal});

    createButton({.parent = p, .id = kCreate, .text = L"▶️ 创建多边形", .kind = ButtonKind::Red, .x = 40, .y = 212,
                  .width = 106, .height = 24, .enabled = false, .onClicked = create});
    createHelpButton({.parent = p, .y = 212, .title = kHelpTitle, .text = kHelpText});
    setMode(PolygonMode::Polygon);
    return p;
}

}  // namespace kit
