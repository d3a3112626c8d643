#include "shell/main_window.h"

#include <windowsx.h>

#include <algorithm>
#include <memory>

#include "shell/ball.h"
#include "shell/controls.h"
#include "shell/dialogs.h"
#include "shell/fonts.h"
#include "shell/help_window.h"
#include "shell/images.h"
#include "shell/panel.h"
#include "shell/tab_key.h"
#include "shell/window_class.h"

namespace kit {

namespace {

struct ShellState {
    MainWindowConfig cfg;
    HINSTANCE instance = nullptr;
    HWND main = nullptr, title = nullptr, close = nullptr, strip = nullptr;
    std::vector<HWND> buttons, panels;
    std::vector<Image> icons;
    std::vector<std::unique_ptr<Panel>> blankPanels;
    HICON corner = nullptr;
    HFONT titleFont = nullptr, closeFont = nullptr;
    int current = 0;
    bool closeHover = false, closePressed = false;
    std::vector<bool> tabHover;
    bool dragging = false;
    POINT dragOrigin{};
};

ShellState g;

constexpr wchar_t kTitleClass[] = L"KitTitleBar";
constexpr wchar_t kCloseClass[] = L"KitCloseBox";
constexpr wchar_t kStripClass[] = L"KitTabStrip";
constexpr wchar_t kTabButtonClass[] = L"KitTabButton";

void fill(HDC dc, const RECT& r, COLORREF c) {
    HBRUSH b = CreateSolidBrush(c);
    FillRect(dc, &r, b);
    DeleteObject(b);
}

HMENU idMenu(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

// Runs the painter between BeginPaint and EndPaint with the client rectangle.
template <typename Painter>
void paintClient(HWND hwnd, Painter&& painter) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    painter(dc, rc);
    EndPaint(hwnd, &ps);
}

void trackLeave(HWND hwnd) {
    TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd, 0};
    TrackMouseEvent(&tme);
}

void runCloseAction() {
    if (g.cfg.closeAction == CloseAction::HideToBall)
        hideToBall();
    else
        DestroyWindow(g.main);
}

// --- title bar and close box ---

LRESULT CALLBACK titleProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            paintClient(hwnd, [&](HDC dc, RECT rc) {
                fill(dc, rc, g.cfg.colors.titleBar);
                if (g.corner) DrawIconEx(dc, 5, 6, g.corner, 16, 16, 0, nullptr, DI_NORMAL);
                SetBkMode(dc, TRANSPARENT);
                SetTextColor(dc, g.cfg.colors.titleText);
                HGDIOBJ old = SelectObject(dc, g.titleFont);
                RECT text{24, 0, rc.right - g.cfg.closeWidth - 4, rc.bottom};
                DrawTextW(dc, g.cfg.title.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
                SelectObject(dc, old);
            });
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN: {
            // Dragging and the rest belong to the main window.
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            MapWindowPoints(hwnd, g.main, &p, 1);
            return SendMessageW(g.main, msg, wParam, MAKELPARAM(p.x, p.y));
        }
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK closeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto repaint = [hwnd] {
        InvalidateRect(hwnd, nullptr, FALSE);
        InvalidateRect(g.title, nullptr, FALSE);
    };
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            paintClient(hwnd, [&](HDC dc, RECT rc) {
                fill(dc, rc, g.closeHover || g.closePressed ? g.cfg.colors.closeHot : g.cfg.colors.titleBar);
                SetBkMode(dc, TRANSPARENT);
                SetTextColor(dc, RGB(255, 255, 255));
                HGDIOBJ old = SelectObject(dc, g.closeFont);
                DrawTextW(dc, L"×", -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
                SelectObject(dc, old);
            });
            return 0;
        case WM_MOUSEMOVE:
            if (!g.closeHover) {
                g.closeHover = true;
                repaint();
            }
            trackLeave(hwnd);
            return 0;
        case WM_MOUSELEAVE:
            g.closeHover = false;
            g.closePressed = false;
            repaint();
            return 0;
        case WM_LBUTTONDOWN:
            g.closePressed = true;
            repaint();
            return 0;
        case WM_LBUTTONUP:
            g.closePressed = false;
            repaint();
            SendMessageW(g.main, WM_COMMAND, MAKEWPARAM(kCloseCommand, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

// --- tab strip ---

LRESULT CALLBACK stripProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            paintClient(hwnd, [&](HDC dc, RECT rc) {
                fill(dc, rc, g.cfg.colors.strip);
            });
            return 0;
        case WM_COMMAND:
            return SendMessageW(g.main, WM_COMMAND, wParam, lParam);
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

int buttonIndex(HWND button) { return GetDlgCtrlID(button) - g.cfg.firstTabCommand; }

LRESULT CALLBACK tabButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    int i = buttonIndex(hwnd);
    bool valid = i >= 0 && i < static_cast<int>(g.tabHover.size());
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            paintClient(hwnd, [&](HDC dc, RECT rc) {
                const ShellColors& c = g.cfg.colors;
                bool selected = i == g.current;
                fill(dc, rc, selected ? c.tabSelected : valid && g.tabHover[i] ? c.tabHovered : c.tabNormal);
                if (selected && c.selectedIndicator) fill(dc, RECT{0, 2, 3, rc.bottom - 2}, *c.selectedIndicator);
                if (valid && g.icons[i]) {
                    int s = g.cfg.tabIconSize;
                    drawImage(dc, g.icons[i], (rc.right - s) / 2, (rc.bottom - s) / 2, s, s);
                }
            });
            return 0;
        case WM_MOUSEMOVE:
            if (valid && !g.tabHover[i]) {
                g.tabHover[i] = true;
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            trackLeave(hwnd);
            return 0;
        case WM_MOUSELEAVE:
            if (valid) g.tabHover[i] = false;
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_LBUTTONUP:
            SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                         reinterpret_cast<LPARAM>(hwnd));
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

// --- main window ---

void buildChildren(HWND hwnd) {
    const MainWindowConfig& cfg = g.cfg;
    for (const TabSlot& t : cfg.tabs) g.icons.push_back(loadTabIcon(t.icon));
    g.corner = loadIconFromPng(cfg.cornerIcon, 16);
    g.titleFont = createFont(L"Microsoft YaHei", 13, FW_BOLD);
    g.closeFont = createFont(L"Arial", 18, FW_BOLD);

    g.title = CreateWindowExW(0, kTitleClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, cfg.width,
                              cfg.titleHeight, hwnd, nullptr, g.instance, nullptr);
    g.close = CreateWindowExW(0, kCloseClass, L"", WS_CHILD | WS_VISIBLE, cfg.width - cfg.closeWidth, 0,
                              cfg.closeWidth, cfg.titleHeight, g.title, idMenu(kCloseCommand), g.instance, nullptr);
    g.strip = CreateWindowExW(0, kStripClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0,
                              cfg.titleHeight, cfg.stripWidth, cfg.height - cfg.titleHeight, hwnd, nullptr,
                              g.instance, nullptr);
    g.tabHover.assign(cfg.tabs.size(), false);
    for (size_t i = 0; i < cfg.tabs.size(); ++i) {
        g.buttons.push_back(CreateWindowExW(0, kTabButtonClass, L"", WS_CHILD | WS_VISIBLE, 0,
                                            cfg.tabTop + cfg.tabPitch * static_cast<int>(i), cfg.tabSize, cfg.tabSize,
                                            g.strip, idMenu(cfg.firstTabCommand + static_cast<int>(i)), g.instance,
                                            nullptr));
    }
    for (const TabSlot& t : cfg.tabs) {
        HWND panel = nullptr;
        // A tab reads its saved settings as it opens; if that runs out of
        // memory the tab stays blank and the others still open.
        if (t.create) {
            runOrReportOutOfMemory(hwnd, [&] { panel = t.create(hwnd); });
        } else {
            g.blankPanels.push_back(std::make_unique<Panel>());
            panel = createPanel({.parent = hwnd}, *g.blankPanels.back());
        }
        g.panels.push_back(panel);
    }
    showTab(0);
}

void paintMain(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    fill(dc, RECT{g.cfg.stripWidth, g.cfg.titleHeight, rc.right, rc.bottom}, g.cfg.colors.content);
    if (g.cfg.paintedFrame.value_or(g.cfg.thinBorder)) {
        HBRUSH frame = CreateSolidBrush(g.cfg.colors.frame);
        FrameRect(dc, &rc, frame);
        DeleteObject(frame);
    }
    EndPaint(hwnd, &ps);
}

void freeResources() {
    g.icons.clear();
    if (g.corner) DestroyIcon(g.corner);
    if (g.titleFont) DeleteObject(g.titleFont);
    if (g.closeFont) DeleteObject(g.closeFont);
    g.corner = nullptr;
    g.titleFont = g.closeFont = nullptr;
}

LRESULT CALLBACK mainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (auto r = answerControlColor(msg, wParam, lParam)) return *r;
    switch (msg) {
        case WM_NCCREATE:
            g.main = hwnd;
            break;
        case WM_CREATE:
            buildChildren(hwnd);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            paintMain(hwnd);
            return 0;
        case WM_LBUTTONDOWN: {
            if (GET_Y_LPARAM(lParam) > g.cfg.titleHeight - 1) return 0;
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ClientToScreen(hwnd, &p);
            RECT wr;
            GetWindowRect(hwnd, &wr);
            g.dragOrigin = POINT{p.x - wr.left, p.y - wr.top};
            g.dragging = true;
            SetCapture(hwnd);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (g.dragging && GetCapture() == hwnd) {
                POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                ClientToScreen(hwnd, &p);
                SetWindowPos(hwnd, nullptr, p.x - g.dragOrigin.x, p.y - g.dragOrigin.y, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            return 0;
        case WM_LBUTTONUP:
            if (g.dragging) {
                g.dragging = false;
                ReleaseCapture();
            }
            return 0;
        case WM_CAPTURECHANGED:
            g.dragging = false;
            return 0;
        case WM_MOUSEWHEEL: {
            int n = tabCount();
            if (n == 0) return 0;
            int delta = GET_WHEEL_DELTA_WPARAM(wParam);
            showTab(delta <= 0 ? (g.current + 1) % n : (g.current + n - 1) % n);
            return 0;
        }
        case WM_COMMAND: {
            int id = LOWORD(wParam);
            if (id == kCloseCommand) {
                runCloseAction();
                return 0;
            }
            int i = id - g.cfg.firstTabCommand;
            if (i >= 0 && i < tabCount()) {
                showTab(i);
                return 0;
            }
            break;
        }
        case WM_CLOSE:
            runCloseAction();
            return 0;
        case WM_MOVE:
            closeHelp();
            return 0;
        case WM_DESTROY:
            closeHelp();
            freeResources();
            if (g.cfg.closeAction == CloseAction::Quit) PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            g.main = nullptr;
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Rounded corners where the desktop window manager offers them; square otherwise.
void requestRoundedCorners(HWND hwnd) {
    HMODULE dwm = LoadLibraryW(L"dwmapi.dll");
    if (!dwm) return;
    using SetAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
    if (FARPROC proc = GetProcAddress(dwm, "DwmSetWindowAttribute")) {
        constexpr DWORD kCornerPreference = 33;
        const DWORD rounded = 2;
        reinterpret_cast<SetAttribute>(reinterpret_cast<void*>(proc))(hwnd, kCornerPreference, &rounded,
                                                                      sizeof(rounded));
    }
    FreeLibrary(dwm);
}

}  // namespace

HWND createMainWindow(HINSTANCE instance, const MainWindowConfig& config) {
    g = ShellState{};
    g.cfg = config;
    g.instance = instance;
    setHelpWindowClass(config.helpClass.c_str());
    registerWindowClass(g.instance, {.name = config.className.c_str(), .proc = mainProc, .style = CS_HREDRAW | CS_VREDRAW});
    registerWindowClass(g.instance, {.name = kTitleClass, .proc = titleProc});
    registerWindowClass(g.instance, {.name = kCloseClass, .proc = closeProc});
    registerWindowClass(g.instance, {.name = kStripClass, .proc = stripProc});
    registerWindowClass(g.instance, {.name = kTabButtonClass, .proc = tabButtonProc});

    int x = (GetSystemMetrics(SM_CXSCREEN) - config.width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - config.height) / 2;
    HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, config.className.c_str(), config.title.c_str(),
                                WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, x, y, config.width, config.height,
                                nullptr, nullptr, instance, nullptr);
    if (!hwnd) return nullptr;
    if (config.thinBorder) {
        SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) | WS_BORDER);
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    }
    requestRoundedCorners(hwnd);
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    for (HWND w : {g.close, g.title, g.strip}) RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return hwnd;
}

void destroyMainWindow() {
    if (g.main) DestroyWindow(g.main);
    g.panels.clear();
    g.buttons.clear();
    g.blankPanels.clear();
}

void showTab(int index) {
    if (index < 0 || index >= tabCount()) return;
    closeHelp();
    g.current = index;
    for (int i = 0; i < tabCount(); ++i)
        if (g.panels[i]) ShowWindow(g.panels[i], i == index ? SW_SHOW : SW_HIDE);
    for (HWND b : g.buttons) InvalidateRect(b, nullptr, FALSE);
    InvalidateRect(g.main, nullptr, FALSE);
}

int currentTab() { return g.current; }

void hideToBall() {
    RECT r;
    GetWindowRect(g.close, &r);
    showBall((r.left + r.right) / 2 - kBallSize / 2, r.top, g.main);
    ShowWindow(g.main, SW_HIDE);
}

POINT restorePosition(POINT point, SIZE window, SIZE screen, POINT anchor) {
    LONG x = std::max<LONG>(0, std::min<LONG>(point.x - anchor.x, screen.cx - window.cx));
    LONG y = std::max<LONG>(0, std::min<LONG>(point.y - anchor.y, screen.cy - window.cy));
    return POINT{x, y};
}

void restoreFromBall(std::optional<POINT> point) {
    if (point) {
        // The point lands on the close box, where the ball came from.
        POINT anchor{g.cfg.width - g.cfg.closeWidth / 2, g.cfg.titleHeight / 2};
        POINT at = restorePosition(*point, SIZE{g.cfg.width, g.cfg.height},
                                   SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, anchor);
        SetWindowPos(g.main, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(g.main, SW_SHOW);
    SetForegroundWindow(g.main);
    hideBall();
    closeHelp();
}

void dispatchLoopMessage(const MSG& msg) {
    if (moveFocusOnTab(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

int runMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) dispatchLoopMessage(msg);
    return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 1;
}

HWND mainWindow() { return g.main; }
HWND titleBar() { return g.title; }
HWND closeBox() { return g.close; }
HWND tabStrip() { return g.strip; }
HWND tabButton(int i) { return i >= 0 && i < static_cast<int>(g.buttons.size()) ? g.buttons[i] : nullptr; }
HWND tabPanel(int i) { return i >= 0 && i < static_cast<int>(g.panels.size()) ? g.panels[i] : nullptr; }
int tabCount() { return static_cast<int>(g.panels.size()); }
RECT tabPanelRect() { return g.cfg.panel; }

}  // namespace kit
