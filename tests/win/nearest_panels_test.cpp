// The two nearest-site tabs, end to end inside the process: a table on the
// clipboard, get-data and run pressed with the mouse, the clipboard and the
// recorded boxes checked against the portable runs.
#include <string>

#include "core/columns.h"
#include "core/table.h"
#include "core/win/clipboard.h"
#include "nearest/nearest_runs.h"
#include "shell/control_ids.h"
#include "shell/controls.h"
#include "shell/wide.h"
#include "win_test_support.h"

namespace kit::test {
namespace {

const std::wstring kSites =
    L"站名\tlongitude\tlatitude\tCGI\n"
    L"A\t116.30\t39.90\t460-00-1\n"
    L"B\t116.31\t39.91\t460-00-2\n"
    L"C\t116.50\t40.10\t460-00-3\n"
    L"D\t116.29\t39.89\t460-00-4\n";

// The two-table tab's own controls.
constexpr int kId1 = 7, kId2 = 8, kQuantity = 11, kGetData2 = 12, kLon2 = 25, kLat2 = 26, kStatus2 = 103;

class NearestPanelTest : public PlotvaneWindowTest {
protected:
    HWND panel(int tab) { return tabPanel(tab); }
    HWND item(int tab, int id) { return GetDlgItem(panel(tab), id); }
    void press(int tab, int id) { click(item(tab, id), 6, 6); }
    void setQuantity(int tab, const wchar_t* text) { SetWindowTextW(item(tab, kQuantity), text); }

    // What the portable run gives for the same text and the list selections.
    static Outcome expectedSingle(const std::wstring& text, int lon, int lat, int id, const std::string& quantity) {
        Table t;
        parseTable(toUtf8(text), t);
        return runNearestSingle(&t, siteColumnsAt(t, lon, lat, id), quantity);
    }
};

TEST_F(NearestPanelTest, SingleTableFetchDetectRunToClipboard) {
    EXPECT_FALSE(IsWindowEnabled(item(0, kRunId)));
    EXPECT_FALSE(IsWindowEnabled(item(0, kLonListId)));
    setClipboard(kSites);
    press(0, kGetDataId);
    EXPECT_TRUE(dialogs.calls.empty());

    HWND status = item(0, kStatusId);
    EXPECT_EQ(windowText(status), L"已获取：4行×4列");
    EXPECT_EQ(storedTextColor(status), RGB(39, 174, 96));

    // Lists hold the headers in order; longitude/latitude by name, the ID by
    // its first matching candidate ("id" is not in any header, "站" is).
    std::vector<std::wstring> headers{L"站名", L"longitude", L"latitude", L"CGI"};
    for (int id : {kLonListId, kLatListId, kIdListId}) {
        EXPECT_EQ(comboItems(item(0, id)), headers);
        EXPECT_TRUE(IsWindowEnabled(item(0, id)));
    }
    EXPECT_EQ(comboSelection(item(0, kLonListId)), 1);
    EXPECT_EQ(comboSelection(item(0, kLatListId)), 2);
    EXPECT_EQ(comboSelection(item(0, kIdListId)), 3);  // "cgi" comes before "站" in the candidates
    EXPECT_TRUE(IsWindowEnabled(item(0, kRunId)));

    setQuantity(0, L"2");
    press(0, kRunId);
    Outcome want = expectedSingle(kSites, 1, 2, 3, "2");
    ASSERT_TRUE(want.ok());
    EXPECT_EQ(toUtf8(clipboard()), want.text);
    EXPECT_EQ(clipboard().find(L'\r'), std::wstring::npos);
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].kind, "success");
    EXPECT_EQ(dialogs.calls[0].text, L"完成！4行数据已导出到剪贴板\n采用 KD-Tree + UTM 优化");
    EXPECT_EQ(dialogs.calls[0].owner, panel(0));

