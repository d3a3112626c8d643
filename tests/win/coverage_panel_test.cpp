// The coverage tab inside the real Plotvane window: layout, mode switching,
// every mode run to a file through the recording save dialog, the warnings.
// The written files are compared with the portable run (which the companion
// writes byte for byte) and checked for what no run may change on the way.
#include <windows.h>

#include <fstream>
#include <string>

#include "core/table.h"
#include "coverage/coverage_run.h"
#include "coverage/win/coverage_tab.h"
#include "shell/control_ids.h"
#include "shell/controls.h"
#include "shell/help_window.h"
#include "shell/wide.h"
#include "tests/coverage/tile_maker.h"
#include "win_test_support.h"

namespace kit::test {
namespace {

const std::wstring kStations =
    L"站名\t经度\t纬度\n"
    L"A\t116.40\t39.90\n"
    L"B\t116.45\t39.95\n"
    L"C\t116.401\t39.901\n"
    L"D\tabc\t40.10\n"
    L"E\t121.47\t31.23\n";

bool fileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

size_t count(const std::string& s, const std::string& what) {
    size_t n = 0;
    for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + what.size())) ++n;
    return n;
}

// What the portable run gives for the same clipboard text, columns 1 and 2.
Outcome expected(const std::wstring& text, const CoverageRequest& request) {
    Table t;
    parseTable(toUtf8(text), t);
    return runCoverage(&t, lonLatColumnsAt(t, 1, 2), request);
}

class CoveragePanelTest : public PlotvaneWindowTest {
protected:
    void SetUp() override {
        PlotvaneWindowTest::SetUp();
        showTab(8);
    }

