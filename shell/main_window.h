#pragma once
// The borderless, always-on-top main window: a dark title bar with a close
// box, a vertical strip of icon tab buttons, and the panel of the selected
// tab. One per process; what differs between the programs is its config.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kit {

struct TabSlot {
    std::wstring icon;                       // PNG below the executable's folder
    std::function<HWND(HWND main)> create;   // the tab's panel; empty: a blank panel
};

struct ShellColors {
    COLORREF frame = RGB(200, 200, 200);
    COLORREF content = RGB(255, 255, 255);
    COLORREF titleBar = RGB(44, 62, 80);
    COLORREF titleText = RGB(255, 255, 255);
    COLORREF closeHot = RGB(231, 76, 60);
    COLORREF strip = RGB(229, 231, 235);
    COLORREF tabSelected = RGB(240, 248, 255);
    COLORREF tabHovered = RGB(245, 246, 248);
    COLORREF tabNormal = RGB(250, 251, 252);
    std::optional<COLORREF> selectedIndicator;  // a bar along the selected button's left edge
};

enum class CloseAction { HideToBall, Quit };

struct MainWindowConfig {
    std::wstring className = L"PlotvaneMainWindow";
    std::wstring title = L"Plotvane";
    int width = 220, height = 320;
    int titleHeight = 28;
    int closeWidth = 26;
    int stripWidth = 28;
    int tabTop = 2, tabPitch = 30, tabSize = 28, tabIconSize = 20;
    // Left, top, right, bottom: right of the strip (a panel reaching under it
    // loses the first pixels of what it shows) and inside the thin border.
    RECT panel{28, 28, 218, 318};
    std::wstring cornerIcon = L"resources\\icons\\zuoshangjiao.png";
    int firstTabCommand = 1010;
    std::vector<TabSlot> tabs;
    CloseAction closeAction = CloseAction::HideToBall;
    bool thinBorder = true;  // the thin-border style and the painted one-pixel frame
    // The painted frame on its own, for a window without the border style;
    // empty: painted exactly when thinBorder is set.
    std::optional<bool> paintedFrame;
    std::wstring helpClass = L"KitHelpWindow";  // window class of the tabs' help windows
    ShellColors colors;
};

inline constexpr int kCloseCommand = 1001;

// Registers the class, creates the window with its title bar, strip, buttons
// and panels (tab 0 shown), shows it centred on the primary screen.
HWND createMainWindow(HINSTANCE instance, const MainWindowConfig& config);
// Destroys the main window and everything it owns (tests build it afresh).
void destroyMainWindow();

void showTab(int index);
int currentTab();
// The close action of a program with a floating ball.
void hideToBall();
// Shows the main window again, where it was or next to a screen point
// (clamped so the whole window stays on the primary screen).
void restoreFromBall(std::optional<POINT> point = std::nullopt);

// Runs get / dispatchLoopMessage until WM_QUIT; returns its exit code.
int runMessageLoop();
// One message of the loop: the panels' Tab key (tab_key.h), else translate
// and dispatch.
void dispatchLoopMessage(const MSG& msg);

// The pieces, for panels and tests.
HWND mainWindow();
HWND titleBar();
HWND closeBox();
HWND tabStrip();
HWND tabButton(int index);
HWND tabPanel(int index);
int tabCount();
// The tab-panel rectangle in main-window client coordinates.
RECT tabPanelRect();

// Where the restored window goes for a point on the ball, inside the screen.
POINT restorePosition(POINT point, SIZE window, SIZE screen, POINT anchor);

}  // namespace kit
