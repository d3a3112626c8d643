#include "shell/help_window.h"

#include <algorithm>
#include <string>

#include "shell/animated_button.h"
#include "shell/fonts.h"
#include "shell/window_class.h"

namespace kit {

namespace {

HWND g_help = nullptr;
HFONT g_font = nullptr;
std::wstring g_className = L"KitHelpWindow";

constexpr int kCloseId = 1;

LRESULT CALLBACK helpProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COMMAND:
            if (LOWORD(wParam) == kCloseId || LOWORD(wParam) == IDCANCEL) DestroyWindow(hwnd);
            return 0;
        case WM_LBUTTONDOWN:  // a click beside the text and the button
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_CTLCOLORSTATIC:  // the read-only text on white
            SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
            return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
        case WM_DESTROY:
            if (hwnd == g_help) g_help = nullptr;
            return 0;
        case WM_NCDESTROY:  // the children are gone: the font can go too
            if (g_font && !g_help) {
                DeleteObject(g_font);
                g_font = nullptr;
            }
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

HINSTANCE instanceOf(HWND hwnd) {
    return hwnd ? reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd, GWLP_HINSTANCE)) : GetModuleHandleW(nullptr);
}

}  // namespace

POINT helpWindowPosition(const RECT& ref, const RECT& work, SIZE size) {
    LONG x = ref.right;
    if (x + size.cx > work.right) x = ref.left - size.cx;
    x = std::max(std::min(x, work.right - size.cx), work.left);
    LONG y = std::max(std::min(ref.top, work.bottom - size.cy), work.top);
    return POINT{x, y};
}

void setHelpWindowClass(const wchar_t* className) { g_className = className; }

HWND helpWindow() { return g_help; }

void closeHelp() {
    if (g_help) DestroyWindow(g_help);
}

void showHelp(HWND owner, std::wstring_view title, std::wstring_view text) {
    if (g_help) {
        closeHelp();
        return;
    }
    HINSTANCE inst = instanceOf(owner);
    registerWindowClass(inst, {.name = g_className.c_str(), .proc = helpProc, .background = GetSysColorBrush(COLOR_BTNFACE)});

    HWND top = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    RECT ref{0, 0, 0, 0};
    if (top) GetWindowRect(top, &ref);
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    GetMonitorInfoW(MonitorFromRect(&ref, MONITOR_DEFAULTTONEAREST), &mi);

    // The client area gets the full 500 x 320 so the close button below the
    // text is not cut off by the caption; the placement uses the outer size.
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    DWORD exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME;
    RECT frame{0, 0, kHelpWidth, kHelpHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    SIZE outer{frame.right - frame.left, frame.bottom - frame.top};
    POINT at = helpWindowPosition(ref, mi.rcWork, outer);

    std::wstring titleText(title), body(text);
    HWND hwnd = CreateWindowExW(exStyle, g_className.c_str(), titleText.c_str(), style, at.x, at.y, outer.cx, outer.cy,
                                top, nullptr, inst, nullptr);
    if (!hwnd) return;  // nothing to show; not worth a message
    g_help = hwnd;

    // Edit controls want CR LF line breaks; texts may come with either (a
    // doubled CR would show as a soft break).
    std::wstring crlf;
    for (size_t i = 0; i < body.size(); ++i) {
        if (body[i] == L'\n' && (i == 0 || body[i - 1] != L'\r')) crlf += L'\r';
        crlf += body[i];
    }
    g_font = createFont(L"Microsoft YaHei", 13, FW_NORMAL);
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", crlf.c_str(),
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 10,
                                10, 470, 270, hwnd, nullptr, inst, nullptr);
    HWND button = CreateWindowExW(0, L"BUTTON", L"关闭", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 210,
                                  285, 80, 25, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCloseId)), inst,
                                  nullptr);
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), FALSE);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), FALSE);
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
}

HWND createHelpButton(const HelpButtonCreateArgs& a) {
    return createButton({.parent = a.parent,
                         .id = a.id,
                         .kind = ButtonKind::Help,
                         .x = a.x,
                         .y = a.y,
                         .width = a.width,
                         .height = a.height,
                         .onClicked = [owner = a.parent, title = a.title, text = a.text] {
                             showHelp(owner, title, text);
                         }});
}

}  // namespace kit