    HWND panel() { return tabPanel(8); }
    // Labels share IDs with lists of other rows, so a control is found by
    // ID and window class together.
    HWND control(int id, const wchar_t* cls) {
        for (HWND c = GetWindow(panel(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            wchar_t name[32];
            GetClassNameW(c, name, 32);
            if (GetDlgCtrlID(c) == id && _wcsicmp(name, cls) == 0) return c;
        }
        return nullptr;
    }
    HWND label(int id) { return control(id, L"Static"); }
    HWND box(int id) { return control(id, L"ComboBox"); }
    HWND button(int id) { return control(id, L"Button"); }
    void press(int id) { click(button(id), 6, 6); }

    // A selection as the user makes it: the list changes and tells the panel.
    void choose(int id, int item) {
        SendMessageW(box(id), CB_SETCURSEL, static_cast<WPARAM>(item), 0);
        SendMessageW(panel(), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box(id)));
    }
    void fetch(const std::wstring& text = kStations) {
        setClipboard(text);
        press(kGetDataId);
    }
    // Runs with the save dialog answering `path`; the file's bytes.
    std::string runTo(const std::wstring& path) {
        DeleteFileW(path.c_str());
        dialogs.clear();
        dialogs.pathAnswers = {path};
        press(kRunId);
        std::string bytes = fileBytes(path);
        DeleteFileW(path.c_str());
        return bytes;
    }
};

TEST_F(CoveragePanelTest, ControlsSitWhereTheTabPlacesThem) {
    wchar_t cls[64];
    GetClassNameW(panel(), cls, 64);
    EXPECT_STREQ(cls, L"TabCoverageContent");
    RECT pr;
    GetWindowRect(panel(), &pr);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&pr), 2);
    EXPECT_EQ(pr.left, 28);  // clear of the strip
    EXPECT_EQ(pr.top, 28);
    EXPECT_EQ(pr.right - pr.left, 190);  // inside the thin border
    EXPECT_EQ(pr.bottom - pr.top, 290);

    struct Placed {
        const wchar_t* cls;
        int id, x, y, width;
        const wchar_t* text;
    };
    const Placed placed[] = {
        {L"Static", 1, 0, 4, 180, L"未获取"},    {L"Button", 2, 88, 24, 90, L"📋 获取数据"},
        {L"Static", 300, 8, 52, 50, L"模式:"},   {L"ComboBox", 400, 58, 52, 122, L"H3密度分析"},
        {L"Static", 100, 8, 76, 50, L"经度:"},   {L"ComboBox", 200, 58, 76, 122, L"-"},
        {L"Static", 101, 8, 100, 50, L"纬度:"},  {L"ComboBox", 201, 58, 100, 122, L"-"},
        {L"Static", 200, 8, 124, 50, L"频率:"},  {L"ComboBox", 300, 58, 124, 122, L"1800"},
        {L"Static", 201, 8, 148, 50, L"功率:"},  {L"ComboBox", 301, 58, 148, 122, L"43"},
        {L"Static", 202, 8, 172, 50, L"高度:"},  {L"ComboBox", 302, 58, 172, 122, L"30"},
        {L"Static", 203, 8, 196, 50, L"模型:"},  {L"ComboBox", 303, 58, 196, 122, L"自动选择"},
        {L"Static", 204, 8, 220, 50, L"环境:"},  {L"ComboBox", 304, 58, 220, 122, L"城市"},
        {L"Static", 205, 8, 244, 50, L"H3级:"},  {L"ComboBox", 305, 58, 244, 122, L"7(~1.2km)"},
        {L"Button", 3, 60, 268, 88, L"▶️ 分析"}, {L"Button", 4, 152, 268, 28, L"?"},
    };
    for (const Placed& p : placed) {
        SCOPED_TRACE(toUtf8(p.cls) + " " + std::to_string(p.id));
        HWND c = control(p.id, p.cls);
        ASSERT_NE(c, nullptr);
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, panel(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, p.x);
        EXPECT_EQ(r.top, p.y);
        EXPECT_EQ(r.right - r.left, p.width);
        EXPECT_EQ(windowText(c), p.text);
    }
    EXPECT_EQ(comboItems(box(400)), (std::vector<std::wstring>{L"H3密度分析", L"覆盖预测", L"LOS分析", L"地形剖面"}));
    EXPECT_EQ(comboItems(box(303)), (std::vector<std::wstring>{L"自动选择", L"FSPL", L"Okumura-Hata", L"COST-231"}));
    EXPECT_EQ(comboItems(box(304)), (std::vector<std::wstring>{L"城市", L"郊区", L"农村", L"开阔"}));
    EXPECT_EQ(comboItems(box(305)),
              (std::vector<std::wstring>{L"3(~60km)", L"5(~8km)", L"7(~1.2km)", L"9(~170m)", L"11(~25m)"}));
    // Typed into, not chosen from: the parameter boxes are editable and empty.
    for (int id : {300, 301, 302}) {
        EXPECT_EQ(GetWindowLongW(box(id), GWL_STYLE) & 3, CBS_DROPDOWN) << id;
        EXPECT_EQ(SendMessageW(box(id), CB_GETCOUNT, 0, 0), 0) << id;
    }
    EXPECT_FALSE(IsWindowEnabled(box(200)));
    EXPECT_FALSE(IsWindowEnabled(box(201)));
    EXPECT_FALSE(IsWindowEnabled(button(kRunId)));
}

TEST_F(CoveragePanelTest, ModeSwitchingShowsOnlyTheModesParameters) {
    // frequency, power, height, model, environment, hexagon level
    const bool shown[4][6] = {
        {false, false, false, false, false, true},
        {true, true, true, true, true, false},
        {true, true, true, true, true, false},
        {true, false, true, false, false, false},
    };
    const int labels[6] = {200, 201, 202, 203, 204, 205};
    const int boxes[6] = {300, 301, 302, 303, 304, 305};
    auto expectRows = [&](int mode) {
        for (int row = 0; row < 6; ++row) {
            EXPECT_EQ(IsWindowVisible(label(labels[row])) != 0, shown[mode][row]) << mode << " " << row;
            EXPECT_EQ(IsWindowVisible(box(boxes[row])) != 0, shown[mode][row]) << mode << " " << row;
        }
        for (int id : {300, 100, 101}) EXPECT_TRUE(IsWindowVisible(label(id))) << mode;
        for (int id : {400, 200, 201}) EXPECT_TRUE(IsWindowVisible(box(id))) << mode;
    };
    expectRows(0);  // as created
    for (int mode : {1, 2, 3, 2, 0, 3, 1}) {
        choose(400, mode);
        expectRows(mode);
    }
}

