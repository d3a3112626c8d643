#include "shell/animated_button.h"

#include <algorithm>
#include <cmath>

#include "shell/colors.h"
#include "shell/fonts.h"
#include "shell/label_text.h"
#include "shell/panel.h"

namespace kit {

namespace {

constexpr wchar_t kStateProp[] = L"KitAnimatedButton";
constexpr int kProgressStep = 4;
constexpr float kScaleStep = 0.04f;

struct ButtonState {
    COLORREF normal, hover, disabled;
    bool bold;
    bool hovered = false;
    int progress = 0, progressTarget = 0;
    float scale = 1.0f, scaleTarget = 1.0f;
    WNDPROC original = nullptr;
};

ButtonState* stateOf(HWND hwnd) { return static_cast<ButtonState*>(GetPropW(hwnd, kStateProp)); }

void paint(HWND hwnd, const ButtonState& s) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    // Drawn off screen so the shrinking fill does not flicker.
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = CreateCompatibleBitmap(dc, std::max<LONG>(rc.right, 1), std::max<LONG>(rc.bottom, 1));
    HGDIOBJ oldBmp = SelectObject(mem, bmp);

    HBRUSH white = CreateSolidBrush(colors::kWhite);
    FillRect(mem, &rc, white);
    DeleteObject(white);

    bool enabled = IsWindowEnabled(hwnd);
    COLORREF fill = enabled ? s.normal : s.disabled;
    if (enabled && s.hovered) fill = mixColor(fill, s.hover, s.progress);
    RECT r = s.scale < 1.0f ? scaledRect(rc, s.scale) : rc;
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(mem, &r, brush);
    DeleteObject(brush);

    wchar_t text[65] = {};
    GetWindowTextW(hwnd, text, 65);
    SetBkMode(mem, TRANSPARENT);
    SetTextColor(mem, buttonTextColor(fill, enabled));
    HGDIOBJ oldFont = SelectObject(mem, s.bold ? sharedFonts().bold : sharedFonts().regular);
    drawLabelText(mem, text, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(mem, oldFont);

    BitBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
    SelectObject(mem, oldBmp);
    DeleteObject(bmp);
    DeleteDC(mem);
    EndPaint(hwnd, &ps);
}

void startTimer(HWND hwnd) { SetTimer(hwnd, kButtonTimerId, kButtonTimerMs, nullptr); }

// One animation step; true when anything changed.
bool step(ButtonState& s) {
    bool changed = false;
    if (s.progress != s.progressTarget) {
        int d = std::clamp(s.progressTarget - s.progress, -kProgressStep, kProgressStep);
        s.progress += d;
        changed = true;
    }
    if (s.scale != s.scaleTarget) {
        float d = s.scaleTarget - s.scale;
        s.scale = std::fabs(d) <= kScaleStep + 1e-6f ? s.scaleTarget : s.scale + (d > 0 ? kScaleStep : -kScaleStep);
        changed = true;
    }
    return changed;
}

LRESULT CALLBACK buttonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    ButtonState* s = stateOf(hwnd);
    if (!s) return DefWindowProcW(hwnd, msg, wParam, lParam);
    WNDPROC original = s->original;
    switch (msg) {
        case WM_PAINT:
            paint(hwnd, *s);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_MOUSEMOVE: {
            if (!IsWindowEnabled(hwnd)) return 0;
            if (!s->hovered) {
                s->hovered = true;
                s->progressTarget = 255;
                startTimer(hwnd);
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd, 0};
            TrackMouseEvent(&tme);
            return 0;
        }
        case WM_MOUSELEAVE:
            s->hovered = false;
            s->progressTarget = 0;
            startTimer(hwnd);
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            // No capture and no default button behaviour: the command follows the release.
            if (!IsWindowEnabled(hwnd)) return 0;
            s->scaleTarget = kPressedScale;
            startTimer(hwnd);
            return 0;
        case WM_LBUTTONUP:
            if (!IsWindowEnabled(hwnd)) return 0;
            s->scaleTarget = 1.0f;
            startTimer(hwnd);
            SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                         reinterpret_cast<LPARAM>(hwnd));
            return 0;
        case WM_TIMER:
            if (wParam != kButtonTimerId) break;
            if (step(*s)) InvalidateRect(hwnd, nullptr, FALSE);
            if (s->progress == s->progressTarget && s->scale == s->scaleTarget) KillTimer(hwnd, kButtonTimerId);
            return 0;
        case WM_ENABLE:
        case WM_SETTEXT: {
            LRESULT r = CallWindowProcW(original, hwnd, msg, wParam, lParam);
            InvalidateRect(hwnd, nullptr, FALSE);
            return r;
        }
        case WM_NCDESTROY:
            KillTimer(hwnd, kButtonTimerId);
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
            RemovePropW(hwnd, kStateProp);
            delete s;
            return CallWindowProcW(original, hwnd, msg, wParam, lParam);
        default:
            break;
    }
    return CallWindowProcW(original, hwnd, msg, wParam, lParam);
}

}  // namespace

