#include "shell/panel.h"

#include <string>

#include "shell/colors.h"
#include "shell/controls.h"
#include "shell/dialogs.h"
#include "shell/main_window.h"
#include "shell/window_class.h"

namespace kit {

namespace {

void fillWhite(HWND hwnd, HDC dc) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    HBRUSH white = CreateSolidBrush(colors::kWhite);
    FillRect(dc, &rc, white);
    DeleteObject(white);
}

LRESULT CALLBACK panelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (auto r = answerControlColor(msg, wParam, lParam)) return *r;
    auto* panel = reinterpret_cast<Panel*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (panel && msg != WM_NCCREATE) {
        if (auto it = panel->messages.find(msg); it != panel->messages.end()) {
            auto handler = it->second;
            std::optional<LRESULT> r;
            if (!runOrReportOutOfMemory(hwnd, [&] { r = handler(wParam, lParam); })) return 0;
            if (r) return *r;
        }
    }
    switch (msg) {
        case WM_NCCREATE: {
            auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
            panel = static_cast<Panel*>(cs->lpCreateParams);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(panel));
            if (panel) panel->hwnd = hwnd;
            break;
        }
        case WM_ERASEBKGND:
            fillWhite(hwnd, reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            fillWhite(hwnd, dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_COMMAND:
            if (panel) {
                const int id = LOWORD(wParam), code = HIWORD(wParam);
                std::function<void()> handler;  // copied: a handler may replace its own entry
                if (code == BN_CLICKED) {
                    if (auto it = panel->commands.find(id); it != panel->commands.end()) handler = it->second;
                } else if (auto it = panel->notifications.find({id, code}); it != panel->notifications.end()) {
                    handler = it->second;
                }
                if (handler) {
                    // Every tab's runs start here: one place turns running out
                    // of memory into the error box.
                    runOrReportOutOfMemory(hwnd, handler);
                    return 0;
                }
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

HWND createPanel(const PanelCreateArgs& a, Panel& panel) {
    auto inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(a.parent, GWLP_HINSTANCE));
    registerWindowClass(inst, {.name = a.className, .proc = panelProc, .style = CS_DBLCLKS});
    RECT r{a.x, a.y, a.x + a.width, a.y + a.height};
    if (a.width == 0 && a.height == 0) r = tabPanelRect();
    return CreateWindowExW(0, a.className, L"", WS_CHILD | WS_CLIPSIBLINGS | (a.visible ? WS_VISIBLE : 0), r.left,
                           r.top, r.right - r.left, r.bottom - r.top, a.parent, nullptr, inst, &panel);
}

Panel* panelOf(HWND window) {
    // Only a panel's user data is a Panel: tell panels by their window procedure.
    if (!window || reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)) != panelProc) return nullptr;
    return reinterpret_cast<Panel*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace kit
