// The layer-matching and buffer-grouping tabs, driven by mouse messages: a
// table on the clipboard, a layer answered to the open dialog, the clipboard
// and the recorded boxes checked against the portable runs.
#include <algorithm>
#include <string>

#include "analysis/buffer_group.h"
#include "analysis/layer_match.h"
#include "core/table.h"
#include "shell/control_ids.h"
#include "shell/controls.h"
#include "shell/help_window.h"
#include "shell/wide.h"
#include "win_test_support.h"

namespace kit::test {
namespace {

constexpr int kMatchTab = 2, kGroupTab = 3;
// The controls of one tab (those every tab has are in shell/control_ids.h).
constexpr int kFileLabel = 5, kBuffer = 11, kMethod = 12, kField = 13, kBrowse = 24;
constexpr int kDistance = 11, kGeom = 12;

std::string fixture(const char* name) { return std::string(KIT_FIXTURES) + "/" + name; }
// The open dialog answers with Windows separators.
std::wstring fixtureAnswer(const char* name) { return toWide(std::string(KIT_FIXTURES) + "\\" + name); }

void writeFile(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
    ASSERT_EQ(written, bytes.size());
}

class AnalysisPanelTest : public PlotvaneWindowTest {
protected:
    HWND item(int tab, int id) { return GetDlgItem(tabPanel(tab), id); }
    void press(int tab, int id) { click(item(tab, id), 6, 6); }
    void select(int tab, int id, int position) { SendMessageW(item(tab, id), CB_SETCURSEL, position, 0); }