const ButtonStyle& buttonStyle(ButtonKind kind) {
    static const ButtonStyle styles[] = {
        {RGB(64, 87, 214), RGB(32, 59, 214), RGB(204, 204, 204), true, 80, 28},     // blue action
        {RGB(39, 174, 96), RGB(30, 132, 73), RGB(204, 204, 204), true, 100, 28},    // green get-data
        {RGB(229, 231, 235), RGB(214, 137, 16), RGB(204, 204, 204), false, 32, 28}, // help "?"
        {RGB(52, 152, 219), RGB(41, 128, 185), RGB(204, 204, 204), true, 90, 28},   // sky-blue action
        {RGB(231, 76, 60), RGB(192, 57, 43), RGB(204, 204, 204), true, 90, 28},     // red run
    };
    return styles[static_cast<int>(kind)];
}

COLORREF mixColor(COLORREF base, COLORREF hover, int p) {
    auto mix = [p](int b, int h) { return ((255 - p) * b + p * h) / 255; };
    return RGB(mix(GetRValue(base), GetRValue(hover)), mix(GetGValue(base), GetGValue(hover)),
               mix(GetBValue(base), GetBValue(hover)));
}

RECT scaledRect(const RECT& client, float scale) {
    int w = client.right - client.left, h = client.bottom - client.top;
    int sw = static_cast<int>(std::floor(w * scale)), sh = static_cast<int>(std::floor(h * scale));
    int left = client.left + (w - sw) / 2, top = client.top + (h - sh) / 2;
    return RECT{left, top, left + sw, top + sh};
}

COLORREF buttonTextColor(COLORREF fill, bool enabled) {
    if (!enabled) return RGB(120, 120, 120);
    int lum = GetRValue(fill) * 3 + GetGValue(fill) * 4 + GetBValue(fill);
    return lum < 1128 ? RGB(255, 255, 255) : RGB(50, 50, 50);
}

HWND createButton(const ButtonCreateArgs& a) {
    const ButtonStyle& style = buttonStyle(a.kind);
    std::wstring text = a.text.empty() && a.kind == ButtonKind::Help ? L"?" : a.text;
    HWND hwnd = CreateWindowExW(0, L"BUTTON", text.c_str(),
                                WS_CHILD | WS_VISIBLE | BS_OWNERDRAW | (a.enabled ? 0 : WS_DISABLED), a.x, a.y,
                                a.width > 0 ? a.width : style.width, a.height > 0 ? a.height : style.height, a.parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(a.id)),
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(a.parent, GWLP_HINSTANCE)), nullptr);
    if (!hwnd) return nullptr;
    auto* s = new ButtonState{style.normal, style.hover, style.disabled, style.bold};
    SetPropW(hwnd, kStateProp, s);
    s->original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(buttonProc)));
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(style.bold ? sharedFonts().bold : sharedFonts().regular),
                 FALSE);
    if (a.onClicked) {
        if (Panel* panel = panelOf(a.parent)) panel->onCommand(a.id, a.onClicked);
    }
    return hwnd;
}

void setButtonKind(HWND button, ButtonKind kind) {
    ButtonState* s = stateOf(button);
    if (!s) return;
    const ButtonStyle& style = buttonStyle(kind);
    s->normal = style.normal;
    s->hover = style.hover;
    s->disabled = style.disabled;
    s->bold = style.bold;
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(style.bold ? sharedFonts().bold : sharedFonts().regular),
                 FALSE);
    InvalidateRect(button, nullptr, FALSE);
}

std::optional<ButtonAnimation> buttonAnimation(HWND button) {
    ButtonState* s = stateOf(button);
    if (!s) return std::nullopt;
    return ButtonAnimation{s->hovered, s->progress, s->progressTarget, s->scale, s->scaleTarget};
}

}  // namespace kit