    // Another ID column chosen by hand is used on the next run.
    SendMessageW(item(0, kIdListId), CB_SETCURSEL, 0, 0);
    press(0, kRunId);
    EXPECT_EQ(toUtf8(clipboard()), expectedSingle(kSites, 1, 2, 0, "2").text);
}

TEST_F(NearestPanelTest, SingleTableWarnings) {
    press(0, kRunId);  // disabled: nothing happens
    EXPECT_TRUE(dialogs.calls.empty());

    setClipboard(L"");
    press(0, kGetDataId);
    EXPECT_EQ(dialogs.onlyMessage(), L"剪贴板无数据");
    EXPECT_EQ(dialogs.lastKind(), "warning");
    EXPECT_EQ(windowText(item(0, kStatusId)), L"未获取");

    dialogs.clear();
    setClipboard(L"lon\tlat\tid\n");
    press(0, kGetDataId);
    EXPECT_EQ(dialogs.onlyMessage(), L"未解析到有效数据");
    EXPECT_EQ(SendMessageW(item(0, kLonListId), CB_GETCOUNT, 0, 0), 0);  // lists untouched
    EXPECT_FALSE(IsWindowEnabled(item(0, kRunId)));

    // One row: nothing to pair it with.
    dialogs.clear();
    setClipboard(L"lon\tlat\tid\n116.3\t39.9\tA\n");
    press(0, kGetDataId);
    std::wstring before = L"untouched";
    setClipboard(before);
    press(0, kRunId);
    EXPECT_EQ(dialogs.onlyMessage(), L"数据行数不足");
    EXPECT_EQ(clipboard(), before);

    // A later failed fetch leaves the lists but no rows: fetch data first.
    dialogs.clear();
    setClipboard(L"lon\tlat\tid\n");
    press(0, kGetDataId);
    dialogs.clear();
    press(0, kRunId);
    EXPECT_EQ(dialogs.onlyMessage(), L"请先获取数据");

    // No ID detected (no header names one): choose the columns.
    dialogs.clear();
    setClipboard(L"x\ty\tz\n1\t2\t3\n4\t5\t6\n");
    press(0, kGetDataId);
    EXPECT_EQ(comboSelection(item(0, kLonListId)), 0);
    EXPECT_EQ(comboSelection(item(0, kLatListId)), 1);
    EXPECT_EQ(comboSelection(item(0, kIdListId)), -1);
    press(0, kRunId);
    EXPECT_EQ(dialogs.onlyMessage(), L"请选择经度、纬度和 ID 列");
}

TEST_F(NearestPanelTest, QuantityIsClampedFromTheEdit) {
    // 60 sites so that 50 neighbours exist.
    std::wstring text = L"id\tlon\tlat\n";
    for (int i = 0; i < 60; ++i)
        text += L"S" + std::to_wstring(i) + L"\t" + std::to_wstring(116 + i * 0.01) + L"\t39.9\n";
    setClipboard(text);
    press(0, kGetDataId);
    auto groups = [&] {
        std::wstring out = clipboard();
        std::wstring header = out.substr(0, out.find(L'\n'));
        size_t tabs = 0;
        for (wchar_t c : header) tabs += c == L'\t';
        return (static_cast<int>(tabs) - 2) / 4;
    };
    const std::pair<const wchar_t*, int> cases[] = {{L"80", 50}, {L"0", 1}, {L"", 1}, {L"7", 7}, {L"  3x", 3}};
    for (auto [q, n] : cases) {
        setQuantity(0, q);
        press(0, kRunId);
        EXPECT_EQ(groups(), n) << toUtf8(q);
    }
    // Typing letters is refused by the edit itself.
    setQuantity(0, L"");
    SendMessageW(item(0, kQuantity), WM_CHAR, L'a', 0);
    SendMessageW(item(0, kQuantity), WM_CHAR, L'4', 0);
    EXPECT_EQ(windowText(item(0, kQuantity)), L"4");
}

