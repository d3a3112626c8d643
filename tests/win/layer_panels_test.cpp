// The four layer-generating tabs (WKT, points, sectors, polygons), end to end
// inside the process: a table on the clipboard, get-data and create pressed
// with the mouse, the save dialog answered with a path, and every file written
// compared byte for byte with the portable run saved by saveLayer.
#include <map>
#include <string>

#include "analysis/point_layer.h"
#include "analysis/polygon_layer.h"
#include "analysis/sector_layer.h"
#include "core/table.h"
#include "layers/layer_file.h"
#include "layers/wkt_layer.h"
#include "shell/animated_button.h"
#include "shell/control_ids.h"
#include "shell/controls.h"
#include "shell/help_window.h"
#include "shell/wide.h"
#include "win_test_support.h"

namespace kit::test {
namespace {

enum Tab { kWktTab = 4, kPointsTab = 5, kSectorsTab = 6, kPolygonTab = 7 };

const std::wstring kSites =
    L"站名\tlongitude\tlatitude\t方位角\t覆盖\n"
    L"A\t116.30\t39.90\t30\t120\n"
    L"B\t116.31\t39.91\tx\t\n"
    L"C\t\t40.10\t270\t80.5\n";

// The files a save under this name makes: the Shapefile set, or the one file.
std::vector<std::wstring> filesOf(const std::wstring& path) {
    if (!path.ends_with(L".shp")) return {path};
    std::wstring stem = path.substr(0, path.size() - 4);
    return {path, stem + L".shx", stem + L".dbf", stem + L".cpg", stem + L".prj"};
}

std::map<std::wstring, std::string> takeFiles(const std::wstring& path) {
    std::map<std::wstring, std::string> bytes;
    for (const std::wstring& f : filesOf(path)) {
        if (GetFileAttributesW(f.c_str()) != INVALID_FILE_ATTRIBUTES) bytes[f] = fileBytes(f);
        DeleteFileW(f.c_str());
    }
    return bytes;
}

Table parsed(const std::wstring& text) {
    Table t;
    parseTable(toUtf8(text), t);
    return t;
}

class LayerPanelTest : public PlotvaneWindowTest {
protected:
    HWND item(int tab, int id) { return GetDlgItem(tabPanel(tab), id); }
    void press(int tab, int id) { click(item(tab, id), 6, 6); }
    void fetch(int tab, const std::wstring& text) {
        setClipboard(text);
        press(tab, kGetDataId);
    }
    void setText(int tab, int id, const wchar_t* text) { SetWindowTextW(item(tab, id), text); }

