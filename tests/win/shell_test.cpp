// The shell's windows driven by messages: buttons, tabs, dragging, the ball,
// the help window, and what they paint.
#include <cmath>
#include <new>

#include "core/threads.h"
#include "shell/animated_button.h"
#include "shell/ball.h"
#include "shell/control_ids.h"
#include "shell/controls.h"
#include "shell/dialogs.h"
#include "shell/help_window.h"
#include "shell/images.h"
#include "shell/panel.h"
#include "shell/table_tab.h"
#include "shell/wide.h"
#include "win_test_support.h"

namespace kit::test {
namespace {

using ShellTest = PlotvaneWindowTest;

TEST(ButtonPaint, HoverMixScaleAndTextColour) {
    // Integer mixing per channel, both ends exact.
    EXPECT_EQ(mixColor(RGB(39, 174, 96), RGB(30, 132, 73), 0), RGB(39, 174, 96));
    EXPECT_EQ(mixColor(RGB(39, 174, 96), RGB(30, 132, 73), 255), RGB(30, 132, 73));
    EXPECT_EQ(mixColor(RGB(0, 255, 100), RGB(255, 0, 200), 128), RGB(128, 127, 150));

    // 90 x 24 at 0.88: floor(79.2) x floor(21.12), the odd pixel right/bottom.
    RECT r = scaledRect(RECT{0, 0, 90, 24}, 0.88f);
    EXPECT_EQ(r.right - r.left, 79);
    EXPECT_EQ(r.bottom - r.top, 21);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 1);

