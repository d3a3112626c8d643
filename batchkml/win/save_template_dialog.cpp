// The small modal dialog that asks for a template's name before saving.
#include <windows.h>

#include "batchkml/win/range_editor.h"
#include "shell/fonts.h"

namespace kit {

namespace {

constexpr wchar_t kDialogClass[] = L"SaveTmplDlg";
constexpr int kNameEdit = 100;
constexpr int kMaxNameChars = 63;

struct DialogState {
    bool done = false;
    bool accepted = false;
    std::wstring name;
};

LRESULT CALLBACK dialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
        case WM_NCCREATE:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
            break;
        case WM_COMMAND:
            if (state && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
                if (LOWORD(wParam) == IDOK) {
                    wchar_t buf[kMaxNameChars + 1] = {};
                    GetWindowTextW(GetDlgItem(hwnd, kNameEdit), buf, kMaxNameChars + 1);
                    state->name = buf;
                    state->accepted = true;
                }
                state->done = true;
                return 0;
            }
            break;
        case WM_CLOSE:
            if (state) state->done = true;
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, DWORD ex, int id, int x, int y, int w,
           int h) {
    HWND c = CreateWindowExW(ex, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(sharedFonts().regular), FALSE);
    return c;
}

}  // namespace

std::optional<std::wstring> askTemplateName(HWND owner, const std::wstring& proposed) {
    HINSTANCE inst = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(inst, kDialogClass, &wc)) {
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = dialogProc;
        wc.hInstance = inst;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kDialogClass;
        RegisterClassExW(&wc);
    }
    HWND main = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    const DWORD ex = WS_EX_TOPMOST | WS_EX_DLGMODALFRAME;
    RECT frame{0, 0, 220, 130};
    AdjustWindowRectEx(&frame, style, FALSE, ex);
    int w = frame.right - frame.left, h = frame.bottom - frame.top;
    RECT m{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (main) GetWindowRect(main, &m);
    int x = m.left + (m.right - m.left - w) / 2, y = m.top + (m.bottom - m.top - h) / 2;

    DialogState state;
    HWND dlg = CreateWindowExW(ex, kDialogClass, L"保存模板", style, x, y, w, h, main, nullptr, inst, &state);
    if (!dlg) return std::nullopt;
    HWND edit = child(dlg, L"EDIT", proposed.c_str(), WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, kNameEdit, 12, 30,
                      196, 22);
    SendMessageW(edit, EM_LIMITTEXT, kMaxNameChars, 0);
    child(dlg, L"BUTTON", L"确定", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, IDOK, 12, 62, 94, 26);
    child(dlg, L"BUTTON", L"取消", WS_TABSTOP | BS_PUSHBUTTON, 0, IDCANCEL, 114, 62, 94, 26);
    if (main) EnableWindow(main, FALSE);
    ShowWindow(dlg, SW_SHOW);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);

    MSG msg;
    bool quit = false;
    while (!state.done) {
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            quit = true;
            break;
        }
        if (!IsDialogMessageW(dlg, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (main) EnableWindow(main, TRUE);
    DestroyWindow(dlg);
    if (main) SetActiveWindow(main);
    if (quit) PostQuitMessage(static_cast<int>(msg.wParam));  // the program's own loop must still end
    if (!state.accepted || state.name.empty()) return std::nullopt;
    return state.name;
}

}  // namespace kit
