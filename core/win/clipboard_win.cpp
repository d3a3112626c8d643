#include "core/win/clipboard.h"

#include <windows.h>

#include <cstring>

namespace kit {

std::wstring readClipboardText() {
    if (!OpenClipboard(nullptr)) return {};
    std::wstring text;
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
            // Bounded by the block's size in case the data lacks its NUL.
            size_t cap = GlobalSize(h) / sizeof(wchar_t);
            size_t n = 0;
            while (n < cap && p[n]) ++n;
            text.assign(p, n);
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return text;
}

bool writeClipboardText(std::wstring_view text) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!block) {
        CloseClipboard();
        return false;
    }
    auto* p = static_cast<wchar_t*>(GlobalLock(block));
    if (!p) {
        GlobalFree(block);
        CloseClipboard();
        return false;
    }
    std::memcpy(p, text.data(), text.size() * sizeof(wchar_t));
    p[text.size()] = L'\0';
    GlobalUnlock(block);
    bool ok = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    if (!ok) GlobalFree(block);  // still ours when the clipboard refused it
    CloseClipboard();
    return ok;
}

}  // namespace kit