    // White text on the coloured kinds, dark on the light help button, grey when disabled.
    for (ButtonKind k : {ButtonKind::Blue, ButtonKind::Green, ButtonKind::Sky, ButtonKind::Red})
        EXPECT_EQ(buttonTextColor(buttonStyle(k).normal, true), RGB(255, 255, 255));
    EXPECT_EQ(buttonTextColor(buttonStyle(ButtonKind::Help).normal, true), RGB(50, 50, 50));
    EXPECT_EQ(buttonTextColor(RGB(39, 174, 96), false), RGB(120, 120, 120));
}

TEST_F(ShellTest, ButtonShrinksWhileHeldAndSendsOneCommandOnRelease) {
    static Panel panel;
    HWND host = createPanel({.parent = main, .className = L"KitTestPanel", .x = 26, .y = 28, .width = 194, .height = 292},
                            panel);
    int clicks = 0;
    panel.onCommand(77, [&] { ++clicks; });
    HWND b = createButton({.parent = host, .id = 77, .text = L"go", .kind = ButtonKind::Sky, .x = 10, .y = 10});

    SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(clicks, 0);
    const float expected[] = {0.96f, 0.92f, 0.88f, 0.88f};
    for (float e : expected) {
        SendMessageW(b, WM_TIMER, kButtonTimerId, 0);
        EXPECT_NEAR(buttonAnimation(b)->scale, e, 1e-4);
    }
    EXPECT_FLOAT_EQ(buttonAnimation(b)->scale, kPressedScale);

    SendMessageW(b, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(clicks, 1);
    for (int i = 0; i < 3; ++i) SendMessageW(b, WM_TIMER, kButtonTimerId, 0);
    EXPECT_FLOAT_EQ(buttonAnimation(b)->scale, 1.0f);

    // Hover fades in by 4 per tick and snaps back on leaving.
    SendMessageW(b, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageW(b, WM_TIMER, kButtonTimerId, 0);
    SendMessageW(b, WM_TIMER, kButtonTimerId, 0);
    EXPECT_TRUE(buttonAnimation(b)->hovered);
    EXPECT_EQ(buttonAnimation(b)->progress, 8);
    SendMessageW(b, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(buttonAnimation(b)->hovered);
    EXPECT_EQ(buttonAnimation(b)->progressTarget, 0);

    // A disabled button ignores the mouse entirely.
    EnableWindow(b, FALSE);
    click(b);
    EXPECT_EQ(clicks, 1);
    EXPECT_FLOAT_EQ(buttonAnimation(b)->scaleTarget, 1.0f);
    DestroyWindow(host);
}

// The pieces a tab is built from: where they put their controls and which
// handler a press reaches.
TEST_F(ShellTest, TabPiecesPlaceTheirControlsAndWireTheirHandlers) {
    static Panel panel;
    HWND host = createPanel({.parent = main, .className = L"KitTestPanel", .x = 26, .y = 28, .width = 194, .height = 292},
                            panel);
    EXPECT_EQ(panelOf(host), &panel);
    EXPECT_EQ(panelOf(main), nullptr);
    auto placed = [&](HWND control) {
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };

    int fetches = 0, runs = 0;
    createGetDataRow({.parent = host, .statusId = 31, .getDataId = 32, .y = 124, .onGetData = [&] { ++fetches; }});
    EXPECT_EQ(windowText(GetDlgItem(host, 31)), L"未获取");
    EXPECT_EQ(placed(GetDlgItem(host, 31)).top, 124);
    RECT getData = placed(GetDlgItem(host, 32));
    EXPECT_EQ(getData.left, 88);
    EXPECT_EQ(getData.top, 144);
    EXPECT_EQ(windowText(GetDlgItem(host, 32)), L"📋 获取数据");
    HWND run = createButton({.parent = host, .id = 33, .text = L"run", .onClicked = [&] { ++runs; }});
    click(GetDlgItem(host, 32), 6, 6);
    click(run, 6, 6);
    click(run, 6, 6);
    EXPECT_EQ(fetches, 1);
    EXPECT_EQ(runs, 2);

    // The list starts where the label ends; a dropped label sits lower.
    LabeledDropDown row = createLabeledDropDown({.parent = host, .labelId = 34, .label = L"半径:", .listId = 35, .x = 72,
                                                 .y = 4, .labelWidth = 30, .listWidth = 70, .labelDrop = 2,
                                                 .editable = true, .text = L"500"});
    EXPECT_EQ(row.label, GetDlgItem(host, 34));
    EXPECT_EQ(row.list, GetDlgItem(host, 35));
    RECT label = placed(row.label), list = placed(row.list);
    EXPECT_EQ(label.left, 72);
    EXPECT_EQ(label.top, 6);
    EXPECT_EQ(label.right, 102);
    EXPECT_EQ(list.left, 102);
    EXPECT_EQ(list.top, 4);
    EXPECT_EQ(list.right, 172);
    EXPECT_EQ(windowText(row.list), L"500");
    EXPECT_FALSE(IsWindowEnabled(row.list));  // lists wait for data unless told
    DestroyWindow(host);
}

// A run that asks for more memory than there is, on the panel's thread or on
// a worker, ends in the error box "内存不足"; the program goes on.
TEST_F(ShellTest, RunningOutOfMemoryIsAnErrorBox) {
    static Panel panel;
    HWND host = createPanel({.parent = main, .className = L"KitTestPanel", .x = 26, .y = 28, .width = 194, .height = 292},
                            panel);
    int after = 0;
    HWND direct = createButton({.parent = host, .id = 41, .text = L"a", .onClicked = [] { throw std::bad_alloc(); }});
    HWND worker = createButton({.parent = host, .id = 42, .text = L"b", .onClicked = [] {
        forSlices(1 << 16, 2, [](size_t, size_t, unsigned slice) {
            if (slice == 1) throw std::bad_alloc();
        });
    }});
    HWND fine = createButton({.parent = host, .id = 43, .text = L"c", .onClicked = [&] { ++after; }});
    for (HWND button : {direct, worker}) {
        dialogs.clear();
        click(button, 6, 6);
        EXPECT_EQ(dialogs.lastKind(), "error");
        EXPECT_EQ(dialogs.onlyMessage(), L"内存不足");
    }
    click(fine, 6, 6);
    EXPECT_EQ(after, 1);
    DestroyWindow(host);
}

TEST_F(ShellTest, TabButtonsAndWheelSwitchPanels) {
    ASSERT_EQ(tabCount(), 9);
    EXPECT_EQ(currentTab(), 0);
    click(tabButton(3), 10, 10);
    EXPECT_EQ(currentTab(), 3);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(IsWindowVisible(tabPanel(i)) != 0, i == 3) << i;

    // Towards the user: next, wrapping after the last; away: previous, wrapping before the first.
    showTab(8);
    sendWheel(main, -120);
    EXPECT_EQ(currentTab(), 0);
    sendWheel(main, 120);
    EXPECT_EQ(currentTab(), 8);
    sendWheel(main, 120);
    EXPECT_EQ(currentTab(), 7);
    // Turned over a panel, the wheel reaches the main window all the same.
    sendWheel(tabPanel(7), -120);
    EXPECT_EQ(currentTab(), 8);

    wchar_t cls[64];
    GetClassNameW(tabPanel(0), cls, 64);
    EXPECT_STREQ(cls, L"TabRecent1Content");
    GetClassNameW(tabPanel(1), cls, 64);
    EXPECT_STREQ(cls, L"TabRecent2Content");
}

TEST_F(ShellTest, DragStartsOnlyInTheTopRows) {
    RECT before;
    GetWindowRect(main, &before);
    SendMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 28));
    EXPECT_NE(GetCapture(), main);
    SendMessageW(main, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(130, 48));
    RECT r;
    GetWindowRect(main, &r);
    EXPECT_EQ(r.left, before.left);
    SendMessageW(main, WM_LBUTTONUP, 0, MAKELPARAM(130, 48));

    SendMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 27));
    EXPECT_EQ(GetCapture(), main);
    SendMessageW(main, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(130, 47));
    GetWindowRect(main, &r);
    EXPECT_EQ(r.left - before.left, 30);
    EXPECT_EQ(r.top - before.top, 20);
    SendMessageW(main, WM_LBUTTONUP, 0, MAKELPARAM(130, 47));
    EXPECT_NE(GetCapture(), main);