    // Presses create once per format with the dialog answering a temporary
    // path; each save must write exactly what the run saved by saveLayer
    // writes (placemarks named by the property after the tool's own keys),
    // then report (with the run's note) and reveal the file.
    void expectSavesLikeTheRun(int tab, const Outcome& run, const wchar_t* title, const wchar_t* defaultName,
                               size_t nameProperty = 0) {
        ASSERT_TRUE(run.ok()) << run.message;
        for (const wchar_t* ext : {L".geojson", L".kml", L".shp"}) {
            SCOPED_TRACE(toUtf8(ext));
            std::wstring path = tempFolder() + L"kit_图层_tab" + std::to_wstring(tab) + ext;
            Outcome saved = saveLayer(toUtf8(path), run.text, nameProperty, run.message);
            ASSERT_TRUE(saved.ok());
            auto want = takeFiles(path);
            ASSERT_EQ(want.size(), filesOf(path).size());

            dialogs.clear();
            dialogs.pathAnswers = {path};
            press(tab, kRunId);
            ASSERT_EQ(dialogs.calls.size(), 3u) << toUtf8(dialogs.onlyMessage());
            EXPECT_EQ(dialogs.calls[0].kind, "save");
            EXPECT_EQ(dialogs.calls[0].title, title);
            EXPECT_EQ(dialogs.calls[0].text, defaultName);
            EXPECT_EQ(dialogs.calls[0].owner, tabPanel(tab));
            ASSERT_EQ(dialogs.calls[0].filter.size(), 4u);  // GeoJSON first, then Shapefile, KML, all files
            EXPECT_EQ(dialogs.calls[0].filter[0].pattern, L"*.geojson;*.json");
            EXPECT_EQ(dialogs.calls[1].kind, "success");
            EXPECT_EQ(dialogs.calls[1].text, toWide(saved.message));
            EXPECT_TRUE(dialogs.calls[1].text.starts_with(L"创建完成！\n文件已保存到：" + path));
            EXPECT_EQ(dialogs.calls[2].kind, "reveal");
            EXPECT_EQ(dialogs.calls[2].text, path);
            auto got = takeFiles(path);
            EXPECT_EQ(got.size(), want.size());
            for (const auto& [file, bytes] : want) {
                EXPECT_TRUE(got[file] == bytes) << toUtf8(file) << ": " << got[file].size() << " bytes written, "
                                                << bytes.size() << " expected";
            }
        }
    }
};

TEST_F(LayerPanelTest, TabsHaveTheirClassesAndHelp) {
    const std::pair<const wchar_t*, const wchar_t*> tabs[] = {{L"TabDfGdfContent", L"转图层使用说明"},
                                                              {L"TabPointsContent", L"创建点使用说明"},
                                                              {L"TabSectorsContent", L"创建扇形使用说明"},
                                                              {L"TabPolygonContent", L"创建多边形使用说明"}};
    for (int i = 0; i < 4; ++i) {
        int tab = kWktTab + i;
        wchar_t cls[64];
        GetClassNameW(tabPanel(tab), cls, 64);
        EXPECT_STREQ(cls, tabs[i].first);
        showTab(tab);
        EXPECT_TRUE(IsWindowVisible(tabPanel(tab)));
        press(tab, kHelpId);
        ASSERT_NE(helpWindow(), nullptr) << tab;
        EXPECT_EQ(windowText(helpWindow()), tabs[i].second);
        press(tab, kHelpId);
        EXPECT_EQ(helpWindow(), nullptr);
    }
}

TEST_F(LayerPanelTest, EveryTabsGetDataWarnsAndEnablesOnlyAfterATable) {
    for (int tab : {kWktTab, kPointsTab, kSectorsTab, kPolygonTab}) {
        SCOPED_TRACE(tab);
        dialogs.clear();
        EXPECT_EQ(windowText(item(tab, kStatusId)), L"未获取");
        EXPECT_FALSE(IsWindowEnabled(item(tab, kRunId)));
        press(tab, kRunId);  // disabled: nothing happens
        EXPECT_TRUE(dialogs.calls.empty());

        dialogs.clear();
        fetch(tab, L"");
        EXPECT_EQ(dialogs.onlyMessage(), L"剪贴板无数据");
        EXPECT_EQ(dialogs.lastKind(), "warning");
        dialogs.clear();
        fetch(tab, L"lon\tlat\n");
        EXPECT_EQ(dialogs.onlyMessage(), L"未解析到有效数据");
        EXPECT_EQ(windowText(item(tab, kStatusId)), L"未获取");
        EXPECT_FALSE(IsWindowEnabled(item(tab, kRunId)));

        dialogs.clear();
        fetch(tab, kSites);
        EXPECT_TRUE(dialogs.calls.empty());
        EXPECT_EQ(windowText(item(tab, kStatusId)), L"已获取：3行×5列");
        EXPECT_EQ(storedTextColor(item(tab, kStatusId)), RGB(39, 174, 96));
        EXPECT_TRUE(IsWindowEnabled(item(tab, kRunId)));

        // A cancelled dialog writes nothing and says nothing more.
        if (tab == kWktTab) SendMessageW(item(tab, 150), CB_SETCURSEL, 0, 0);  // no WKT column is detected
        dialogs.clear();
        press(tab, kRunId);
        ASSERT_EQ(dialogs.calls.size(), 1u);
        EXPECT_EQ(dialogs.calls[0].kind, "save");
    }
}

// WKT tab ids.
enum { kGeo = 150, kCrs = 151, kFormat = 152 };

TEST_F(LayerPanelTest, WktTableToLayerInEachFormat) {
    EXPECT_EQ(comboItems(item(kWktTab, kCrs)), (std::vector<std::wstring>{L"EPSG:4326", L"EPSG:3857", L"EPSG:4490"}));
    EXPECT_EQ(comboSelection(item(kWktTab, kCrs)), 0);
    EXPECT_TRUE(IsWindowEnabled(item(kWktTab, kCrs)));
    EXPECT_EQ(comboItems(item(kWktTab, kFormat)), std::vector<std::wstring>{L"GeoJSON"});
    EXPECT_FALSE(IsWindowEnabled(item(kWktTab, kFormat)));
    EXPECT_FALSE(IsWindowEnabled(item(kWktTab, kGeo)));

    // "the_geom" is found by name although column 0 holds WKT too; rows that
    // are not a point, line or polygon are left out; the polygon has a hole.
    const std::wstring table =
        L"名称\tthe_geom\t高度\tnote\n"
        L"P\tPOINT (116.3 39.9)\t12\t\"quoted\"\n"
        L"L\tLINESTRING(116.3 39.9, 116.4 40.0)\t\tline\n"
        L"G\tPOLYGON ((0 0, 10 0, 10 10, 0 10, 0 0), (2 2, 4 2, 4 4, 2 2))\t7\t\n"
        L"M\tMULTIPOLYGON (((0 0, 1 0, 1 1, 0 0)))\t1\tskipped\n"
        L"E\t\t\tempty\n";
    fetch(kWktTab, table);
    EXPECT_EQ(windowText(item(kWktTab, kStatusId)), L"已获取：5行×4列");
    EXPECT_EQ(comboItems(item(kWktTab, kGeo)), (std::vector<std::wstring>{L"名称", L"the_geom", L"高度", L"note"}));
    EXPECT_EQ(comboSelection(item(kWktTab, kGeo)), 1);
    EXPECT_TRUE(IsWindowEnabled(item(kWktTab, kGeo)));

    // The CRS shown changes nothing in the output.
    SendMessageW(item(kWktTab, kCrs), CB_SETCURSEL, 1, 0);
    Table t = parsed(table);
    expectSavesLikeTheRun(kWktTab, runWktLayer(&t, std::string("the_geom")), L"保存图层文件", L"output.geojson");
}

TEST_F(LayerPanelTest, WktColumnByContentOrNoneAndEmptyLayers) {
    // No name matches: the first column with WKT in its first rows.
    const std::wstring byContent = L"id\tlocation\n1\tpolygon((0 0,1 0,1 1,0 0))\n2\tPOINT(1 2)\n";
    fetch(kWktTab, byContent);
    EXPECT_EQ(comboSelection(item(kWktTab, kGeo)), 1);
    Table t = parsed(byContent);
    expectSavesLikeTheRun(kWktTab, runWktLayer(&t, std::string("location")), L"保存图层文件", L"output.geojson");

    // Nothing looks like WKT: no column is chosen.
    dialogs.clear();
    fetch(kWktTab, L"a\tb\n1\t2\n");
    EXPECT_EQ(comboSelection(item(kWktTab, kGeo)), -1);
    press(kWktTab, kRunId);
    EXPECT_EQ(dialogs.onlyMessage(), L"请选择 Geometry 列");
    EXPECT_EQ(dialogs.lastKind(), "warning");

    // Choosing a column without geometry: an empty collection as GeoJSON;
    // a Shapefile of nothing is refused with the writer's error.
    SendMessageW(item(kWktTab, kGeo), CB_SETCURSEL, 0, 0);
    Table none = parsed(L"a\tb\n1\t2\n");
    std::wstring path = tempFolder() + L"kit_empty_wkt.geojson";
    dialogs.clear();
    dialogs.pathAnswers = {path};
    press(kWktTab, kRunId);
    EXPECT_EQ(dialogs.of("success").size(), 1u);
    EXPECT_EQ(takeFiles(path)[path], "\xEF\xBB\xBF" + runWktLayer(&none, std::string("a")).text);

    std::wstring shp = tempFolder() + L"kit_empty_wkt.shp";
    dialogs.clear();
    dialogs.pathAnswers = {shp};
    press(kWktTab, kRunId);
    EXPECT_EQ(dialogs.lastKind(), "error");
    EXPECT_EQ(dialogs.onlyMessage(), L"GeoJSON 中未找到要素");
    EXPECT_TRUE(takeFiles(shp).empty());
}

// Points tab ids (the coordinate lists are shared by the generating tabs).
constexpr int kPointsCrs = kFirstListId + 2;

TEST_F(LayerPanelTest, PointLayerInEachFormat) {
    EXPECT_EQ(comboItems(item(kPointsTab, kPointsCrs)),
              (std::vector<std::wstring>{L"EPSG:4326", L"EPSG:3857", L"EPSG:4490", L"EPSG:32649", L"EPSG:32650"}));
    EXPECT_EQ(comboSelection(item(kPointsTab, kPointsCrs)), 0);
    fetch(kPointsTab, kSites);
    EXPECT_EQ(comboSelection(item(kPointsTab, kLonListId)), 1);
    EXPECT_EQ(comboSelection(item(kPointsTab, kLatListId)), 2);
    EXPECT_TRUE(IsWindowEnabled(item(kPointsTab, kLonListId)));

    Table t = parsed(kSites);
    Outcome want = runPointLayer(&t, lonLatColumnsAt(t, 1, 2));
    expectSavesLikeTheRun(kPointsTab, want, L"保存点图层", L"output_points.geojson");

    // Another CRS shown, the same file; other columns chosen, another one.
    SendMessageW(item(kPointsTab, kPointsCrs), CB_SETCURSEL, 3, 0);
    expectSavesLikeTheRun(kPointsTab, want, L"保存点图层", L"output_points.geojson");
    SendMessageW(item(kPointsTab, kLonListId), CB_SETCURSEL, 3, 0);
    expectSavesLikeTheRun(kPointsTab, runPointLayer(&t, lonLatColumnsAt(t, 3, 2)), L"保存点图层",
                          L"output_points.geojson");
}

TEST_F(LayerPanelTest, GeneratingTabsWarnBeforeWriting) {
    for (int tab : {kPointsTab, kSectorsTab, kPolygonTab}) {
        SCOPED_TRACE(tab);
        // One column: no latitude is detected.
        fetch(tab, L"lon\n116.3\n");
        int lon = tab == kSectorsTab ? 100 : kLonListId;
        EXPECT_EQ(comboSelection(item(tab, lon)), 0);
        EXPECT_EQ(comboSelection(item(tab, lon + 1)), -1);
        dialogs.clear();
        press(tab, kRunId);
        EXPECT_EQ(dialogs.onlyMessage(), L"请选择经度列和纬度列");
        EXPECT_EQ(dialogs.lastKind(), "warning");

        // A failed fetch after a good one leaves a table without rows.
        fetch(tab, kSites);
        fetch(tab, L"lon\tlat\n");
        dialogs.clear();
        press(tab, kRunId);
        EXPECT_EQ(dialogs.onlyMessage(), L"请先获取数据");
        EXPECT_TRUE(dialogs.of("save").empty());
    }
}

// Sectors tab ids: the six lists, their labels and hints.
enum { kSLon = 100, kSLat = 101, kAzimuth = 102, kDistance = 103, kAngle = 104, kInner = 105 };

TEST_F(LayerPanelTest, SectorListsTakeNumbersOrColumns) {
    for (int id : {kSLon, kSLat}) {
        EXPECT_EQ(comboItems(item(kSectorsTab, id)), std::vector<std::wstring>{L"-"});
        EXPECT_EQ(windowText(item(kSectorsTab, id)), L"-");
    }
    for (int id = kSLon; id <= kInner; ++id) EXPECT_FALSE(IsWindowEnabled(item(kSectorsTab, id)));
    EXPECT_EQ(windowText(item(kSectorsTab, 122)), L"0-360 度或列名");
    EXPECT_EQ(windowText(item(kSectorsTab, 123)), L"米或列名");
    EXPECT_EQ(windowText(item(kSectorsTab, 124)), L"默认 90 度");
    EXPECT_EQ(windowText(item(kSectorsTab, 125)), L"可选，米");

    fetch(kSectorsTab, kSites);
    const std::vector<std::wstring> headers{L"站名", L"longitude", L"latitude", L"方位角", L"覆盖"};
    for (int id = kSLon; id <= kInner; ++id) {
        EXPECT_EQ(comboItems(item(kSectorsTab, id)), headers) << id;
        EXPECT_TRUE(IsWindowEnabled(item(kSectorsTab, id))) << id;
    }
    EXPECT_EQ(comboSelection(item(kSectorsTab, kSLon)), 1);
    EXPECT_EQ(comboSelection(item(kSectorsTab, kSLat)), 2);
    EXPECT_EQ(windowText(item(kSectorsTab, kAzimuth)), L"");
    EXPECT_EQ(windowText(item(kSectorsTab, kDistance)), L"100");
    EXPECT_EQ(windowText(item(kSectorsTab, kAngle)), L"90");
    EXPECT_EQ(windowText(item(kSectorsTab, kInner)), L"0");

    Table t = parsed(kSites);
    const LonLatColumns cols = lonLatColumnsAt(t, 1, 2);
    expectSavesLikeTheRun(kSectorsTab, runSectorLayer(&t, cols, {}), L"保存扇形图层", L"output_sectors.geojson",
                          kSectorOwnKeys);

    // Azimuth and radius picked from the lists (columns read per row), an
    // angle typed, an inner radius naming no column (its default).
    SendMessageW(item(kSectorsTab, kAzimuth), CB_SETCURSEL, 3, 0);
    SendMessageW(item(kSectorsTab, kDistance), CB_SETCURSEL, 4, 0);
    setText(kSectorsTab, kAngle, L"60");
    setText(kSectorsTab, kInner, L"内径");
    SectorFields fields{.azimuth = "方位角", .distance = "覆盖", .angle = "60", .inner = "内径"};
    Outcome want = runSectorLayer(&t, cols, fields);
    ASSERT_NE(want.text, runSectorLayer(&t, cols, {}).text);
    expectSavesLikeTheRun(kSectorsTab, want, L"保存扇形图层", L"output_sectors.geojson",
                          kSectorOwnKeys);

    // Typing into the editable lists works as well: a ring sector.
    setText(kSectorsTab, kAzimuth, L"45");
    setText(kSectorsTab, kDistance, L"200");
    setText(kSectorsTab, kInner, L"50");
    expectSavesLikeTheRun(kSectorsTab,
                          runSectorLayer(&t, cols, {.azimuth = "45", .distance = "200", .angle = "60", .inner = "50"}),
                          L"保存扇形图层", L"output_sectors.geojson",
                          kSectorOwnKeys);

    // A new fetch sets the defaults again.
    fetch(kSectorsTab, kSites);
    EXPECT_EQ(windowText(item(kSectorsTab, kDistance)), L"100");
    EXPECT_EQ(windowText(item(kSectorsTab, kInner)), L"0");
}

// Polygon tab ids.
enum { kCount = 11, kInnerAngle = 12, kRotation = 13, kCountLabel = 100, kAngleLabel = 101, kSize = 152 };
enum { kPolygonMode = 200, kStarMode = 201 };

TEST_F(LayerPanelTest, PolygonModesSwitchLabelAngleAndHighlight) {
    showTab(kPolygonTab);
    HWND p = tabPanel(kPolygonTab);
    auto fillOf = [&](int id) {
        RECT r;
        GetWindowRect(item(kPolygonTab, id), &r);
        MapWindowPoints(nullptr, p, reinterpret_cast<POINT*>(&r), 2);
        return Capture(p).pixel(r.left + 3, r.top + 3);
    };
    const COLORREF selected = buttonStyle(ButtonKind::Blue).normal, plain = buttonStyle(ButtonKind::Help).normal;

    EXPECT_EQ(windowText(item(kPolygonTab, kCountLabel)), L"边数:");
    EXPECT_EQ(windowText(item(kPolygonTab, kCount)), L"4");
    EXPECT_EQ(windowText(item(kPolygonTab, kInnerAngle)), L"30");
    EXPECT_EQ(windowText(item(kPolygonTab, kRotation)), L"0");
    EXPECT_EQ(windowText(item(kPolygonTab, kSize)), L"100");
    EXPECT_FALSE(IsWindowVisible(item(kPolygonTab, kAngleLabel)));
    EXPECT_FALSE(IsWindowVisible(item(kPolygonTab, kInnerAngle)));
    EXPECT_EQ(fillOf(kPolygonMode), selected);
    EXPECT_EQ(fillOf(kStarMode), plain);

    press(kPolygonTab, kStarMode);
    EXPECT_EQ(windowText(item(kPolygonTab, kCountLabel)), L"角数:");
    EXPECT_TRUE(IsWindowVisible(item(kPolygonTab, kAngleLabel)));
    EXPECT_TRUE(IsWindowVisible(item(kPolygonTab, kInnerAngle)));
    EXPECT_EQ(fillOf(kPolygonMode), plain);
    EXPECT_EQ(fillOf(kStarMode), selected);
    press(kPolygonTab, kStarMode);  // pressing the selected mode again keeps it
    EXPECT_EQ(windowText(item(kPolygonTab, kCountLabel)), L"角数:");

    press(kPolygonTab, kPolygonMode);
    EXPECT_EQ(windowText(item(kPolygonTab, kCountLabel)), L"边数:");
    EXPECT_FALSE(IsWindowVisible(item(kPolygonTab, kInnerAngle)));
    EXPECT_EQ(fillOf(kPolygonMode), selected);
    EXPECT_EQ(fillOf(kStarMode), plain);
    EXPECT_EQ(dialogs.calls.size(), 0u);
}

TEST_F(LayerPanelTest, PolygonsAndStarsInEachFormat) {
    fetch(kPolygonTab, kSites);
    EXPECT_TRUE(IsWindowEnabled(item(kPolygonTab, kSize)));
    EXPECT_EQ(comboItems(item(kPolygonTab, kSize)).size(), 5u);
    EXPECT_EQ(windowText(item(kPolygonTab, kSize)), L"100");
    Table t = parsed(kSites);
    const LonLatColumns cols = lonLatColumnsAt(t, 1, 2);
    expectSavesLikeTheRun(kPolygonTab, runPolygonLayer(&t, cols, {}), L"保存多边形图层", L"output_polygons.geojson",
                          polygonOwnKeys(PolygonMode::Polygon));

    // Hexagons turned by 15 degrees; the hidden angle does not count.
    setText(kPolygonTab, kCount, L"6");
    setText(kPolygonTab, kRotation, L"15");
    setText(kPolygonTab, kSize, L"250");
    setText(kPolygonTab, kInnerAngle, L"45");
    PolygonFields hexagons{.count = "6", .innerAngle = "45", .size = "250", .rotation = "15"};
    expectSavesLikeTheRun(kPolygonTab, runPolygonLayer(&t, cols, hexagons), L"保存多边形图层",
                          L"output_polygons.geojson", polygonOwnKeys(hexagons.mode));

    // Five-pointed stars with that inner angle; a column name as the size
    // is no number: 100.
    press(kPolygonTab, kStarMode);
    setText(kPolygonTab, kCount, L"5");
    SendMessageW(item(kPolygonTab, kSize), CB_SETCURSEL, 4, 0);
    EXPECT_EQ(windowText(item(kPolygonTab, kSize)), L"覆盖");
    PolygonFields star{.mode = PolygonMode::Star, .count = "5", .innerAngle = "45", .size = "覆盖", .rotation = "15"};
    expectSavesLikeTheRun(kPolygonTab, runPolygonLayer(&t, cols, star), L"保存多边形图层", L"output_polygons.geojson",
                          polygonOwnKeys(star.mode));
}

TEST_F(LayerPanelTest, PolygonCountOutOfRangeIsRefused) {
    fetch(kPolygonTab, kSites);
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"2", L"边数/角数必须是 >= 3 的整数"},
        {L"0", L"边数/角数必须是 >= 3 的整数"},
        {L"100001", L"边数/角数不能超过 100000"},
    };
    for (auto [count, message] : cases) {
        setText(kPolygonTab, kCount, count);
        dialogs.clear();
        press(kPolygonTab, kRunId);
        EXPECT_EQ(dialogs.onlyMessage(), message) << toUtf8(count);
        EXPECT_EQ(dialogs.lastKind(), "warning");
        EXPECT_TRUE(dialogs.of("save").empty());
    }
    // Empty: the default of 4 sides.
    setText(kPolygonTab, kCount, L"");
    dialogs.clear();
    press(kPolygonTab, kRunId);
    EXPECT_EQ(dialogs.lastKind(), "save");
    // Letters are refused by the edit itself.
    SendMessageW(item(kPolygonTab, kCount), WM_CHAR, L'a', 0);
    SendMessageW(item(kPolygonTab, kCount), WM_CHAR, L'7', 0);
    EXPECT_EQ(windowText(item(kPolygonTab, kCount)), L"7");
}

}  // namespace
}  // namespace kit::test