TEST_F(NearestPanelTest, TwoTablesFetchedSeparatelyThenRun) {
    const std::wstring points = L"name,lng,lat\nP1,116.305,39.905\nP2,116.49,40.09\n";
    setClipboard(points);
    press(1, kGetDataId);
    EXPECT_EQ(windowText(item(1, kStatusId)), L"已获取：2行");
    EXPECT_EQ(storedTextColor(item(1, kStatusId)), RGB(39, 174, 96));
    EXPECT_EQ(comboSelection(item(1, kId1)), 0);  // "name" is detected for table 1
    EXPECT_FALSE(IsWindowEnabled(item(1, kRunId)));  // only one table yet
    press(1, kRunId);
    EXPECT_TRUE(dialogs.calls.empty());

    setClipboard(kSites);
    press(1, kGetData2);
    EXPECT_EQ(windowText(item(1, kStatus2)), L"已获取：4行");
    EXPECT_EQ(comboSelection(item(1, kLon2)), 1);
    EXPECT_EQ(comboSelection(item(1, kLat2)), 2);
    EXPECT_EQ(comboSelection(item(1, kId2)), 2);  // table 2's ID: the third column, not by name
    EXPECT_TRUE(IsWindowEnabled(item(1, kRunId)));

    setQuantity(1, L"5");
    press(1, kRunId);
    Table t1, t2;
    parseTable(toUtf8(points), t1);
    parseTable(toUtf8(kSites), t2);
    Outcome want = runNearestTwo(&t1, &t2, siteColumnsAt(t1, 1, 2, 0), siteColumnsAt(t2, 1, 2, 2), "5");
    ASSERT_TRUE(want.ok());
    EXPECT_EQ(toUtf8(clipboard()), want.text);
    EXPECT_EQ(dialogs.onlyMessage(), L"完成！2行数据已导出到剪贴板\n采用 KD-Tree 优化");

    // Re-fetching table 1 leaves table 2's lists and status alone.
    dialogs.clear();
    setClipboard(L"a\tb\n1\t2\n");
    press(1, kGetDataId);
    EXPECT_EQ(windowText(item(1, kStatusId)), L"已获取：1行");
    EXPECT_EQ(windowText(item(1, kStatus2)), L"已获取：4行");
    EXPECT_EQ(comboItems(item(1, kLon2)).size(), 4u);
    press(1, kRunId);  // table 1 has no ID now
    EXPECT_EQ(dialogs.onlyMessage(), L"请完成列选择");
}

TEST_F(NearestPanelTest, TwoTableWarnings) {
    // Table 2 of two columns leaves its ID unselected.
    setClipboard(L"id\tlon\tlat\nA\t1\t2\n");
    press(1, kGetDataId);
    setClipboard(L"lon\tlat\n1\t2\n");
    press(1, kGetData2);
    EXPECT_EQ(comboSelection(item(1, kId2)), -1);
    press(1, kRunId);
    EXPECT_EQ(dialogs.onlyMessage(), L"请完成列选择");

    // A failed refetch of table 2 leaves it without rows.
    SendMessageW(item(1, kId2), CB_SETCURSEL, 0, 0);
    dialogs.clear();
    setClipboard(L"lon\tlat\n");
    press(1, kGetData2);
    EXPECT_EQ(dialogs.onlyMessage(), L"未解析到有效数据");
    dialogs.clear();
    press(1, kRunId);
    EXPECT_EQ(dialogs.onlyMessage(), L"表2无数据");
}

TEST(Clipboard, RoundTripsUnicodeText) {
    const std::wstring text = L"经度\t纬度\n116.3\t39.9\n😀\n";
    ASSERT_TRUE(writeClipboardText(text));
    EXPECT_EQ(clipboard(), text);
    ASSERT_TRUE(writeClipboardText(L""));
    EXPECT_EQ(clipboard(), L"");
}

}  // namespace
}  // namespace kit::test