    // A press on the title bar itself is the main window's drag.
    SendMessageW(titleBar(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 10));
    EXPECT_EQ(GetCapture(), main);
    SendMessageW(main, WM_LBUTTONUP, 0, 0);
}

TEST_F(ShellTest, CloseHidesToTheBallAndAClickRestoresNearIt) {
    RECT box;
    GetWindowRect(closeBox(), &box);
    click(closeBox(), 10, 10);
    pump();
    EXPECT_FALSE(IsWindowVisible(main));
    HWND ball = ballWindow();
    ASSERT_TRUE(ball && IsWindowVisible(ball));
    RECT br;
    GetWindowRect(ball, &br);
    EXPECT_EQ(br.left, (box.left + box.right) / 2 - 17);
    EXPECT_EQ(br.top, box.top);
    EXPECT_EQ(br.right - br.left, kBallSize);

    // Dragging even one pixel only moves the ball.
    SendMessageW(ball, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageW(ball, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(11, 10));
    SendMessageW(ball, WM_LBUTTONUP, 0, MAKELPARAM(11, 10));
    RECT moved;
    GetWindowRect(ball, &moved);
    EXPECT_EQ(moved.left, br.left + 1);
    EXPECT_FALSE(IsWindowVisible(main));

    // A click restores the window with the clicked point on its close box,
    // clamped so the whole window stays on screen (here: the bottom-right corner).
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    SetWindowPos(ball, nullptr, sw - 20, sh - 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    click(ball, 10, 10);
    pump();
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_FALSE(IsWindowVisible(ball));
    RECT r;
    GetWindowRect(main, &r);
    EXPECT_EQ(r.left, sw - 220);
    EXPECT_EQ(r.top, sh - 320);

    // Away from the edges the point lands 207, 14 inside the window.
    EXPECT_EQ(restorePosition({500, 300}, {220, 320}, {1280, 1024}, {207, 14}).x, 293);
    EXPECT_EQ(restorePosition({500, 300}, {220, 320}, {1280, 1024}, {207, 14}).y, 286);
    EXPECT_EQ(restorePosition({5, 5}, {220, 320}, {1280, 1024}, {207, 14}).x, 0);
    EXPECT_EQ(restorePosition({5, 5}, {220, 320}, {1280, 1024}, {207, 14}).y, 0);

    // The system's close request hides to the ball as well.
    SendMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_TRUE(IsWindowVisible(ballWindow()));
}

TEST_F(ShellTest, BallMenuRestoresOrQuitsTheLoop) {
    hideToBall();
    HWND ball = ballWindow();
    dialogs.menuAnswers = {kShowWindowCommand};
    SendMessageW(ball, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
    ASSERT_EQ(dialogs.of("menu").size(), 1u);
    EXPECT_EQ(dialogs.of("menu")[0].text, L"显示窗口|退出程序");
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_FALSE(IsWindowVisible(ball));

    // Dismissing the menu changes nothing.
    hideToBall();
    SendMessageW(ball, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
    EXPECT_FALSE(IsWindowVisible(main));

    // Quitting ends the message loop with code 0 while the window stays hidden.
    dialogs.menuAnswers = {kQuitCommand};
    SendMessageW(ball, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
    EXPECT_EQ(runMessageLoop(), 0);
    EXPECT_FALSE(IsWindowVisible(main));
}

TEST_F(ShellTest, HelpWindowTogglesAndOpensBesideTheWindow) {
    HWND help = GetDlgItem(tabPanel(0), kHelpId);
    click(help);
    HWND w = helpWindow();
    ASSERT_NE(w, nullptr);
    wchar_t title[64];
    GetWindowTextW(w, title, 64);
    EXPECT_STREQ(title, L"最近 1 使用说明");
    RECT mr, hr;
    GetWindowRect(main, &mr);
    GetWindowRect(w, &hr);
    EXPECT_EQ(hr.left, mr.right);  // room on the right: opens there
    EXPECT_EQ(hr.top, mr.top);
    click(help);
    EXPECT_EQ(helpWindow(), nullptr);

    // Near the right edge of the screen it opens to the left.
    int sw = GetSystemMetrics(SM_CXSCREEN);
    SetWindowPos(main, nullptr, sw - 230, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    click(help);
    w = helpWindow();
    ASSERT_NE(w, nullptr);
    GetWindowRect(main, &mr);
    GetWindowRect(w, &hr);
    EXPECT_EQ(hr.right, mr.left);

    // Closing rules: a tab switch, a move of the main window, a click into it.
    showTab(1);
    EXPECT_EQ(helpWindow(), nullptr);
    click(GetDlgItem(tabPanel(1), kHelpId));
    ASSERT_NE(helpWindow(), nullptr);
    SetWindowPos(main, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(helpWindow(), nullptr);
    click(GetDlgItem(tabPanel(1), kHelpId));
    ASSERT_NE(helpWindow(), nullptr);
    SendMessageW(helpWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(490, 5));
    EXPECT_EQ(helpWindow(), nullptr);
    click(GetDlgItem(tabPanel(1), kHelpId));
    SendMessageW(helpWindow(), WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), 0);
    EXPECT_EQ(helpWindow(), nullptr);
}

TEST(HelpPlacement, KeptInsideTheWorkArea) {
    RECT work{0, 0, 1280, 1000};
    // Right of the owner when it fits, else left of it.
    EXPECT_EQ(helpWindowPosition({100, 50, 320, 370}, work).x, 320);
    EXPECT_EQ(helpWindowPosition({1000, 50, 1220, 370}, work).x, 500);
    // Too close to the left edge for either side: pinned to the work area.
    EXPECT_EQ(helpWindowPosition({300, 50, 900, 370}, {0, 0, 1100, 1000}).x, 0);
    // Low owner: lifted so the bottom stays in view.
    EXPECT_EQ(helpWindowPosition({100, 900, 320, 1220}, work).y, 680);
    EXPECT_EQ(helpWindowPosition({100, -40, 320, 280}, work).y, 0);
}

TEST_F(ShellTest, PaintsTheColoursOfTheLook) {
    // Hover the close box and give the disabled run button a moment to paint.
    SendMessageW(closeBox(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    Capture c(main);
    RECT wr, cr;
    GetWindowRect(main, &wr);
    GetClientRect(main, &cr);
    POINT origin{0, 0};
    ClientToScreen(main, &origin);
    int ox = origin.x - wr.left, oy = origin.y - wr.top;  // client origin inside the capture

    EXPECT_EQ(c.pixel(ox + 100, oy + 3), RGB(44, 62, 80));       // title bar
    EXPECT_EQ(c.pixel(ox + 197, oy + 3), RGB(231, 76, 60));      // hovered close box
    EXPECT_EQ(c.pixel(ox + 14, oy + 300), RGB(229, 231, 235));   // strip below the last button
    EXPECT_EQ(c.pixel(ox + 1, oy + 31), RGB(240, 248, 255));     // selected tab's corner
    EXPECT_EQ(c.pixel(ox + 1, oy + 61), RGB(250, 251, 252));     // a tab at rest
    EXPECT_EQ(c.pixel(ox + 120, oy + 310), RGB(255, 255, 255));  // panel
    // Disabled run button (panel 66, 150): grey fill.
    EXPECT_EQ(c.pixel(ox + 26 + 68, oy + 28 + 152), RGB(204, 204, 204));
    // Enabled get-data button (panel 88, 24): green.
    EXPECT_EQ(c.pixel(ox + 26 + 90, oy + 28 + 26), RGB(39, 174, 96));

    SendMessageW(closeBox(), WM_MOUSELEAVE, 0, 0);
    Capture after(main);
    EXPECT_EQ(after.pixel(ox + 197, oy + 3), RGB(44, 62, 80));
}

TEST_F(ShellTest, StatusLabelsPaintTheirStoredColour) {
    HWND status = GetDlgItem(tabPanel(0), kStatusId);
    EXPECT_EQ(windowText(status), L"未获取");
    EXPECT_EQ(storedTextColor(status), RGB(140, 140, 140));
    setStatusText(status, L"████", true);
    EXPECT_EQ(storedTextColor(status), RGB(39, 174, 96));
    Capture c(status);
    int green = 0;
    for (int x = 0; x < c.width(); ++x)
        for (int y = 0; y < c.height(); ++y) green += c.pixel(x, y) == RGB(39, 174, 96);
    EXPECT_GT(green, 20);
}

TEST_F(ShellTest, IconsLoadBesideTheExecutable) {
    for (const TabSlot& t : plotvaneWindowConfig().tabs) EXPECT_TRUE(loadTabIcon(t.icon)) << toUtf8(t.icon);
    HICON icon = loadIconFromPng(L"resources\\icons\\zuoshangjiao.png", 16);
    ASSERT_NE(icon, nullptr);
    ICONINFO ii{};
    ASSERT_TRUE(GetIconInfo(icon, &ii));
    BITMAP bm{};
    GetObjectW(ii.hbmColor, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmWidth, 16);
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    DestroyIcon(icon);
    EXPECT_EQ(loadIconFromPng(L"resources\\icons\\missing.png", 16), nullptr);
    EXPECT_FALSE(loadTabIcon(L"resources\\icons\\missing.png"));
    EXPECT_TRUE(ballHasLogo());
}

TEST(Dialogs, FilterAndMultiSelectionStrings) {
    std::wstring f = filterString({{L"GeoJSON (*.geojson)", L"*.geojson;*.json"}, {L"所有文件", L"*.*"}});
    using namespace std::string_literals;
    EXPECT_EQ(f, L"GeoJSON (*.geojson)\0*.geojson;*.json\0所有文件\0*.*\0\0"s);
    const wchar_t one[] = L"C:\\data\\a.csv\0";
    EXPECT_EQ(splitMultiSelection(one), std::vector<std::wstring>{L"C:\\data\\a.csv"});
    const wchar_t three[] = L"C:\\data\0a.csv\0b.csv\0c.xlsx\0";
    EXPECT_EQ(splitMultiSelection(three),
              (std::vector<std::wstring>{L"C:\\data\\a.csv", L"C:\\data\\b.csv", L"C:\\data\\c.xlsx"}));
}

}  // namespace
}  // namespace kit::test

namespace kit::test {
namespace {

// The system's own chooser: opened full it is wider (the custom-colour panel
// shows), and the custom colours the user adds reach the caller's array.
TEST_F(ShellTest, ColourChooserOpensFullAndWritesBackItsCustomColours) {
    Dialogs* recording = setDialogs(nullptr);
    constexpr int kAddToCustom = 712;  // the chooser's "add to custom colours" button
    COLORREF custom[16] = {};
    int width[2] = {};
    for (bool full : {false, true}) {
        whenWindowAppears(L"#32770", [&](HWND chooser) {
            RECT r;
            GetWindowRect(chooser, &r);
            width[full] = r.right - r.left;
            if (full) SendMessageW(chooser, WM_COMMAND, kAddToCustom, 0);
            SendMessageW(chooser, WM_COMMAND, IDOK, 0);
        });
        EXPECT_EQ(chooseColor(main, {.initial = RGB(10, 20, 30), .customColors = custom, .fullOpen = full}),
                  RGB(10, 20, 30));
    }
    setDialogs(recording);
    EXPECT_GT(width[1], width[0] + 100);
    EXPECT_EQ(custom[0], RGB(10, 20, 30));
}

}  // namespace
}  // namespace kit::test