TEST_F(CoveragePanelTest, EveryModeWritesTheRunsFileAndRevealsIt) {
    fetch();
    EXPECT_TRUE(dialogs.calls.empty());
    EXPECT_EQ(windowText(label(kStatusId)), L"已获取：5行×3列");
    EXPECT_EQ(storedTextColor(label(kStatusId)), RGB(39, 174, 96));
    EXPECT_EQ(comboItems(box(200)), (std::vector<std::wstring>{L"站名", L"经度", L"纬度"}));
    EXPECT_EQ(comboSelection(box(200)), 1);
    EXPECT_EQ(comboSelection(box(201)), 2);
    EXPECT_TRUE(IsWindowEnabled(button(kRunId)));

    struct Case {
        int mode;
        const wchar_t* proposed;
        const wchar_t* type;
        const wchar_t* pattern;
        const char* start;
    };
    const Case cases[] = {
        {0, L"h3_density.geojson", L"GeoJSON", L"*.geojson",
         "{\"type\":\"FeatureCollection\",\"features\":[{\"type\":\"Feature\",\"properties\":{\"h3\":\""},
        {1, L"coverage_prediction.geojson", L"GeoJSON", L"*.geojson",
         "{\n  \"type\": \"FeatureCollection\",\n  \"features\": [\n    {\"type\":\"Feature\",\n"},
        {2, L"los_analysis.csv", L"CSV", L"*.csv", "Station,Lat,Lon,CellRadius_km,PathLoss_dB,RxPower_dBm\n0,"},
        {3, L"terrain_profile.csv", L"CSV", L"*.csv", "# LOS Analysis Result\n# Status: NLOS\n"},
    };
    // A non-ASCII name, and an older, longer file there to be replaced.
    const std::wstring path = tempFolder() + L"kit_覆盖_panel.out";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        choose(400, c.mode);
        {
            std::ofstream old(path.c_str(), std::ios::binary);
            old << std::string(200000, 'x');
        }
        dialogs.clear();
        dialogs.pathAnswers = {path};
        press(kRunId);
        std::string bytes = fileBytes(path);
        DeleteFileW(path.c_str());

        CoverageRequest request;
        request.mode = c.mode;
        Outcome want = expected(kStations, request);
        ASSERT_TRUE(want.ok());
        EXPECT_EQ(bytes, want.text);
        EXPECT_EQ(bytes.rfind(c.start, 0), 0u) << bytes.substr(0, 120);
        EXPECT_EQ(bytes.find('\r'), std::string::npos);

        ASSERT_EQ(dialogs.calls.size(), 3u);
        const auto& save = dialogs.calls[0];
        EXPECT_EQ(save.kind, "save");
        EXPECT_EQ(save.owner, panel());
        EXPECT_EQ(save.title, L"保存分析结果");
        EXPECT_EQ(save.text, c.proposed);
        ASSERT_EQ(save.filter.size(), 2u);
        EXPECT_EQ(save.filter[0].display, c.type);
        EXPECT_EQ(save.filter[0].pattern, c.pattern);
        EXPECT_EQ(save.filter[1].display, L"所有文件");
        EXPECT_EQ(save.filter[1].pattern, L"*.*");
        EXPECT_EQ(dialogs.calls[1].kind, "success");
        EXPECT_EQ(dialogs.calls[1].owner, panel());
        EXPECT_EQ(dialogs.calls[1].text, L"分析完成！\n文件已保存到：" + path);
        EXPECT_EQ(dialogs.calls[2].kind, "reveal");
        EXPECT_EQ(dialogs.calls[2].text, path);
    }

    // Shape, independent of the run: one feature per station, one line per
    // station, 7 comment/header lines and 100 samples.
    choose(400, 1);
    EXPECT_EQ(count(runTo(path), "\"station\":"), 5u);
    choose(400, 2);
    EXPECT_EQ(count(runTo(path), "\n"), 6u);
    choose(400, 3);
    EXPECT_EQ(count(runTo(path), "\n"), 111u);
}

