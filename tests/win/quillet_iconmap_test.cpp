// The icon-map tab driven by messages: its files against the portable runs
// byte for byte (CSV and XLSX), the icon picker, the preview and templates.
#include "batchkml/data_table.h"
#include "batchkml/iconmap_kml.h"
#include "batchkml/quillet_runs.h"
#include "batchkml/win/icon_picker.h"
#include "batchkml/win/kml_tab_parts.h"
#include "shell/controls.h"
#include "shell/wide.h"
#include "win_test_support.h"

namespace kit::test {
namespace {

enum Id {
    kOpen = 400, kLon = 401, kLat = 402, kIdCol = 403, kPreview = 404, kGenerate = 405, kStatus = 406,
    kTemplates = 407, kSave = 408, kBatch = 409,
};

const char kPoints[] =
    "名称,经度,纬度,备注\n"
    "甲,116.1,39.1,a<b\n"
    ",0,0,零点\n"
    "丙,116.3,39.3,x,多余\n";

class IconMapTabTest : public QuilletWindowTest {
protected:
    IconMapTabTest() { setTemplatesFolderForTests(toUtf8(temp.dir())); }
    ~IconMapTabTest() override { setTemplatesFolderForTests({}); }
    void SetUp() override {
        QuilletWindowTest::SetUp();
        showTab(2);
        panel = tabPanel(2);
    }
    HWND item(int id) const { return GetDlgItem(panel, id); }
    std::wstring text(int id) const { return windowText(item(id)); }
    void open(const std::wstring& path) {
        dialogs.pathAnswers.push_back(path);
        click(item(kOpen));
    }
    // Opens the picker from the preview and clicks one of its icons (or
    // cancels with a negative index).
    void pick(int index) {
        whenWindowAppears(kIconPickerClass, [index](HWND dlg) {
            if (index < 0) {
                PostMessageW(dlg, WM_KEYDOWN, VK_ESCAPE, 0);  // through the picker's own loop
                return;
            }
            HWND area = FindWindowExW(dlg, nullptr, L"IconPickerArea", nullptr);
            SendMessageW(GetDlgItem(area, kIconPickerFirstId + index), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        });
        click(item(kPreview));
    }
    // Generates one file and returns its bytes.
    std::string generateSingle(const std::wstring& out) {
        dialogs.pathAnswers.push_back(out);
        click(item(kGenerate));
        return fileBytes(out);
    }
    ScratchFolder temp{L"图标"};
    HWND panel = nullptr;
};

TEST_F(IconMapTabTest, CsvAndWorkbookGiveThePortableBytes) {
    struct Case {
        const wchar_t* name;
        std::string bytes;
        const wchar_t* loaded;
    };
    const std::string workbook = fileBytes(toWide(std::string(KIT_FIXTURES) + "\\drivetest.xlsx"));
    ASSERT_FALSE(workbook.empty());
    const Case cases[] = {{L"点位 表.csv", kPoints, L"3 个点位加载"}, {L"路测点位.xlsx", workbook, L"600 个点位加载"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(toUtf8(c.name));
        dialogs.clear();
        const std::wstring in = temp.write(c.name, c.bytes);
        open(in);
        EXPECT_EQ(text(kStatus), c.loaded);
        const IconMapParams p{comboSelection(item(kLon)), comboSelection(item(kLat)), comboSelection(item(kIdCol)),
                              defaultIconUrl()};
        EXPECT_GE(p.lonCol, 0);
        EXPECT_GE(p.latCol, 0);

        const std::wstring out = temp.path(std::wstring(c.name) + L".kml");
        const std::string written = generateSingle(out);
        EXPECT_EQ(dialogs.onlyMessage(), L"KML已生成");
        DataTable table;
        ASSERT_TRUE(readDataFile(toUtf8(in), table, false));
        const std::wstring expected = temp.path(L"portable.kml");
        ASSERT_TRUE(runIconMapSingle(table, p, toUtf8(expected)).outcome.ok());
        EXPECT_FALSE(written.empty());
        EXPECT_EQ(written, fileBytes(expected));
    }
    // The CSV's identifier column is 名称, the escaped cell and the extra cell's name are there.
    const std::string csvKml = fileBytes(temp.path(L"点位 表.csv.kml"));
    EXPECT_NE(csvKml.find("<value>a&lt;b</value>"), std::string::npos);
    EXPECT_NE(csvKml.find("<Data name=\"col4\">"), std::string::npos);
}

TEST_F(IconMapTabTest, PickerChoiceGoesIntoTheKmlTheTemplateAndThePreview) {
    Capture before(item(kPreview));
    pick(12);  // the fifth letter
    open(temp.write(L"a.csv", kPoints));
    const std::string kml = generateSingle(temp.path(L"e.kml"));
    EXPECT_NE(kml.find("/mapfiles/kml/paddle/grn-E.png</href>"), std::string::npos);

    Capture after(item(kPreview));
    EXPECT_EQ(after.pixel(0, 0), RGB(180, 200, 230));
    EXPECT_EQ(after.pixel(2, 2), RGB(255, 255, 255));
    int changed = 0;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x) changed += before.pixel(x, y) != after.pixel(x, y);
    EXPECT_GT(changed, 50);

    // Cancel keeps the icon; the saved template records it.
    pick(-1);
    whenWindowAppears(L"IconMapTmplDlg", [](HWND dlg) {
        SetDlgItemTextW(dlg, 100, L"字母E");
        SendMessageW(dlg, WM_COMMAND, IDOK, 0);
    });
    click(item(kSave));
    std::vector<IconMapTemplate> saved;
    loadIconMapTemplates(iconMapTemplatesPath(toUtf8(temp.dir())), saved);
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].iconName, "E");
    EXPECT_EQ(saved[0].localFile, "E.png");
    EXPECT_EQ(saved[0].lonCol, "经度");
    EXPECT_EQ(saved[0].idCol, "名称");

