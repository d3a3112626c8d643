#include "shell/ball.h"

#include <windowsx.h>

#include "shell/dialogs.h"
#include "shell/images.h"
#include "shell/main_window.h"
#include "shell/window_class.h"

namespace kit {

namespace {

constexpr wchar_t kBallClass[] = L"FloatingBallClass";
constexpr int kLogoSize = 24;

struct BallState {
    HWND hwnd = nullptr;
    HWND owner = nullptr;
    HICON logo = nullptr;
    BallColors colors;
    bool hovered = false, pressed = false, moved = false;
    POINT pressAt{};
};

BallState b;

HICON loadLogo() {
    std::wstring ico = resourcePath(L"resources\\logo.ico");
    if (auto icon = static_cast<HICON>(
            LoadImageW(nullptr, ico.c_str(), IMAGE_ICON, kLogoSize, kLogoSize, LR_LOADFROMFILE)))
        return icon;
    return loadIconFromPng(L"resources\\icons\\zuoshangjiao.png", kLogoSize);
}

// Renders the disc and the logo into a transparent bitmap and hands it to the
// layered window with per-pixel alpha.
void draw() {
    if (!b.hwnd) return;
    BITMAPINFO bi = topDownArgbInfo(kBallSize, kBallSize);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib) {
        DeleteDC(mem);
        ReleaseDC(nullptr, screen);
        return;
    }
    ZeroMemory(bits, kBallSize * kBallSize * 4);
    HGDIOBJ old = SelectObject(mem, dib);

    COLORREF disc = b.pressed ? b.colors.pressed : b.hovered ? b.colors.hovered : b.colors.normal;
    fillEllipse(mem, disc, 0, 0, kBallSize - 1, kBallSize - 1);
    drawIconScaled(mem, b.logo, 5, 5, 25, 25);

    RECT wr;
    GetWindowRect(b.hwnd, &wr);
    POINT pos{wr.left, wr.top}, src{0, 0};
    SIZE size{kBallSize, kBallSize};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(b.hwnd, screen, &pos, &size, mem, &src, 0, &blend, ULW_ALPHA);

    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

LRESULT CALLBACK ballProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_SETCURSOR:
            SetCursor(LoadCursorW(nullptr, IDC_ARROW));
            return TRUE;
        case WM_MOUSEMOVE: {
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (b.pressed && GetCapture() == hwnd) {
                // Only a real displacement counts as a drag, not a stray
                // move message at the press point.
                if (p.x != b.pressAt.x || p.y != b.pressAt.y) {
                    ClientToScreen(hwnd, &p);
                    SetWindowPos(hwnd, nullptr, p.x - b.pressAt.x, p.y - b.pressAt.y, 0, 0,
                                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                    b.moved = true;
                }
            } else if (!b.hovered) {
                b.hovered = true;
                TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd, 0};
                TrackMouseEvent(&tme);
                draw();
            }
            return 0;
        }
        case WM_MOUSELEAVE:
            b.hovered = false;
            draw();
            return 0;
        case WM_LBUTTONDOWN:
            b.pressAt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            b.moved = false;
            SetCapture(hwnd);
            b.pressed = true;
            draw();
            return 0;
        case WM_LBUTTONUP: {
            bool wasPressed = b.pressed;
            b.pressed = false;
            ReleaseCapture();
            draw();
            if (wasPressed && !b.moved) {
                POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                ClientToScreen(hwnd, &p);
                restoreFromBall(p);
            }
            b.pressAt = POINT{};
            return 0;
        }
        case WM_RBUTTONDOWN: {
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ClientToScreen(hwnd, &p);
            int cmd = dialogs().choosePopupCommand(hwnd, p, {{kShowWindowCommand, L"显示窗口"}, {kQuitCommand, L"退出程序"}});
            if (cmd == kShowWindowCommand)
                restoreFromBall();
            else if (cmd == kQuitCommand)
                PostQuitMessage(0);
            return 0;
        }
        case WM_NCDESTROY:
            b.hwnd = nullptr;
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

HWND createBall(HINSTANCE instance, const std::wstring& title) {
    if (!b.logo) b.logo = loadLogo();
    registerWindowClass(instance,
                        {.name = kBallClass, .proc = ballProc, .style = CS_HREDRAW | CS_VREDRAW, .cursor = IDC_HAND});
    // Visible but layered with no content yet, so nothing shows until showBall.
    b.hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_LAYERED | WS_EX_TOOLWINDOW, kBallClass, title.c_str(),
                             WS_POPUP | WS_VISIBLE, 0, 0, kBallSize, kBallSize, nullptr, nullptr, instance, nullptr);
    return b.hwnd;
}

void showBall(int x, int y, HWND mainWindow) {
    if (!b.hwnd) return;
    b.owner = mainWindow;
    SetWindowPos(b.hwnd, HWND_TOPMOST, x, y, kBallSize, kBallSize, SWP_SHOWWINDOW);
    draw();
    SetForegroundWindow(b.hwnd);
}

void hideBall() {
    if (b.hwnd) ShowWindow(b.hwnd, SW_HIDE);
}

void destroyBall() {
    if (b.hwnd) DestroyWindow(b.hwnd);
    if (b.logo) DestroyIcon(b.logo);
    b = BallState{};
}

HWND ballWindow() { return b.hwnd; }
bool ballHasLogo() { return b.logo != nullptr; }

}  // namespace kit