    void fetch(int tab, const std::string& utf8) {
        setClipboard(toWide(utf8));
        press(tab, kGetDataId);
    }
    void browse(const std::wstring& answer) {
        dialogs.pathAnswers.push_back(answer);
        press(kMatchTab, kBrowse);
    }
    // The label and field list show the fixture as the portable loader reads
    // it (the label only while no failed browse has renamed it).
    void expectLoaded(const char* name, bool label = true) {
        Layer layer;
        Outcome loaded = loadMatchLayer(fixture(name), layer);
        ASSERT_TRUE(loaded.ok()) << name;
        if (label) {
            EXPECT_EQ(windowText(item(kMatchTab, kFileLabel)), toWide(loaded.message)) << name;
        }
        std::vector<std::wstring> items;
        for (const std::string& f : matchFieldItems(layer)) items.push_back(toWide(f));
        EXPECT_EQ(comboItems(item(kMatchTab, kField)), items) << name;
    }
    // Sets the method, field and buffer, presses match; the clipboard afterwards.
    std::string match(int method, int field, const wchar_t* buffer) {
        select(kMatchTab, kMethod, method);
        select(kMatchTab, kField, field);
        SetWindowTextW(item(kMatchTab, kBuffer), buffer);
        press(kMatchTab, kRunId);
        return toUtf8(clipboard());
    }
};

Table parsed(const std::string& text) {
    Table t;
    parseTable(text, t);
    return t;
}

TEST_F(AnalysisPanelTest, MatchFetchBrowseThenEachMethodAsThePortableRun) {
    // As created: only get data, browse, method and buffer can be used.
    EXPECT_EQ(windowText(item(kMatchTab, kFileLabel)), L"未选择文件");
    EXPECT_EQ(comboItems(item(kMatchTab, kField)), std::vector<std::wstring>{L"请先选图层"});
    EXPECT_EQ(comboItems(item(kMatchTab, kMethod)), (std::vector<std::wstring>{L"单个", L"多值合并", L"多行展开"}));
    EXPECT_EQ(comboSelection(item(kMatchTab, kMethod)), 0);
    EXPECT_EQ(windowText(item(kMatchTab, kBuffer)), L"100");
    for (int id : {kField, kLonListId, kLatListId, kRunId}) EXPECT_FALSE(IsWindowEnabled(item(kMatchTab, id))) << id;

    const std::string pois = fileBytes(toWide(fixture("pois.tsv")));
    ASSERT_FALSE(pois.empty());
    fetch(kMatchTab, pois);
    EXPECT_EQ(windowText(item(kMatchTab, kStatusId)), L"已获取：30行×4列");
    EXPECT_EQ(comboSelection(item(kMatchTab, kLonListId)), 1);
    EXPECT_EQ(comboSelection(item(kMatchTab, kLatListId)), 2);
    EXPECT_FALSE(IsWindowEnabled(item(kMatchTab, kRunId)));  // no layer yet

    browse(fixtureAnswer("zones.geojson"));
    ASSERT_EQ(dialogs.of("open").size(), 1u);
    EXPECT_EQ(dialogs.of("open")[0].title, L"选择图层文件");
    EXPECT_EQ(dialogs.onlyMessage(), L"<0 boxes>");
    EXPECT_EQ(windowText(item(kMatchTab, kFileLabel)), L"已加载 4 个要素");
    EXPECT_EQ(comboItems(item(kMatchTab, kField)), (std::vector<std::wstring>{L"全部", L"人口", L"区县", L"编号"}));
    EXPECT_EQ(comboSelection(item(kMatchTab, kField)), 0);
    EXPECT_TRUE(IsWindowEnabled(item(kMatchTab, kField)));
    EXPECT_TRUE(IsWindowEnabled(item(kMatchTab, kRunId)));

    Table table = parsed(pois);
    Layer layer;
    ASSERT_TRUE(loadMatchLayer(fixture("zones.geojson"), layer).ok());
    const MatchColumns cols = lonLatColumnsAt(table, 1, 2);
    struct Case {
        int method, field;
        const wchar_t* buffer;
        MatchField portableField;
    };
    // 3000 m reaches across neighbouring districts, so the methods differ.
    const Case cases[] = {{0, 0, L"100", {}},      {1, 0, L"3000", {}},     {2, 0, L"3000", {}},
                          {2, 2, L"3000", "区县"}, {1, 2, L"3000", "区县"}, {0, 3, L"abc", "编号"}};
    size_t mergeLines = 0, expandLines = 0;
    for (const Case& c : cases) {
        dialogs.clear();
        const std::string got = match(c.method, c.field, c.buffer);
        Outcome want = runLayerMatch(&table, cols, &layer, toUtf8(c.buffer), static_cast<MatchMethod>(c.method),
                                     c.portableField);
        ASSERT_TRUE(want.ok()) << want.message;
        EXPECT_EQ(got, want.text) << c.method << " " << c.field;
        EXPECT_EQ(dialogs.onlyMessage(), toWide(want.message));
        EXPECT_EQ(dialogs.lastKind(), "success");
        size_t lines = std::count(got.begin(), got.end(), '\n');
        if (c.method == 1 && c.field == 0) mergeLines = lines;
        if (c.method == 2 && c.field == 0) expandLines = lines;
    }
    EXPECT_EQ(mergeLines, 31u);
    EXPECT_GT(expandLines, mergeLines);  // some point lies within 3 km of two districts
    // One field chosen: only that column between the table's and the distance.
    EXPECT_EQ(toUtf8(clipboard()).substr(0, toUtf8(clipboard()).find('\n')), "名称\t经度\t纬度\t类型\t编号\t距离(米)");
}

TEST_F(AnalysisPanelTest, BrowseLabelsFailuresAndOtherFormats) {
    fetch(kMatchTab, "lon\tlat\tname\n116.30\t39.90\tA\n116.40\t39.91\tB\n");

    press(kMatchTab, kBrowse);  // cancelled: nothing changes
    EXPECT_EQ(dialogs.of("open").size(), 1u);
    EXPECT_EQ(dialogs.onlyMessage(), L"<0 boxes>");
    EXPECT_EQ(windowText(item(kMatchTab, kFileLabel)), L"未选择文件");

    browse(fixtureAnswer("zones.kml"));
    expectLoaded("zones.kml");
    const std::string before = match(0, 0, L"100");
    ASSERT_EQ(dialogs.lastKind(), "success");

    // A file that cannot be read: the error, the label names it (cut past 18
    // characters), the layer, its fields and the button stay.
    dialogs.clear();
    browse(tempFolder() + L"一二三四五六七八九十甲乙丙丁戊己庚辛.geojson");
    EXPECT_EQ(dialogs.onlyMessage(), L"无法打开文件");
    EXPECT_EQ(dialogs.lastKind(), "error");
    EXPECT_EQ(windowText(item(kMatchTab, kFileLabel)), L"一二三四五六七八九十甲乙丙丁戊...");
    EXPECT_TRUE(IsWindowEnabled(item(kMatchTab, kRunId)));
    dialogs.clear();
    EXPECT_EQ(match(0, 0, L"100"), before);
    expectLoaded("zones.kml", false);

    // A layer under a long non-ASCII name with fields of its own.
    const std::wstring points = tempFolder() + L"站点参考图层_二〇二四年第三季度.geojson";
    writeFile(points,
              "\xEF\xBB\xBF{\"type\":\"FeatureCollection\",\"features\":[{\"type\":\"Feature\",\"properties\":"
              "{\"站号\":\"S1\"},\"geometry\":{\"type\":\"Point\",\"coordinates\":[116.3005,39.9]}}]}");
    dialogs.clear();
    browse(points);
    EXPECT_EQ(dialogs.onlyMessage(), L"<0 boxes>");
    EXPECT_EQ(windowText(item(kMatchTab, kFileLabel)), L"已加载 1 个要素");
    EXPECT_EQ(comboItems(item(kMatchTab, kField)), (std::vector<std::wstring>{L"全部", L"站号"}));
    EXPECT_EQ(match(0, 1, L"100"), "lon\tlat\tname\t站号\t距离(米)\n116.30\t39.90\tA\tS1\t42.65\n116.40\t39.91\tB\t\t-1.00\n");
    DeleteFileW(points.c_str());

    // A file without geometry: the warning; the run then asks for a layer.
    const std::wstring empty = tempFolder() + L"empty.geojson";
    writeFile(empty, "{\"type\":\"FeatureCollection\",\"features\":[]}");
    dialogs.clear();
    browse(empty);
    EXPECT_EQ(dialogs.onlyMessage(), L"未在文件中找到有效几何要素");
    EXPECT_EQ(dialogs.lastKind(), "warning");
    EXPECT_EQ(windowText(item(kMatchTab, kFileLabel)), L"empty.geojson");
    dialogs.clear();
    setClipboard(L"untouched");
    press(kMatchTab, kRunId);
    EXPECT_EQ(dialogs.onlyMessage(), L"请先选择图层文件");
    EXPECT_EQ(clipboard(), L"untouched");
    DeleteFileW(empty.c_str());

    // Metres instead of degrees: a warning naming the layer, no match against it.
    const std::wstring utm = tempFolder() + L"utm.geojson";
    writeFile(utm, "{\"type\":\"FeatureCollection\",\"features\":[{\"type\":\"Feature\",\"properties\":{},"
                   "\"geometry\":{\"type\":\"Point\",\"coordinates\":[440000,4420000]}}]}");
    dialogs.clear();
    browse(utm);
    EXPECT_EQ(dialogs.onlyMessage(), L"图层 utm.geojson 不是经纬度坐标（坐标超出 ±180/±90），无法匹配");
    EXPECT_EQ(dialogs.lastKind(), "warning");
    DeleteFileW(utm.c_str());

    // A Shapefile set, chosen by its .shp.
    dialogs.clear();
    browse(fixtureAnswer("zones.shp"));
    EXPECT_EQ(dialogs.onlyMessage(), L"<0 boxes>");
    expectLoaded("zones.shp");
}

TEST_F(AnalysisPanelTest, MatchWarningsLeaveTheClipboard) {
    browse(fixtureAnswer("zones.geojson"));
    fetch(kMatchTab, "x\ty\n116.3\t39.9\n");
    ASSERT_TRUE(IsWindowEnabled(item(kMatchTab, kRunId)));

    dialogs.clear();
    setClipboard(L"untouched");
    select(kMatchTab, kLatListId, -1);
    press(kMatchTab, kRunId);
    EXPECT_EQ(dialogs.onlyMessage(), L"请选择经度列和纬度列");
    EXPECT_EQ(clipboard(), L"untouched");

    // A later fetch that finds no rows leaves no table to match.
    fetch(kMatchTab, "x\ty\n");
    dialogs.clear();
    setClipboard(L"untouched");
    press(kMatchTab, kRunId);
    EXPECT_EQ(dialogs.onlyMessage(), L"请先获取数据");
    EXPECT_EQ(clipboard(), L"untouched");
}

TEST_F(AnalysisPanelTest, GroupWithAndWithoutTheGeomColumn) {
    EXPECT_FALSE(IsWindowEnabled(item(kGroupTab, kRunId)));
    EXPECT_EQ(windowText(item(kGroupTab, kDistance)), L"100");
    EXPECT_EQ(IsDlgButtonChecked(tabPanel(kGroupTab), kGeom), BST_UNCHECKED);

    const std::string sites = fileBytes(toWide(fixture("sites.tsv")));
    fetch(kGroupTab, sites);
    EXPECT_EQ(windowText(item(kGroupTab, kStatusId)), L"已获取：120行×7列");
    EXPECT_EQ(comboSelection(item(kGroupTab, kLonListId)), 1);
    EXPECT_EQ(comboSelection(item(kGroupTab, kLatListId)), 2);
    EXPECT_EQ(comboSelection(item(kGroupTab, kIdListId)), 6);  // CGI
    for (int id : {kLonListId, kLatListId, kIdListId, kRunId}) EXPECT_TRUE(IsWindowEnabled(item(kGroupTab, id))) << id;

    Table table = parsed(sites);
    const LonLatColumns cols = lonLatColumnsAt(table, 1, 2);
    for (bool geom : {false, true}) {
        for (const wchar_t* distance : {L"100", L"1500", L"x"}) {
            dialogs.clear();
            CheckDlgButton(tabPanel(kGroupTab), kGeom, geom ? BST_CHECKED : BST_UNCHECKED);
            SetWindowTextW(item(kGroupTab, kDistance), distance);
            press(kGroupTab, kRunId);
            Outcome want = runBufferGroup(&table, cols, toUtf8(distance), geom);
            ASSERT_TRUE(want.ok());
            EXPECT_EQ(toUtf8(clipboard()), want.text) << geom << toUtf8(distance);
            EXPECT_EQ(dialogs.onlyMessage(), toWide(want.message));
        }
        EXPECT_EQ(toUtf8(clipboard()).find("\tgeom\n") != std::string::npos, geom);
    }
    EXPECT_EQ(toUtf8(clipboard()).substr(0, 80), runBufferGroup(&table, cols, "100", true).text.substr(0, 80));
}

TEST_F(AnalysisPanelTest, GroupWarningsLeaveTheClipboard) {
    fetch(kGroupTab, "lon\tlat\n116.3\t39.9\n116.3001\t39.9\n");
    for (const wchar_t* distance : {L"0", L"-5", L"0.0"}) {
        dialogs.clear();
        setClipboard(L"untouched");
        SetWindowTextW(item(kGroupTab, kDistance), distance);
        press(kGroupTab, kRunId);
        EXPECT_EQ(dialogs.onlyMessage(), L"距离必须是正数") << toUtf8(distance);
        EXPECT_EQ(dialogs.lastKind(), "warning");
        EXPECT_EQ(clipboard(), L"untouched");
    }

    SetWindowTextW(item(kGroupTab, kDistance), L"100");
    select(kGroupTab, kLonListId, -1);
    dialogs.clear();
    press(kGroupTab, kRunId);
    EXPECT_EQ(dialogs.onlyMessage(), L"请选择经度列和纬度列");

    fetch(kGroupTab, "lon\tlat\n");
    dialogs.clear();
    press(kGroupTab, kRunId);
    EXPECT_EQ(dialogs.onlyMessage(), L"请先获取数据");
    EXPECT_EQ(clipboard(), L"lon\tlat\n");
}

// The clipboard held open by another program.
DWORD WINAPI holdClipboard(void* events) {
    HANDLE* e = static_cast<HANDLE*>(events);
    // Opened for a window of its own: the clipboard belongs to that window
    // until it closes it.
    HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    BOOL opened = owner && OpenClipboard(owner);
    SetEvent(e[0]);
    WaitForSingleObject(e[1], 10000);
    if (opened) CloseClipboard();
    if (owner) DestroyWindow(owner);
    return opened ? 0 : 1;
}

TEST_F(AnalysisPanelTest, ARefusedClipboardIsAnErrorNotASuccess) {
    fetch(kGroupTab, "lon\tlat\n116.3\t39.9\n");
    HANDLE events[2] = {CreateEventW(nullptr, TRUE, FALSE, nullptr), CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    HANDLE holder = CreateThread(nullptr, 0, holdClipboard, events, 0, nullptr);
    WaitForSingleObject(events[0], 10000);
    dialogs.clear();
    press(kGroupTab, kRunId);
    SetEvent(events[1]);
    WaitForSingleObject(holder, 10000);
    DWORD held = 1;
    GetExitCodeThread(holder, &held);
    for (HANDLE h : {holder, events[0], events[1]}) CloseHandle(h);
    ASSERT_EQ(held, 0u) << "the clipboard could not be held open";
    EXPECT_EQ(dialogs.onlyMessage(), L"无法写入剪贴板");
    EXPECT_EQ(dialogs.lastKind(), "error");
}

TEST_F(AnalysisPanelTest, HelpButtonsToggleTheirTexts) {
    for (auto [tab, title] : {std::pair{kMatchTab, L"匹配图层使用说明"}, std::pair{kGroupTab, L"缓冲分组使用说明"}}) {
        showTab(tab);
        press(tab, kHelpId);
        ASSERT_NE(helpWindow(), nullptr);
        EXPECT_EQ(windowText(helpWindow()), title);
        press(tab, kHelpId);
        EXPECT_EQ(helpWindow(), nullptr);
    }
}

}  // namespace
}  // namespace kit::test
