// Regular polygons and stars: get data from the clipboard, choose the mode,
// the count, size and rotation (and the star's inner angle); create and save
// as GeoJSON, KML or a Shapefile by the name chosen.
#include "analysis/polygon_layer.h"
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
    kCount = 11,
    kAngle = 12,
    kRotation = 13,
    kCountLabel = 100,
    kAngleLabel = 101,
    kLonLabel = 102,
    kLatLabel = 103,
    kSizeLabel = 104,
    kRotationLabel = 105,
    kLon = 150,
    kLat = 151,
    kSize = 152,
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

void setMode(PolygonMode mode) {
    HWND p = tab.panel.hwnd;
    tab.mode = mode;
    const bool star = mode == PolygonMode::Star;
    setButtonKind(GetDlgItem(p, kPolygonMode), star ? kOtherMode : kSelectedMode);
    setButtonKind(GetDlgItem(p, kStarMode), star ? kSelectedMode : kOtherMode);
    SetDlgItemTextW(p, kCountLabel, star ? L"角数:" : L"边数:");
    for (int id : {kAngleLabel, kAngle}) ShowWindow(GetDlgItem(p, id), star ? SW_SHOW : SW_HIDE);
}

void getData() {
    HWND p = tab.panel.hwnd;
    HWND lon = GetDlgItem(p, kLon), lat = GetDlgItem(p, kLat), size = GetDlgItem(p, kSize);
    if (!fetchTable({.owner = p,
                     .table = &tab.table,
                     .columnLists = {lon, lat, size},
                     .lonList = lon,
                     .latList = lat,
                     .enable = {lon, lat, size, GetDlgItem(p, kCreate)},
                     .fetched = &tab.fetched,
                     .status = GetDlgItem(p, kStatus)}))
        return;
    SetWindowTextW(size, L"100");
}

void create() {
    HWND p = tab.panel.hwnd;
    LonLatColumns cols =
        lonLatColumnsAt(tab.table, comboSelection(GetDlgItem(p, kLon)), comboSelection(GetDlgItem(p, kLat)));
    PolygonFields fields{.mode = tab.mode,
                         .count = windowTextUtf8(GetDlgItem(p, kCount)),
                         .innerAngle = windowTextUtf8(GetDlgItem(p, kAngle)),
                         .size = windowTextUtf8(GetDlgItem(p, kSize)),
                         .rotation = windowTextUtf8(GetDlgItem(p, kRotation))};
    saveLayerOutcome(p, runPolygonLayer(tab.fetchedTable(), cols, fields), kPolygonsSaveTitle, kPolygonsDefaultName);
}

}  // namespace

HWND createPolygonTab(HWND mainWindow) {
    tab.mode = PolygonMode::Polygon;
    HWND p = createTableTab(mainWindow, L"TabPolygonContent", tab);
    if (!p) return nullptr;
    createButton({.parent = p, .id = kPolygonMode, .text = L"多边形", .kind = kSelectedMode, .x = 18, .y = 54,
                  .width = 78, .height = 22});
    createButton({.parent = p, .id = kStarMode, .text = L"星形", .kind = kOtherMode, .x = 100, .y = 54, .width = 78,
                  .height = 22});

    createLabel({.parent = p, .id = kCountLabel, .text = L"边数:", .x = 18, .y = 84, .width = 36});
    createEdit({.parent = p, .id = kCount, .text = L"4", .x = 54, .y = 82, .width = 42, .height = 22});
    createLabel({.parent = p, .id = kAngleLabel, .text = L"角度:", .x = 102, .y = 84, .width = 36});
    createEdit({.parent = p, .id = kAngle, .text = L"30", .x = 138, .y = 82, .width = 40, .height = 22});

    const std::pair<int, const wchar_t*> labels[] = {{kLonLabel, L"经度:"}, {kLatLabel, L"纬度:"}, {kSizeLabel, L"边长:"}};
    const int lists[] = {kLon, kLat, kSize};
    for (int i = 0; i < 3; ++i) {
        int y = 110 + 24 * i;
        createLabel({.parent = p, .id = labels[i].first, .text = labels[i].second, .x = 18, .y = y + 2, .width = 40});
        createDropDown({.parent = p, .id = lists[i], .x = 58, .y = y, .width = 120, .height = 200, .enabled = false,
                        .editable = i == 2});
    }
    SetDlgItemTextW(p, kSize, L"100");
    createLabel({.parent = p, .id = kRotationLabel, .text = L"旋转:", .x = 18, .y = 184, .width = 40});
    createEdit({.parent = p, .id = kRotation, .text = L"0", .x = 58, .y = 182, .width = 60, .height = 22});

    createButton({.parent = p, .id = kCreate, .text = L"▶️ 创建多边形", .kind = ButtonKind::Red, .x = 40, .y = 212,
                  .width = 106, .height = 24, .enabled = false});
    createButton({.parent = p, .id = kHelp, .kind = ButtonKind::Help, .x = 152, .y = 212, .width = 28, .height = 24});

    tab.panel.onCommand(kGetData, getData);
    tab.panel.onCommand(kCreate, create);
    tab.panel.onCommand(kHelp, [] { showHelp(tab.panel.hwnd, kHelpTitle, kHelpText); });
    tab.panel.onCommand(kPolygonMode, [] { setMode(PolygonMode::Polygon); });
    tab.panel.onCommand(kStarMode, [] { setMode(PolygonMode::Star); });
    setMode(PolygonMode::Polygon);
    return p;
}

}  // namespace kit