TEST_F(CoveragePanelTest, TerrainProfileReadsTheElevationTiles) {
    // A folder of tiles, as dem beside the program would hold them: a hill
    // between stations A and B.
    const std::string dem = toUtf8(tempFolder()) + "kit_覆盖_dem";
    CreateDirectoryW(toWide(dem).c_str(), nullptr);
    const std::string tile = dem + "\\N39E116.hgt";
    {
        std::ofstream out(toWide(tile).c_str(), std::ios::binary);
        out << hgtTile(39, 116, 1201, hill(39.925, 116.425, 50, 150, 1000));
    }
    setCoverageDemFolder(dem);
    fetch();
    choose(400, 3);
    const std::wstring path = tempFolder() + L"kit_terrain_dem.csv";
    std::string bytes = runTo(path);
    setCoverageDemFolder("");
    CoverageRequest request{.mode = 3, .demFolder = dem};
    Outcome want = expected(kStations, request);
    DeleteFileW(toWide(tile).c_str());
    RemoveDirectoryW(toWide(dem).c_str());

    ASSERT_TRUE(want.ok());
    EXPECT_EQ(bytes, want.text);
    EXPECT_NE(bytes.find("\n# Terrain: SRTM 3\" tiles N39E116\n# Earth Radius Factor k: 1.33\n"), std::string::npos)
        << bytes.substr(0, 400);
    // Station A stands on the plain at 50 m, not on the synthetic 110.83 m.
    EXPECT_NE(bytes.find("\n0.00,39.900000,116.400000,50.00,80.00,0.00,0\n"), std::string::npos);
    // Without the setting the tab looks beside the program, where the build
    // keeps no tiles.
    EXPECT_NE(runTo(path).find("\n# Terrain: synthetic hill (no elevation tiles)\n"), std::string::npos);
}

TEST_F(CoveragePanelTest, TheBoxesAndListsReachTheRun) {
    fetch();
    const std::wstring path = tempFolder() + L"kit_coverage_fields.csv";

    // The link budget with every parameter changed; the frequency text reads
    // up to its unit, letters alone fall back to 1800.
    choose(400, 2);
    SetWindowTextW(box(300), L"900MHz");
    SetWindowTextW(box(301), L"40");
    SetWindowTextW(box(302), L"45");
    choose(303, 2);
    choose(304, 1);
    CoverageRequest request{.mode = 2, .frequencyText = "900", .powerText = "40", .heightText = "45",
                            .modelItem = 2, .environmentItem = 1};
    std::string got = runTo(path);
    EXPECT_EQ(got, expected(kStations, request).text);
    EXPECT_NE(got, expected(kStations, {.mode = 2}).text);

    SetWindowTextW(box(300), L"abc");
    request.frequencyText = "1800";
    EXPECT_EQ(runTo(path), expected(kStations, request).text);

    // Density at the level chosen: item 3 is resolution 9, the default 7.
    choose(400, 0);
    got = runTo(path);
    EXPECT_EQ(got, expected(kStations, {.mode = 0, .resolution = 7}).text);
    choose(305, 3);
    std::string fine = runTo(path);
    EXPECT_EQ(fine, expected(kStations, {.mode = 0, .resolution = 9}).text);
    EXPECT_NE(fine, got);

    // A longitude column chosen by hand: station names read as 0.
    SendMessageW(box(200), CB_SETCURSEL, 0, 0);
    Table t;
    parseTable(toUtf8(kStations), t);
    EXPECT_EQ(runTo(path), runCoverage(&t, lonLatColumnsAt(t, 0, 2), {.mode = 0, .resolution = 9}).text);
}

