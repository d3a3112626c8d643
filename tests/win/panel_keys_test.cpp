// What holds for every panel of the three programs: controls that do not
// overlap each other or the tab strip, Tab and Shift+Tab through the fields in
// reading order, and number fields that take what a planner types.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "shell/controls.h"
#include "shell/panel.h"
#include "shell/tab_key.h"
#include "shell/wide.h"
#include "win_test_support.h"

namespace kit::test {
namespace {

struct Program {
    const char* name;
    MainWindowConfig (*config)();
};
const Program kPrograms[] = {
    {"Plotvane", plotvaneWindowConfig}, {"Quillet", quilletWindowConfig}, {"Varnick", varnickWindowConfig}};

// Builds each program's window in turn and runs the check on each of its
// panels, shown.
void forEachPanel(const std::function<void(HWND panel)>& check) {
    for (const Program& p : kPrograms) {
        RecordingDialogs dialogs;
        ASSERT_NE(createMainWindow(GetModuleHandleW(nullptr), p.config()), nullptr);
        pump();
        for (int i = 0; i < tabCount(); ++i) {
            SCOPED_TRACE(std::string(p.name) + " tab " + std::to_string(i));
            showTab(i);
            pump();
            check(tabPanel(i));
        }
        destroyMainWindow();
        drainQueue();
    }
}

RECT screenRect(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return r;
}

std::string describe(HWND w) {
    const RECT r = screenRect(w);
    return toUtf8(windowClassName(w)) + " #" + std::to_string(GetDlgCtrlID(w)) + " \"" + windowTextUtf8(w) +
           "\" at " + placement(w) + " (screen " + std::to_string(r.left) + "," + std::to_string(r.top) + ")";
}

bool inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

TEST(PanelLayout, ControlsOverlapNeitherEachOtherNorTheStrip) {
    forEachPanel([](HWND panel) {
        RECT client;
        GetClientRect(mainWindow(), &client);
        MapWindowPoints(mainWindow(), nullptr, reinterpret_cast<POINT*>(&client), 2);
        RECT overlap;
        const RECT strip = screenRect(tabStrip()), area = screenRect(panel);
        EXPECT_FALSE(IntersectRect(&overlap, &strip, &area)) << "the panel runs under the strip";
        EXPECT_TRUE(inside(area, client)) << "the panel is cut off by the window's edge";

        std::vector<HWND> controls;
        for (HWND c = GetWindow(panel, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (IsWindowVisible(c)) controls.push_back(c);
        ASSERT_FALSE(controls.empty());
        for (size_t i = 0; i < controls.size(); ++i) {
            const RECT a = screenRect(controls[i]);
            EXPECT_TRUE(inside(a, area)) << describe(controls[i]) << " is cut off by the panel's edge";
            for (size_t j = i + 1; j < controls.size(); ++j) {
                const RECT b = screenRect(controls[j]);
                EXPECT_FALSE(IntersectRect(&overlap, &a, &b))
                    << describe(controls[i]) << " overlaps " << describe(controls[j]);
            }
        }
    });
}

// The field that holds the focus (a combo box for its own edit).
HWND focusedField(HWND panel) {
    for (HWND f : tabOrder(panel))
        if (f == GetFocus() || IsChild(f, GetFocus())) return f;
    return nullptr;
}

void pressTab(bool shift) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
    pump();
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
}

TEST(PanelKeys, TabAndShiftTabVisitEveryFieldOnceInReadingOrder) {
    forEachPanel([](HWND panel) {
        const std::vector<HWND> fields = tabOrder(panel);
        if (fields.empty()) return;
        // Reading order: each field starts on a later line, or further right on the same one.
        for (size_t i = 1; i < fields.size(); ++i) {
            const RECT a = screenRect(fields[i - 1]), b = screenRect(fields[i]);
            EXPECT_TRUE(b.top >= a.top + 8 || (std::abs(b.top - a.top) < 8 && b.left > a.left))
                << describe(fields[i - 1]) << " then " << describe(fields[i]);
        }
        SetFocus(fields[0]);
        std::vector<HWND> forward{focusedField(panel)}, backward{focusedField(panel)};
        for (size_t i = 0; i < fields.size(); ++i) {
            pressTab(false);
            forward.push_back(focusedField(panel));
        }
        for (size_t i = 0; i < fields.size(); ++i) {
            pressTab(true);
            backward.push_back(focusedField(panel));
        }
        std::vector<HWND> expected = fields;
        expected.push_back(fields[0]);  // round to the first again
        EXPECT_EQ(forward, expected);
        std::reverse(expected.begin(), expected.end());
        EXPECT_EQ(backward, expected);
    });
}

// Typed one key at a time, as the keyboard sends them, after `start` was set.
std::wstring typeInto(HWND edit, const std::wstring& start, const std::wstring& keys) {
    SetWindowTextW(edit, start.c_str());
    SendMessageW(edit, EM_SETSEL, start.size(), start.size());
    for (wchar_t k : keys) {
        if (k == L'\x01') {  // Home
            SendMessageW(edit, EM_SETSEL, 0, 0);
            continue;
        }
        PostMessageW(edit, WM_CHAR, k, 1);
        pump();
    }
    return windowText(edit);
}

TEST(NumberFields, TakeOnePointAndALeadingMinusWhereTheValueMeansThem) {
    struct Case {
        MainWindowConfig (*config)();
        int tab, id;
        const wchar_t* start;
        const wchar_t* keys;
        const wchar_t* shown;
    };
    const Case cases[] = {
        // Counts: digits only.
        {plotvaneWindowConfig, 0, 11, L"", L"1.5-x", L"15"},
        {plotvaneWindowConfig, 7, 11, L"", L"-12.5", L"125"},
        // Buffer, distance, inner angle, sizes: one point, no minus.
        {plotvaneWindowConfig, 2, 11, L"", L"-12.5.5", L"12.55"},
        {plotvaneWindowConfig, 3, 11, L"", L"0.25e3", L"0.253"},
        {plotvaneWindowConfig, 7, 12, L"", L"22.5°", L"22.5"},
        // Rotation: also one leading minus, typed first or put in front afterwards.
        {plotvaneWindowConfig, 7, 13, L"", L"-15.5-", L"-15.5"},
        {plotvaneWindowConfig, 7, 13, L"", L"15\x01-", L"-15"},
        {plotvaneWindowConfig, 7, 13, L"-1", L"\x01-", L"-1"},
        // Backspace still edits.
        {plotvaneWindowConfig, 7, 13, L"12.5", L"\b\b3", L"123"},
        // Quillet's size and level-of-detail distance.
        {quilletWindowConfig, 0, 207, L"", L"7.5", L"7.5"},
        {quilletWindowConfig, 1, 325, L"", L"2.5km", L"2.5"},
    };
    RecordingDialogs dialogs;
    MainWindowConfig (*built)() = nullptr;  // one window per program, the cases grouped by it
    for (const Case& c : cases) {
        SCOPED_TRACE(toUtf8(c.keys));
        if (c.config != built) {
            destroyMainWindow();
            drainQueue();
            ASSERT_NE(createMainWindow(GetModuleHandleW(nullptr), c.config()), nullptr);
            built = c.config;
        }
        showTab(c.tab);
        HWND edit = GetDlgItem(tabPanel(c.tab), c.id);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(typeInto(edit, c.start, c.keys), c.shown);
    }
    destroyMainWindow();
    drainQueue();
}

TEST_F(PlotvaneWindowTest, PastedTextIsHeldToTheFieldToo) {
    showTab(7);
    HWND rotation = GetDlgItem(tabPanel(7), 13), count = GetDlgItem(tabPanel(7), 11);
    const std::wstring saved = clipboard();
    setClipboard(L"-3.25\r\n");  // a cell copied from a table
    SetWindowTextW(rotation, L"");
    SendMessageW(rotation, WM_PASTE, 0, 0);
    EXPECT_EQ(windowText(rotation), L"-3.25");
    SetWindowTextW(count, L"4");
    SendMessageW(count, EM_SETSEL, 0, -1);
    SendMessageW(count, WM_PASTE, 0, 0);  // not a count: refused whole
    EXPECT_EQ(windowText(count), L"4");
    setClipboard(saved);
}

}  // namespace
}  // namespace kit::test
