// The sector tab driven by messages: its files against the portable runs
// byte for byte, its warnings, its templates and its colour controls.
#include <windows.h>

#include <commctrl.h>

#include "batchkml/data_table.h"
#include "batchkml/quillet_runs.h"
#include "batchkml/sector_templates.h"
#include "batchkml/win/kml_tab_parts.h"
#include "core/file_io.h"
#include "shell/controls.h"
#include "shell/wide.h"
#include "win_test_support.h"

namespace kit::test {
namespace {

enum Id {
    kOpen = 300, kSite = 301, kLon = 302, kLat = 303, kAzimuth = 304, kBeamwidth = 305, kRadius = 306,
    kGenerate = 307, kStatus = 308, kColor = 321, kOpacity = 322, kOpacityValue = 323, kLod = 324,
    kLodKm = 325, kTemplates = 326, kSave = 327, kBatch = 328,
};

const char kSites[] =
    "站名,经度,纬度,方位角,波宽,半径\r\n"
    "海淀&1,116.3,39.9,30,65,500\r\n"
    "海淀<2>,116.31,39.91,150,40,\r\n"
    "短行,116.32\r\n"
    "朝阳3,116.4,39.95,270,90,800\r\n";

class SectorTabTest : public QuilletWindowTest {
protected:
    SectorTabTest() { setTemplatesFolderForTests(toUtf8(temp.dir())); }
    ~SectorTabTest() override { setTemplatesFolderForTests({}); }
    void SetUp() override {
        QuilletWindowTest::SetUp();
        showTab(1);
        panel = tabPanel(1);
    }
    HWND item(int id) const { return GetDlgItem(panel, id); }
    std::wstring text(int id) const { return windowText(item(id)); }
    // The open button answered with a file.
    void open(const std::wstring& path) {
        dialogs.pathAnswers.push_back(path);
        click(item(kOpen));
    }
    // The portable run's params for what the tab shows after opening kSites
    // (columns found by name, defaults otherwise).
    static SectorRunParams detected() {
        SectorRunParams p;
        p.kml.siteCol = 0, p.kml.lonCol = 1, p.kml.latCol = 2;
        p.kml.azimuthCol = 3, p.kml.beamwidthCol = 4, p.kml.radiusCol = 5;
        return p;
    }
    ScratchFolder temp{L"扇区"};
    HWND panel = nullptr;
};

TEST_F(SectorTabTest, OpenedFileFillsCombosAndSingleRunWritesThePortableBytes) {
    const std::wstring csv = temp.write(L"基站列表.1.csv", kSites);
    open(csv);
    EXPECT_EQ(dialogs.of("open").size(), 1u);  // one click, one dialog
    EXPECT_EQ(dialogs.of("open")[0].title, L"选择基站CSV文件");
    EXPECT_EQ(text(kStatus), L"4 个基站加载");
    for (int id : {kSite, kLon, kLat, kAzimuth, kBeamwidth, kRadius})
        EXPECT_EQ(comboSelection(item(id)), id - kSite) << id;

    // Blue at 50 % without LOD regions.
    dialogs.colorAnswers.push_back(RGB(0, 0, 255));
    SendMessageW(item(kColor), BM_CLICK, 0, 0);
    SendMessageW(item(kOpacity), TBM_SETPOS, TRUE, 50);
    SendMessageW(panel, WM_HSCROLL, TB_ENDTRACK, reinterpret_cast<LPARAM>(item(kOpacity)));
    EXPECT_EQ(text(kOpacityValue), L"50%");
    SendMessageW(item(kLod), BM_SETCHECK, BST_UNCHECKED, 0);

    const std::wstring out = temp.path(L"输出 扇区.kml");
    dialogs.pathAnswers.push_back(out);
    click(item(kGenerate));
    ASSERT_EQ(dialogs.of("save").size(), 1u);
    EXPECT_EQ(dialogs.of("save")[0].title, L"保存KML文件");
    EXPECT_EQ(dialogs.of("save")[0].text, temp.dir() + L"\\基站列表.1.kml");
    EXPECT_EQ(dialogs.onlyMessage(), L"扇区KML已生成");
    EXPECT_EQ(text(kStatus), L"输出 扇区.kml");

    DataTable table;
    ASSERT_TRUE(readDataFile(toUtf8(csv), table, true));
    SectorRunParams p = detected();
    p.kml.color = RGB(0, 0, 255), p.kml.opacityPercent = 50, p.kml.lodEnabled = false;
    const std::wstring expected = temp.path(L"portable.kml");
    ASSERT_TRUE(runSectorSingle(table, p, toUtf8(expected)).outcome.ok());
    EXPECT_EQ(fileBytes(out), fileBytes(expected));
    EXPECT_NE(fileBytes(out).find("7fff0000"), std::string::npos);
}

TEST_F(SectorTabTest, BatchSkipsUnreadableFilesAndMatchesThePortableBatch) {
    const std::wstring a = temp.write(L"东区.csv", kSites);
    const std::wstring b = temp.write(L"西区.csv", std::string(kSites).substr(0, 60));
    const std::wstring missing = temp.path(L"不存在.csv");
    dialogs.filesAnswers.push_back({a, missing, b});
    click(item(kBatch));
    EXPECT_EQ(text(kStatus), L"批量: 3个文件");
    SetWindowTextW(item(kRadius), L"");
    SendMessageW(item(kRadius), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetWindowTextW(item(kRadius), L"250");

    const std::wstring outDir = temp.path(L"输出kml");
    dialogs.pathAnswers.push_back(outDir);
    click(item(kGenerate));
    ASSERT_EQ(dialogs.of("folder").size(), 1u);
    EXPECT_EQ(dialogs.of("folder")[0].title, L"选择KML输出文件夹");
    EXPECT_EQ(dialogs.of("folder")[0].text, temp.dir() + L"\\输出kml");
    EXPECT_EQ(dialogs.onlyMessage(), L"已成功生成 2 个KML文件");
    EXPECT_EQ(text(kStatus), L"已生成2个KML");

    SectorRunParams p = detected();
    p.kml.radiusCol = -1, p.kml.radiusFixed = 250;
    const std::wstring portableDir = temp.path(L"portable");
    std::vector<std::string> files{toUtf8(a), toUtf8(missing), toUtf8(b)};
    EXPECT_EQ(runSectorBatch(files, p, toUtf8(portableDir), [](const std::string&) {}).written, 2);
    for (const wchar_t* name : {L"东区.kml", L"西区.kml"}) {
        EXPECT_FALSE(fileBytes(outDir + L"\\" + name).empty()) << toUtf8(name);
        EXPECT_EQ(fileBytes(outDir + L"\\" + name), fileBytes(portableDir + L"\\" + name)) << toUtf8(name);
    }
    EXPECT_EQ(fileBytes(outDir + L"\\不存在.kml"), "");
}

TEST_F(SectorTabTest, NewBatchReplacesTheOldOneEvenWhenItsFirstFileCannotBeRead) {
    const std::wstring oldA = temp.write(L"旧甲.csv", kSites), oldB = temp.write(L"旧乙.csv", kSites);
    dialogs.filesAnswers.push_back({oldA, oldB});
    click(item(kBatch));
    const std::wstring fresh = temp.write(L"新.csv", kSites);
    dialogs.filesAnswers.push_back({temp.path(L"不存在.csv"), fresh});
    dialogs.clear();
    click(item(kBatch));
    EXPECT_EQ(dialogs.onlyMessage(), L"无法读取CSV文件");
    EXPECT_EQ(text(kStatus), L"批量: 2个文件");

    const std::wstring outDir = temp.path(L"输出");
    dialogs.pathAnswers.push_back(outDir);
    dialogs.clear();
    click(item(kGenerate));
    EXPECT_EQ(dialogs.onlyMessage(), L"已成功生成 1 个KML文件");
    EXPECT_FALSE(fileBytes(outDir + L"\\新.kml").empty());
    for (const wchar_t* old : {L"旧甲.kml", L"旧乙.kml", L"不存在.kml"})
        EXPECT_EQ(fileBytes(outDir + L"\\" + old), "") << toUtf8(old);
}

TEST_F(SectorTabTest, FixedValuesStayWhenTheFileHasNoColumnForThem) {
    // No beam-width or radius column: the starting 65 and 500 stay and the
    // run is the companion's with its defaults.
    const std::wstring csv = temp.write(L"无波宽.csv", "站名,经度,纬度,方位角\r\n甲,116.3,39.9,30\r\n");
    open(csv);
    EXPECT_EQ(text(kBeamwidth), L"65");
    EXPECT_EQ(text(kRadius), L"500");
    const std::wstring out = temp.path(L"out.kml");
    dialogs.pathAnswers.push_back(out);
    click(item(kGenerate));
    EXPECT_EQ(dialogs.onlyMessage(), L"扇区KML已生成");
    DataTable table;
    ASSERT_TRUE(readDataFile(toUtf8(csv), table, true));
    SectorRunParams p = detected();
    p.kml.beamwidthCol = p.kml.radiusCol = -1;
    p.kml.beamwidthFixed = 65, p.kml.radiusFixed = 500;
    const std::wstring expected = temp.path(L"portable.kml");
    ASSERT_TRUE(runSectorSingle(table, p, toUtf8(expected)).outcome.ok());
    EXPECT_EQ(fileBytes(out), fileBytes(expected));

    // A typed value stays through the next such file; a file with the column
    // takes it, and the one after without it shows the starting value again.
    SetWindowTextW(item(kBeamwidth), L"40");
    open(csv);
    EXPECT_EQ(text(kBeamwidth), L"40");
    open(temp.write(L"全.csv", kSites));
    EXPECT_EQ(comboSelection(item(kBeamwidth)), 4);
    open(csv);
    EXPECT_EQ(comboSelection(item(kBeamwidth)), -1);
    EXPECT_EQ(text(kBeamwidth), L"65");
}

TEST_F(SectorTabTest, ColourChooserOpensFullAndKeepsItsCustomColoursForTheSession) {
    dialogs.customColorEdits.push_back({3, RGB(10, 20, 30)});
    SendMessageW(item(kColor), BM_CLICK, 0, 0);
    SendMessageW(item(kColor), BM_CLICK, 0, 0);
    TearDown();  // a new window of the same run
    SetUp();
    SendMessageW(item(kColor), BM_CLICK, 0, 0);
    const auto calls = dialogs.of("color");
    ASSERT_EQ(calls.size(), 3u);
    for (const auto& c : calls) {
        EXPECT_TRUE(c.fullOpen);
        ASSERT_EQ(c.customColors.size(), 16u);
    }
    EXPECT_EQ(calls[0].customColors[3], 0u);
    EXPECT_EQ(calls[1].customColors[3], RGB(10, 20, 30));
    EXPECT_EQ(calls[2].customColors[3], RGB(10, 20, 30));
}

TEST_F(SectorTabTest, TabWalksTheFieldsTopToBottom) {
    SetFocus(item(kRadius));
    std::vector<int> visited;
    for (int i = 0; i < 9; ++i) {
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
        pump();
        HWND f = GetFocus();
        if (GetParent(f) != panel) f = GetParent(f);  // a combo box's own edit
        visited.push_back(GetDlgCtrlID(f));
    }
    EXPECT_EQ(visited, (std::vector<int>{kSite, kLon, kLat, kAzimuth, kBeamwidth, kLod, kLodKm, kTemplates, kRadius}));
}

TEST_F(SectorTabTest, GenerateWarnsInOrderAndWritesNothing) {
    struct Case {
        bool load;
        int combo;           // emptied and given the typed text (0: none)
        const wchar_t* typed;
        const wchar_t* warning;
    };
    const Case cases[] = {
        {false, 0, L"", L"请先导入基站CSV文件"},
        {true, kLat, L"", L"请选择经度和纬度列"},
        {true, kAzimuth, L"", L"请选择方位角列或输入固定值"},
        {true, kBeamwidth, L"宽", L"请选择波宽列或输入固定值"},
        {true, kRadius, L"", L"请输入半径值"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(toUtf8(c.warning));
        TearDown();
        SetUp();
        if (c.load) open(temp.write(L"a.csv", kSites));
        if (c.combo) {
            SendMessageW(item(c.combo), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
            SetWindowTextW(item(c.combo), c.typed);
        }
        dialogs.clear();
        click(item(kGenerate));
        EXPECT_EQ(dialogs.lastKind(), "warning");
        EXPECT_EQ(dialogs.onlyMessage(), c.warning);
        EXPECT_TRUE(dialogs.of("save").empty());
    }
}

TEST_F(SectorTabTest, SavedTemplateIsWrittenAndAppliedByTheNextWindow) {
    open(temp.write(L"a.csv", kSites));
    // A typed azimuth replaces the detected column.
    SendMessageW(item(kAzimuth), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetWindowTextW(item(kAzimuth), L"30");
    dialogs.colorAnswers.push_back(RGB(1, 2, 3));
    SendMessageW(item(kColor), BM_CLICK, 0, 0);
    SetWindowTextW(item(kLodKm), L"2.5");
    whenWindowAppears(L"SectorTmplDlg", [](HWND dlg) {
        SetDlgItemTextW(dlg, 100, L"宏站 \"A\"");
        SendMessageW(dlg, WM_COMMAND, IDOK, 0);
    });
    click(item(kSave));
    EXPECT_EQ(comboItems(item(kTemplates)), std::vector<std::wstring>{L"宏站 \"A\""});
    EXPECT_EQ(comboSelection(item(kTemplates)), 0);

    const std::vector<SectorTemplate> saved = loadSectorTemplates(sectorTemplatesPath(toUtf8(temp.dir())));
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].name, "宏站 \"A\"");
    EXPECT_EQ(saved[0].azimuthCol, "30");
    EXPECT_EQ(saved[0].azimuthFixed, "30");
    EXPECT_EQ(saved[0].lonCol, "经度");
    EXPECT_EQ(saved[0].color, RGB(1, 2, 3));
    EXPECT_DOUBLE_EQ(saved[0].lodKm, 2.5);

    // A new window reads the file back, applies the first template and so
    // generates with the typed azimuth, not the column.
    TearDown();
    SetUp();
    EXPECT_EQ(comboSelection(item(kTemplates)), 0);
    EXPECT_EQ(text(kAzimuth), L"30");
    EXPECT_EQ(text(kLodKm), L"2.5");
    const std::wstring csv = temp.write(L"b.csv", kSites);
    open(csv);
    SendMessageW(item(kTemplates), CB_SETCURSEL, 0, 0);
    SendMessageW(panel, WM_COMMAND, MAKEWPARAM(kTemplates, CBN_SELCHANGE), reinterpret_cast<LPARAM>(item(kTemplates)));
    EXPECT_EQ(comboSelection(item(kAzimuth)), -1);
    EXPECT_EQ(text(kAzimuth), L"30");
    EXPECT_EQ(comboSelection(item(kLon)), 1);
}

TEST_F(SectorTabTest, CancelledDialogsChangeNothing) {
    open(temp.write(L"a.csv", kSites));
    dialogs.clear();
    click(item(kGenerate));  // save dialog cancelled
    whenWindowAppears(L"SectorTmplDlg", [](HWND dlg) { SendMessageW(dlg, WM_COMMAND, IDCANCEL, 0); });
    click(item(kSave));
    SendMessageW(item(kColor), BM_CLICK, 0, 0);  // colour chooser cancelled
    EXPECT_EQ(dialogs.onlyMessage(), L"<0 boxes>");
    EXPECT_EQ(text(kStatus), L"4 个基站加载");
    EXPECT_FALSE(fileExists(sectorTemplatesPath(toUtf8(temp.dir()))));
    Capture shot(item(kColor));
    EXPECT_EQ(shot.pixel(35, 10), RGB(255, 0, 0));
    EXPECT_EQ(shot.pixel(0, 0), RGB(0, 0, 0));
}

}  // namespace
}  // namespace kit::test
