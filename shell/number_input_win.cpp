#include "shell/number_input.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "core/win/clipboard.h"
#include "shell/controls.h"

namespace kit {

namespace {

constexpr UINT_PTR kSubclassId = 0x4E55;  // "NU"

// The edit's text with its selection replaced by `typed`.
std::wstring textAfter(HWND edit, std::wstring_view typed) {
    std::wstring text = windowText(edit);
    DWORD from = 0, to = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    from = std::min<DWORD>(from, static_cast<DWORD>(text.size()));
    to = std::min<DWORD>(std::max(from, to), static_cast<DWORD>(text.size()));
    return text.replace(from, to - from, typed);
}

LRESULT CALLBACK numberEditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR kind) {
    const auto input = static_cast<EditInput>(kind);
    switch (msg) {
        case WM_CHAR: {
            const auto ch = static_cast<wchar_t>(wParam);
            // Backspace and the Ctrl shortcuts (copy, cut, paste, undo, select all) pass.
            if (ch < L' ') break;
            if (!acceptsInput(input, textAfter(hwnd, std::wstring_view(&ch, 1)))) {
                MessageBeep(MB_OK);
                return 0;
            }
            break;
        }
        case WM_PASTE: {
            std::wstring pasted = readClipboardText();
            // A number copied from a table cell often brings its line end along.
            while (!pasted.empty() && (pasted.back() == L'\n' || pasted.back() == L'\r' || pasted.back() == L' '))
                pasted.pop_back();
            if (!acceptsInput(input, textAfter(hwnd, pasted))) {
                MessageBeep(MB_OK);
                return 0;
            }
            SendMessageW(hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(pasted.c_str()));
            return 0;
        }
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, numberEditProc, kSubclassId);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace

bool acceptsInput(EditInput kind, std::wstring_view text) {
    if (kind == EditInput::Text) return true;
    if (kind == EditInput::SignedDecimal && !text.empty() && text.front() == L'-') text.remove_prefix(1);
    bool point = false;
    for (wchar_t c : text) {
        if (c >= L'0' && c <= L'9') continue;
        if (c != L'.' || point || kind == EditInput::Digits) return false;
        point = true;
    }
    return true;
}

void limitEditInput(HWND edit, EditInput kind) {
    if (kind == EditInput::Text) return;
    SetWindowSubclass(edit, numberEditProc, kSubclassId, static_cast<DWORD_PTR>(kind));
}

}  // namespace kit
