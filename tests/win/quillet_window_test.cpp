// Quillet's window: the shared shell in its own size and colours with three
// tabs, closing ends the program, and the picture buttons of its tabs.
#include <functional>
#include <string>
#include <vector>

#include "shell/images.h"
#include "shell/picture_button.h"
#include "win_test_support.h"

namespace kit::test {
namespace {

using QuilletTest = QuilletWindowTest;

TEST_F(QuilletTest, ShellOfItsOwn) {
    EXPECT_EQ(windowClassName(main), L"Quillet_MainWindow");
    wchar_t title[32] = {};
    GetWindowTextW(main, title, 32);
    EXPECT_STREQ(title, L"Quillet");
    RECT wr;
    GetWindowRect(main, &wr);
    EXPECT_EQ(wr.right - wr.left, 220);
    EXPECT_EQ(wr.bottom - wr.top, 345);
    EXPECT_EQ(GetWindowLongPtrW(main, GWL_STYLE) & WS_BORDER, 0);
    EXPECT_NE(GetWindowLongPtrW(main, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

    ASSERT_EQ(tabCount(), 3);
    EXPECT_EQ(windowClassName(tabPanel(0)), L"TabPreviewClass");
    EXPECT_EQ(windowClassName(tabPanel(1)), L"TabSectorClass");
    EXPECT_EQ(windowClassName(tabPanel(2)), L"TabIconMapClass");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(placement(tabPanel(i)), "28,28,192,317") << i;
        EXPECT_EQ(placement(tabButton(i)), "0," + std::to_string(2 + 30 * i) + ",28,28") << i;
        EXPECT_EQ(GetDlgCtrlID(tabButton(i)), 1010 + i);
    }
    EXPECT_EQ(placement(tabStrip()), "0,28,28,317");
    EXPECT_EQ(placement(closeBox()), "194,0,26,28");
}

TEST_F(QuilletTest, WheelCyclesThroughTheThreeTabs) {
    struct Turn {
        int delta;
        int expected;
    };
    // From tab 0: back wraps to 2, forward twice comes round to 1.
    const Turn turns[] = {{120, 2}, {-120, 0}, {-1, 1}, {0, 2}, {-120, 0}, {120, 2}};
    for (const Turn& t : turns) {
        sendWheel(main, t.delta);
        EXPECT_EQ(currentTab(), t.expected) << t.delta;
        for (int i = 0; i < 3; ++i) EXPECT_EQ(IsWindowVisible(tabPanel(i)) != 0, i == t.expected);
    }
}

TEST_F(QuilletTest, PaintsItsColours) {
    showTab(1);
    pump();
    Capture c(main);
    EXPECT_EQ(c.pixel(14, 340), RGB(215, 219, 224));  // strip below the buttons
    // Selected button 1: its indicator bar from x 0 to 3, the fill beside it.
    EXPECT_EQ(c.pixel(1, 28 + 32 + 3), RGB(15, 65, 108));
    EXPECT_EQ(c.pixel(3, 28 + 32 + 3), RGB(33, 150, 243));
    EXPECT_EQ(c.pixel(1, 28 + 32 + 1), RGB(33, 150, 243));  // the bar leaves 2 px at the top
    EXPECT_EQ(c.pixel(2, 28 + 2 + 2), RGB(240, 243, 245));  // button 0, not selected
    EXPECT_EQ(c.pixel(100, 14), RGB(44, 62, 80));          // title bar
    EXPECT_EQ(c.pixel(0, 340), RGB(215, 219, 224));        // the strip reaches the left edge
}

TEST(QuilletClose, CloseBoxAndCloseRequestEndTheLoop) {
    RecordingDialogs dialogs;
    const std::function<void(HWND)> closers[] = {
        [](HWND) { click(closeBox(), 10, 10); },
        [](HWND main) { SendMessageW(main, WM_CLOSE, 0, 0); },
    };
    for (const auto& close : closers) {
        HWND main = createMainWindow(GetModuleHandleW(nullptr), quilletWindowConfig());
        ASSERT_NE(main, nullptr);
        pump();
        close(main);
        EXPECT_FALSE(IsWindow(main));
        EXPECT_EQ(runMessageLoop(), 0);
        destroyMainWindow();
    }
    EXPECT_TRUE(dialogs.calls.empty());
}

// A bare parent that records the commands its children send.
std::vector<int> g_commands;
LRESULT CALLBACK recordingParent(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND) g_commands.push_back(LOWORD(wParam));
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

TEST(PictureButton, PaintsItsPictureAndSendsItsCommand) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = recordingParent;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KitPictureTestParent";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    RegisterClassW(&wc);
    HWND parent = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 100, 100, 120, 80,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(parent, nullptr);
    HWND shown = createPictureButton({.parent = parent, .id = 200, .icon = L"resources\\icons\\luce.png",
                                      .x = 0, .y = 0, .width = 38, .height = 44});
    HWND missing = createPictureButton({.parent = parent, .id = 206, .icon = L"resources\\icons\\no_such.png",
                                        .x = 60, .y = 0, .width = 24, .height = 24});
    ASSERT_TRUE(shown && missing);
    EXPECT_EQ(pictureButtonPath(shown), resourcePath(L"resources\\icons\\luce.png"));
    EXPECT_NE(GetPropW(shown, L"IconPath"), nullptr);
    pump();

    Capture c(parent);
    // 38 x 44: a 34-pixel square centred, so a white margin of 2 at the sides.
    EXPECT_EQ(c.pixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(c.pixel(1, 22), RGB(255, 255, 255));
    bool drawn = false;
    for (int y = 5; y < 39 && !drawn; ++y)
        for (int x = 2; x < 36 && !drawn; ++x) drawn = c.pixel(x, y) != RGB(255, 255, 255);
    EXPECT_TRUE(drawn) << "the picture was not drawn";
    for (int y = 0; y < 24; y += 3)
        for (int x = 60; x < 84; x += 3) EXPECT_EQ(c.pixel(x, y), RGB(255, 255, 255)) << x << "," << y;

    g_commands.clear();
    click(shown, 10, 10);
    click(missing, 5, 5);
    EXPECT_EQ(g_commands, (std::vector<int>{200, 206}));

    DestroyWindow(parent);
    EXPECT_FALSE(IsWindow(shown));
}

}  // namespace
}  // namespace kit::test