TEST_F(CoveragePanelTest, WarningsStopTheRunBeforeTheSaveDialog) {
    press(kRunId);  // disabled until data is fetched
    EXPECT_TRUE(dialogs.calls.empty());

    fetch(L"");
    EXPECT_EQ(dialogs.onlyMessage(), L"剪贴板无数据");
    EXPECT_EQ(dialogs.lastKind(), "warning");
    dialogs.clear();
    fetch(L"经度\t纬度\n");
    EXPECT_EQ(dialogs.onlyMessage(), L"未解析到有效数据");
    EXPECT_EQ(windowText(label(kStatusId)), L"未获取");
    EXPECT_FALSE(IsWindowEnabled(button(kRunId)));

    auto warningFor = [&] {
        dialogs.clear();
        press(kRunId);
        EXPECT_TRUE(dialogs.of("save").empty());
        return dialogs.lastKind() == "warning" ? dialogs.onlyMessage() : L"<no warning>";
    };

    // One station: enough for every mode but the terrain profile.
    fetch(L"经度\t纬度\n116.4\t39.9\n");
    choose(400, 3);
    EXPECT_EQ(warningFor(), L"LOS地形分析至少需要2个站点");

    fetch();
    SendMessageW(box(201), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(warningFor(), L"请选择经度列和纬度列");
    SendMessageW(box(201), CB_SETCURSEL, 2, 0);
    // Typed over, even with a header's name, the list has no choice left.
    HWND lonEdit = FindWindowExW(box(200), nullptr, L"Edit", nullptr);
    ASSERT_NE(lonEdit, nullptr);
    SendMessageW(lonEdit, EM_SETSEL, 0, -1);
    for (wchar_t ch : std::wstring(L"经度")) SendMessageW(lonEdit, WM_CHAR, ch, 0);
    EXPECT_EQ(windowText(box(200)), L"经度");
    EXPECT_EQ(comboSelection(box(200)), -1);
    EXPECT_EQ(warningFor(), L"请选择经度列和纬度列");
    SendMessageW(box(200), CB_SETCURSEL, 1, 0);

    SendMessageW(box(400), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(warningFor(), L"请选择分析模式");

    // Free space forced at a frequency its logarithm cannot take; numbers no
    // file reader accepts.
    choose(400, 1);
    choose(303, 1);
    SetWindowTextW(box(300), L"0");
    EXPECT_EQ(warningFor(), L"FSPL模型要求频率大于0");
    SetWindowTextW(box(300), L"1800");
    SetWindowTextW(box(302), L"inf");
    EXPECT_EQ(warningFor(), L"频率、功率和高度必须是有效数值");
    SetWindowTextW(box(302), L"30");

    // A later failed fetch leaves no rows behind.
    fetch(L"经度\t纬度\n");
    EXPECT_EQ(warningFor(), L"请先获取数据");
}

TEST_F(CoveragePanelTest, CancelledOrUnwritableSaveShowsNoSuccess) {
    fetch();
    choose(400, 2);
    press(kRunId);  // no answer queued: cancelled
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].kind, "save");

    dialogs.clear();
    const std::wstring path = tempFolder() + L"no_such_folder_kit\\los_analysis.csv";
    dialogs.pathAnswers = {path};
    press(kRunId);
    EXPECT_EQ(dialogs.lastKind(), "error");
    EXPECT_EQ(dialogs.onlyMessage(), L"无法创建文件");
    EXPECT_TRUE(dialogs.of("reveal").empty());
    EXPECT_FALSE(fileExists(path));
}

TEST_F(CoveragePanelTest, HelpButtonTogglesTheInstructions) {
    press(kHelpId);
    HWND help = helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(windowText(help), L"覆盖分析使用说明");
    HWND edit = FindWindowExW(help, nullptr, L"Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    std::wstring text = windowText(edit);
    EXPECT_EQ(text.rfind(L"覆盖分析引擎 - 技术深度模块\r\n", 0), 0u) << toUtf8(text);
    EXPECT_NE(text.find(L"H3分辨率: 3-12级，越高格子越小"), std::wstring::npos);
    press(kHelpId);
    EXPECT_EQ(helpWindow(), nullptr);
}

}  // namespace
}  // namespace kit::test
