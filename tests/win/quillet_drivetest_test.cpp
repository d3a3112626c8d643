// The drive-test tab driven by messages: its layout, its files against the
// portable runs byte for byte (single and batch, in a Chinese folder), its
// warnings, and the colour-range editor with its template file.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "batchkml/color_template.h"
#include "batchkml/data_table.h"
#include "batchkml/quillet_runs.h"
#include "batchkml/template_store.h"
#include "batchkml/win/drivetest_tab.h"
#include "batchkml/win/range_editor.h"
#include "batchkml/win/xlsx_unpack_win.h"
#include "batchkml/xlsx_unpack.h"
#include "shell/controls.h"
#include "shell/wide.h"
#include "win_test_support.h"

namespace kit::test {
namespace {

using namespace drivetest_id;
using namespace range_id;

const char kMeasurements[] =
    "时间,经度,纬度,RSRP\r\n"
    "1,116.30,39.90,-95.5dBm\r\n"
    "2,116.31,39.91,\r\n"
    "3,116.32\r\n"
    "4,116.33,39.93,-150\r\n"
    "5,116.34,39.94,-70\r\n";

class DriveTestTab : public QuilletWindowTest {
protected:
    DriveTestTab() { setDriveTestTemplatesFile(templatesFile()); }
    ~DriveTestTab() override {
        setDriveTestTemplatesFile({});
        setTemplateNamePrompt({});
    }
    void SetUp() override {
        QuilletWindowTest::SetUp();
        panel = tabPanel(0);
    }
    std::string templatesFile() const { return toUtf8(temp.path(L"templates.json")); }
    HWND item(int id) const { return GetDlgItem(panel, id); }
    HWND row(int base, int k) const { return GetDlgItem(rangeArea(), base + k); }
    std::wstring text(int id) const { return windowText(item(id)); }
    void open(const std::wstring& path) {
        dialogs.pathAnswers.push_back(path);
        click(item(kOpen));
    }
    void generate() { click(item(kGenerate), 5, 5); }
    // What the portable run writes for this file with the tab's defaults.
    std::string expectedKml(const std::wstring& input, std::vector<ColorRange> ranges, double size = 5) {
        DataTable t;
        EXPECT_TRUE(readDataFile(toUtf8(input), t, false));
        DriveTestParams p{1, 2, 3, std::move(ranges), size};
        return "\xEF\xBB\xBF" + driveTestDocument(t, p);
    }
    // Types into a range edit and leaves it, as the user does.
    void typeInto(HWND edit, const wchar_t* value) {
        SetWindowTextW(edit, value);
        SendMessageW(rangeArea(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(edit), EN_KILLFOCUS),
                     reinterpret_cast<LPARAM>(edit));
    }
    ScratchFolder temp{L"路测"};
    HWND panel = nullptr;
};

TEST_F(DriveTestTab, ControlsSitWhereTheyBelong) {
    struct Placed {
        int id;
        const char* where;
        const wchar_t* text;
    };
    const Placed controls[] = {
        {kSizeLabel, "12,4,30,20", L"大小:"},   {kSizeEdit, "44,4,24,20", L"5"},
        {kOpen, "12,26,38,44", L""},            {kBatch, "12,70,38,22", L"批量"},
        {kLonLabel, "72,4,30,20", L"经度:"},    {kLonLabel + 1, "72,26,30,20", L"纬度:"},
        {kLonLabel + 2, "72,48,30,20", L"数值:"}, {kTemplateLabel, "2,92,32,20", L"模板:"},
        {kSaveTemplate, "162,92,24,24", L""},   {kRangeArea, "2,124,188,158", L""},
        {kGenerate, "2,290,70,20", L"生成KML"}, {kStatus, "140,290,50,20", L"等待导入数据"},
    };
    for (const Placed& c : controls) {
        ASSERT_NE(item(c.id), nullptr) << c.id;
        EXPECT_EQ(placement(item(c.id)), c.where) << c.id;
        EXPECT_EQ(windowText(item(c.id)), c.text) << c.id;
    }
    for (int i = 0; i < 3; ++i) {  // a closed list's height is the system's
        std::string at = "102," + std::to_string(4 + 22 * i) + ",70,";
        EXPECT_EQ(placement(item(kLonCombo + i)).rfind(at, 0), 0u) << placement(item(kLonCombo + i));
        // The column lists can be opened before any file is read, unlike a clipboard tab's.
        EXPECT_TRUE(IsWindowEnabled(item(kLonCombo + i))) << i;
    }
    EXPECT_EQ(windowClassName(item(kRangeArea)), L"RangeAreaClass");
    EXPECT_EQ(storedTextColor(item(kStatus)), RGB(140, 140, 140));

    // No templates file: the built-ins, "4G城区" selected and shown as rows.
    EXPECT_EQ(comboItems(item(kTemplateCombo)),
              (std::vector<std::wstring>{L"4G城区", L"4G农村", L"5G模板", L"SINR模板"}));
    EXPECT_EQ(comboSelection(item(kTemplateCombo)), 0);
    EXPECT_EQ(workingRanges(), builtinTemplates()[0].ranges);
    EXPECT_EQ(windowText(row(kMinEdit, 0)), L"-145");
    EXPECT_EQ(windowText(row(kMaxEdit, 6)), L"-20");
    EXPECT_EQ(placement(row(kMinEdit, 1)), "0,22,42,16");
    EXPECT_EQ(placement(row(kSwatch, 1)), "60,24,18,14");
    EXPECT_EQ(placement(row(kMaxEdit, 1)), "88,22,42,16");
    EXPECT_EQ(placement(row(kDeleteRange, 1)), "132,25,16,12");
    EXPECT_EQ(placement(GetDlgItem(rangeArea(), kAddRange)), "132,160,22,12");

    Capture c(rangeArea());
    EXPECT_EQ(c.pixel(66, 22 + 8), RGB(255, 0, 0));  // swatch of range 1
    EXPECT_EQ(c.pixel(170, 100), RGB(240, 240, 240));
}

TEST_F(DriveTestTab, WarnsInOrderBeforeRunning) {
    generate();
    EXPECT_EQ(dialogs.onlyMessage(), L"请先导入CSV文件");
    dialogs.clear();

    // A table whose headers name no role leaves the column lists unselected.
    open(temp.write(L"无列名.csv", "a,b,c\r\n1,2,3\r\n"));
    EXPECT_EQ(comboItems(item(kLonCombo)), (std::vector<std::wstring>{L"a", L"b", L"c"}));
    EXPECT_EQ(comboSelection(item(kLonCombo)), -1);
    generate();
    EXPECT_EQ(dialogs.onlyMessage(), L"请选择经度、纬度和电平列");

    // An unreadable file keeps the table that was there.
    dialogs.clear();
    open(temp.path(L"不存在.xlsx"));
    EXPECT_EQ(dialogs.onlyMessage(), L"无法读取Excel文件");
    EXPECT_EQ(driveTestTable().headers, (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(DriveTestTab, SingleRunWritesThePortableBytes) {
    const std::wstring csv = temp.write(L"路测.1.csv", kMeasurements);
    open(csv);
    ASSERT_EQ(dialogs.of("open").size(), 1u);
    EXPECT_EQ(dialogs.of("open")[0].title, L"选择CSV/Excel文件");
    EXPECT_EQ(comboSelection(item(kLonCombo)), 1);
    EXPECT_EQ(comboSelection(item(kLatCombo)), 2);
    EXPECT_EQ(comboSelection(item(kValueCombo)), 3);

    // Unreadable size text keeps 5 m; a cancelled save writes nothing.
    SetWindowTextW(item(kSizeEdit), L"abc");
    generate();
    ASSERT_EQ(dialogs.of("save").size(), 1u);
    EXPECT_EQ(dialogs.of("save")[0].title, L"保存KML文件");
    EXPECT_EQ(dialogs.of("save")[0].text, temp.path(L"路测.1.kml"));
    EXPECT_EQ(dialogs.of("save")[0].filter.size(), 2u);
    EXPECT_EQ(text(kStatus), L"等待导入数据");

    const std::wstring out = temp.path(L"输出 路测.kml");
    dialogs.clear();
    dialogs.pathAnswers.push_back(out);
    generate();
    EXPECT_EQ(fileBytes(out), expectedKml(csv, builtinTemplates()[0].ranges));
    EXPECT_EQ(dialogs.onlyMessage(), L"KML文件导出成功");
    EXPECT_EQ(text(kStatus), L"输出 路测.kml");
    EXPECT_EQ(storedTextColor(item(kStatus)), RGB(39, 174, 96));

    // The template chosen and the size typed reach the file.
    SetWindowTextW(item(kSizeEdit), L"10");
    SendMessageW(item(kTemplateCombo), CB_SETCURSEL, 3, 0);
    SendMessageW(panel, WM_COMMAND, MAKEWPARAM(kTemplateCombo, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(item(kTemplateCombo)));
    dialogs.pathAnswers.push_back(out);
    generate();
    EXPECT_EQ(fileBytes(out), expectedKml(csv, builtinTemplates()[3].ranges, 10));

    // A bound typed and not yet left counts when generate is pressed.
    SetFocus(row(kMaxEdit, 0));
    SetWindowTextW(row(kMaxEdit, 0), L"-130");
    dialogs.pathAnswers.push_back(out);
    generate();
    std::vector<ColorRange> edited = builtinTemplates()[3].ranges;
    setRangeMax(edited, 0, -130);
    EXPECT_EQ(fileBytes(out), expectedKml(csv, edited, 10));

    // A file that cannot be written: the error box and a neutral status.
    dialogs.clear();
    dialogs.pathAnswers.push_back(temp.path(L"没有此目录\\x.kml"));
    generate();
    EXPECT_EQ(dialogs.onlyMessage(), L"无法保存KML文件");
    EXPECT_EQ(text(kStatus), L"导出失败");
}

// Under Wine neither system tool can unpack; whatever they do, the parts are
// the built-in reader's or nothing, and no work folder stays behind.
TEST(SystemXlsxUnpacker, GivesTheBuiltInPartsOrNothingAndCleansUp) {
    ScratchFolder temp(L"解包");
    auto workFolders = [] {  // the unpacker's "xlsx*" folders in the temporary folder
        wchar_t tmp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, tmp);
        std::error_code ec;
        auto entries = std::filesystem::directory_iterator(std::filesystem::path(tmp), ec);
        return std::count_if(begin(entries), end(entries), [](const auto& e) {
            return e.path().filename().wstring().rfind(L"xlsx", 0) == 0;
        });
    };
    const int before = workFolders();
    const std::string book = toUtf8(temp.write(L"工作簿's %TEMP%.xlsx", fileBytes(toWide(KIT_FIXTURES) + L"/drivetest.xlsx")));
    XlsxParts builtIn, system;
    ASSERT_TRUE(unpackXlsxBuiltIn(book, builtIn));
    if (unpackXlsxWithSystemTools(book, system)) {
        EXPECT_EQ(system.sheet, builtIn.sheet);
        EXPECT_EQ(system.sharedStrings, builtIn.sharedStrings);
    }
    XlsxParts none;
    EXPECT_FALSE(unpackXlsxWithSystemTools(toUtf8(temp.write(L"坏.xlsx", "PK not really")), none));
    EXPECT_FALSE(unpackXlsxWithSystemTools(toUtf8(temp.path(L"不存在.xlsx")), none));
    EXPECT_EQ(workFolders(), before);

    // Installed in front, the reader still reads the workbook.
    installSystemXlsxUnpacker();
    XlsxParts viaSeam;
    EXPECT_TRUE(unpackXlsx(book, viaSeam));
    EXPECT_EQ(viaSeam.sheet, builtIn.sheet);
    setSystemXlsxUnpacker({});
}

TEST_F(DriveTestTab, BatchRunSkipsUnreadableFilesAndCountsTheRest) {
    const std::wstring a = temp.write(L"甲.csv", kMeasurements);
    const std::wstring b = temp.write(L"乙.xlsx", "not a workbook");
    // A workbook in the batch: the reader goes by the file's ending.
    const std::wstring c = temp.write(L"丙.xlsx", fileBytes(toWide(KIT_FIXTURES) + L"/drivetest.xlsx"));
    dialogs.filesAnswers.push_back({a, b, c});
    click(item(kBatch), 5, 5);
    ASSERT_EQ(dialogs.of("openFiles").size(), 1u);
    EXPECT_EQ(dialogs.of("openFiles")[0].title, L"批量选择CSV/Excel文件");
    EXPECT_EQ(text(kStatus), L"批量: 3个文件");
    EXPECT_EQ(driveTestBatchFiles().size(), 3u);

    // Cancelling the folder picker starts nothing.
    generate();
    ASSERT_EQ(dialogs.of("folder").size(), 1u);
    EXPECT_EQ(dialogs.of("folder")[0].title, L"选择KML输出文件夹");
    EXPECT_EQ(dialogs.of("folder")[0].text, temp.path(L"输出kml"));
    EXPECT_EQ(dialogs.onlyMessage(), L"<0 boxes>");

    const std::wstring outDir = temp.path(L"输出kml");
    dialogs.clear();
    dialogs.pathAnswers.push_back(outDir);
    generate();
    EXPECT_EQ(fileBytes(outDir + L"\\甲.kml"), expectedKml(a, builtinTemplates()[0].ranges));
    EXPECT_EQ(fileBytes(outDir + L"\\丙.kml"), expectedKml(c, builtinTemplates()[0].ranges));
    EXPECT_GT(fileBytes(outDir + L"\\丙.kml").size(), 600u * 37 * 40);  // all 600 points drawn
    EXPECT_EQ(fileBytes(outDir + L"\\乙.kml"), "");
    EXPECT_EQ(dialogs.onlyMessage(), L"已成功生成 2 个KML文件");
    EXPECT_EQ(text(kStatus), L"已生成2个KML");

    // Opening a single file leaves batch mode.
    open(a);
    EXPECT_TRUE(driveTestBatchFiles().empty());
}

TEST_F(DriveTestTab, TabRunsThroughTheFieldsAndTheRangeRowsApplyingEachEdit) {
    ASSERT_EQ(workingRanges().size(), 7u);
    std::vector<HWND> expected{item(kSizeEdit), item(kLonCombo), item(kLonCombo + 1), item(kLonCombo + 2),
                               item(kTemplateCombo)};
    for (int k = 0; k < 7; ++k) {
        expected.push_back(row(kMinEdit, k));
        expected.push_back(row(kMaxEdit, k));
    }
    expected.push_back(item(kSizeEdit));  // and round again
    SetFocus(item(kSizeEdit));
    std::vector<HWND> visited;
    for (size_t i = 1; i < expected.size(); ++i) {
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
        pump();
        HWND f = GetFocus();
        visited.push_back(GetParent(f) == panel || GetParent(f) == rangeArea() ? f : GetParent(f));
    }
    EXPECT_EQ(visited, std::vector<HWND>(expected.begin() + 1, expected.end()));

    // A value typed into a range row takes effect when Tab leaves it.
    SetFocus(row(kMinEdit, 1));
    SetWindowTextW(row(kMinEdit, 1), L"-200");
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
    pump();
    EXPECT_EQ(GetFocus(), row(kMaxEdit, 1));
    EXPECT_EQ(workingRanges()[1].min, -105);
}

TEST_F(DriveTestTab, RangeEditsKeepTheListContiguous) {
    // Max of range 2 below its min: min + 1, and range 3's min follows.
    typeInto(row(kMaxEdit, 2), L"-120");
    EXPECT_EQ(workingRanges()[2].max, -99);
    EXPECT_EQ(workingRanges()[3].min, -99);
    EXPECT_EQ(windowText(row(kMinEdit, 3)), L"-99");
    EXPECT_EQ(windowText(row(kMaxEdit, 2)), L"-99");
    EXPECT_TRUE(workingModified());
    // Min of range 1 below the previous max: raised to it.
    typeInto(row(kMinEdit, 1), L"-200");
    EXPECT_EQ(workingRanges()[1].min, -105);
    EXPECT_EQ(workingRanges()[0].max, -105);

    // Seven rows already: "+" does nothing; deleting one then adding works.
    click(GetDlgItem(rangeArea(), kAddRange), 3, 3);
    EXPECT_EQ(workingRanges().size(), 7u);
    click(row(kDeleteRange, 6), 3, 3);
    EXPECT_EQ(workingRanges().size(), 6u);
    EXPECT_EQ(text(kStatus), L"范围已删除");
    click(GetDlgItem(rangeArea(), kAddRange), 3, 3);
    ASSERT_EQ(workingRanges().size(), 7u);
    EXPECT_EQ(workingRanges()[6], (ColorRange{-80, -70, RGB(128, 128, 128)}));
    EXPECT_EQ(text(kStatus), L"范围已添加");

    // Down to one row: the last one cannot go.
    while (workingRanges().size() > 1) click(row(kDeleteRange, 0), 3, 3);
    dialogs.clear();
    click(row(kDeleteRange, 0), 3, 3);
    EXPECT_EQ(dialogs.onlyMessage(), L"至少需要保留一个范围");
    EXPECT_EQ(workingRanges().size(), 1u);

    // The swatch opens the colour chooser at the range's colour.
    const COLORREF before = workingRanges()[0].color;
    dialogs.colorAnswers.push_back(RGB(1, 2, 3));
    SendMessageW(rangeArea(), WM_COMMAND, MAKEWPARAM(kSwatch, STN_CLICKED), reinterpret_cast<LPARAM>(row(kSwatch, 0)));
    ASSERT_EQ(dialogs.of("color").size(), 1u);
    EXPECT_EQ(dialogs.of("color")[0].text, std::to_wstring(before));
    EXPECT_FALSE(dialogs.of("color")[0].fullOpen);  // this chooser keeps no custom colours
    EXPECT_TRUE(dialogs.of("color")[0].customColors.empty());
    EXPECT_EQ(workingRanges()[0].color, RGB(1, 2, 3));
    SendMessageW(rangeArea(), WM_COMMAND, MAKEWPARAM(kSwatch, STN_CLICKED), reinterpret_cast<LPARAM>(row(kSwatch, 0)));
    EXPECT_EQ(workingRanges()[0].color, RGB(1, 2, 3));  // cancelled: unchanged
}

TEST_F(DriveTestTab, SaveAndDeleteTemplatesThroughTheFile) {
    // The real save dialog, answered while its own loop runs.
    whenWindowAppears(L"SaveTmplDlg", [](HWND dlg) {
        wchar_t title[32] = {};
        GetWindowTextW(dlg, title, 32);
        RECT rc;
        GetClientRect(dlg, &rc);
        if (std::wstring(title) != L"保存模板" || rc.right != 220 || rc.bottom != 130) return;
        SetWindowTextW(GetDlgItem(dlg, 100), L"我的\"模板\\");
        SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    typeInto(row(kMaxEdit, 0), L"-110");
    click(item(kSaveTemplate));
    EXPECT_EQ(text(kStatus), L"模板已保存");
    EXPECT_FALSE(workingModified());
    std::string lastUsed;
    std::vector<ColorTemplate> saved = loadTemplates(templatesFile(), lastUsed);
    ASSERT_EQ(saved.size(), 5u);
    EXPECT_EQ(saved[4].name, "我的\"模板\\");  // read back whole, quote and backslash included
    EXPECT_EQ(saved[4].ranges[0].max, -110);
    EXPECT_EQ(lastUsed, "我的\"模板\\");
    EXPECT_EQ(comboSelection(item(kTemplateCombo)), 4);

    // Saving under an existing name replaces it in place.
    setTemplateNamePrompt([](HWND, const std::wstring& proposed) -> std::optional<std::wstring> {
        return proposed == L"我的\"模板\\" ? L"4G农村" : L"?";
    });
    click(item(kSaveTemplate));
    saved = loadTemplates(templatesFile(), lastUsed);
    ASSERT_EQ(saved.size(), 5u);
    EXPECT_EQ(saved[1].ranges[0].max, -110);

    // The "×" of entry 2 in the open list asks; No selects the entry.
    dialogs.yesNoAnswers = {false, true};
    SendMessageW(item(kTemplateCombo), CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO info{sizeof(info)};
    ASSERT_TRUE(GetComboBoxInfo(item(kTemplateCombo), &info));
    RECT r{};
    SendMessageW(info.hwndList, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.bottom - r.top, 20);
    SendMessageW(info.hwndList, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right - 8, r.top + 10));
    SendMessageW(info.hwndList, WM_LBUTTONUP, 0, MAKELPARAM(r.right - 8, r.top + 10));
    SendMessageW(item(kTemplateCombo), CB_SHOWDROPDOWN, FALSE, 0);
    pump();
    ASSERT_EQ(dialogs.of("yesno").size(), 1u);
    EXPECT_EQ(dialogs.of("yesno")[0].title, L"删除模板");
    EXPECT_EQ(dialogs.of("yesno")[0].text, L"确定要删除模板 \"5G模板\" 吗？");
    EXPECT_EQ(comboSelection(item(kTemplateCombo)), 2);
    EXPECT_EQ(workingRanges(), builtinTemplates()[2].ranges);
    // Yes removes it and rewrites the file.
    deleteTemplateEntry(2);
    saved = loadTemplates(templatesFile(), lastUsed);
    EXPECT_EQ(saved.size(), 4u);
    EXPECT_EQ(lastUsed, "4G城区");
    EXPECT_EQ(comboSelection(item(kTemplateCombo)), 0);
    EXPECT_EQ(text(kStatus), L"模板已删除");
}

TEST(DriveTestTemplates, TheFileChoosesTheStartingTemplate) {
    ScratchFolder temp(L"模板");
    std::vector<ColorTemplate> list = builtinTemplates();
    for (double top : {0.0, 10.0, 20.0}) list[1].ranges.push_back({top - 20, top, RGB(9, 9, 9)});
    ASSERT_TRUE(saveTemplates(toUtf8(temp.path(L"templates.json")), list, "4G农村"));
    setDriveTestTemplatesFile(toUtf8(temp.path(L"templates.json")));
    RecordingDialogs dialogs;
    HWND main = createMainWindow(GetModuleHandleW(nullptr), quilletWindowConfig());
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(comboSelection(GetDlgItem(tabPanel(0), kTemplateCombo)), 1);
    // The file's nine ranges are cut to the seven the editor holds, which
    // fit the list: the wheel over it moves nothing, and not the tabs either.
    list[1].ranges.resize(kMaxRanges);
    EXPECT_EQ(workingRanges(), list[1].ranges);
    EXPECT_EQ(editorLastUsed(), "4G农村");
    const std::string top = placement(GetDlgItem(rangeArea(), kMinEdit));
    sendWheel(rangeArea(), -120);
    EXPECT_EQ(placement(GetDlgItem(rangeArea(), kMinEdit)), top);
    EXPECT_EQ(currentTab(), 0);
    destroyMainWindow();
    setDriveTestTemplatesFile({});
    drainQueue();
}

}  // namespace
}  // namespace kit::test