    // The next window starts from the template: its icon, not the default.
    TearDown();
    SetUp();
    EXPECT_EQ(comboItems(item(kTemplates)), std::vector<std::wstring>{L"字母E"});
    open(temp.write(L"b.csv", kPoints));
    EXPECT_NE(generateSingle(temp.path(L"b.kml")).find("grn-E.png"), std::string::npos);
}

TEST_F(IconMapTabTest, BatchAndWarnings) {
    click(item(kGenerate));
    EXPECT_EQ(dialogs.onlyMessage(), L"请先导入数据文件");

    const std::wstring a = temp.write(L"一.csv", kPoints);
    const std::wstring broken = temp.write(L"坏.xlsx", "PK\x03\x04 not a workbook");
    const std::wstring b = temp.write(L"二.csv", std::string(kPoints).substr(0, 40));
    // An unreadable workbook: the error box, and the tab stays empty.
    dialogs.clear();
    open(broken);
    EXPECT_EQ(dialogs.lastKind(), "error");
    EXPECT_EQ(dialogs.onlyMessage(), L"无法读取Excel文件");
    EXPECT_EQ(text(kStatus), L"等待导入数据");
    EXPECT_EQ(SendMessageW(item(kLon), CB_GETCOUNT, 0, 0), 0);

    dialogs.clear();
    dialogs.filesAnswers.push_back({a, broken, b});
    click(item(kBatch));
    EXPECT_EQ(text(kStatus), L"批量: 3个文件");

    SendMessageW(item(kLon), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    click(item(kGenerate));
    EXPECT_EQ(dialogs.onlyMessage(), L"请选择经度和纬度列");
    SendMessageW(item(kLon), CB_SETCURSEL, 1, 0);

    dialogs.clear();
    dialogs.pathAnswers.push_back({});  // folder picker cancelled: nothing starts
    click(item(kGenerate));
    EXPECT_EQ(dialogs.onlyMessage(), L"<0 boxes>");

    const std::wstring outDir = temp.path(L"输出kml");
    dialogs.pathAnswers.push_back(outDir);
    click(item(kGenerate));
    EXPECT_EQ(dialogs.onlyMessage(), L"已成功生成 2 个KML文件");
    EXPECT_EQ(text(kStatus), L"已生成2个KML");
    const IconMapParams p{1, 2, 0, defaultIconUrl()};
    const std::wstring portableDir = temp.path(L"portable");
    runIconMapBatch({toUtf8(a), toUtf8(broken), toUtf8(b)}, p, toUtf8(portableDir), [](const std::string&) {});
    for (const wchar_t* name : {L"一.kml", L"二.kml"}) {
        EXPECT_FALSE(fileBytes(outDir + L"\\" + name).empty()) << toUtf8(name);
        EXPECT_EQ(fileBytes(outDir + L"\\" + name), fileBytes(portableDir + L"\\" + name)) << toUtf8(name);
    }
    EXPECT_EQ(fileBytes(outDir + L"\\坏.kml"), "");
}

}  // namespace
}  // namespace kit::test
