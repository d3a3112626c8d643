#include "shell/tab_key.h"

#include <algorithm>

#include "shell/panel.h"

namespace kit {

namespace {

// Controls whose tops lie this close read as one line (a label drops a few
// pixels to centre on a taller list; a picture button rises a little).
constexpr LONG kSameLine = 8;

bool isField(HWND w) {
    const LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
    return (style & WS_TABSTOP) && IsWindowVisible(w) && IsWindowEnabled(w);
}

BOOL CALLBACK collectField(HWND w, LPARAM out) {
    auto* fields = reinterpret_cast<std::vector<HWND>*>(out);
    // A combo box's own edit is part of its field, not one of its own.
    if (isField(w) && !(GetParent(w) && std::find(fields->begin(), fields->end(), GetParent(w)) != fields->end()))
        fields->push_back(w);
    return TRUE;
}

// The panel whose fields the focused window belongs to.
HWND panelHolding(HWND w) {
    for (; w; w = GetParent(w))
        if (panelOf(w)) return w;
    return nullptr;
}

RECT screenRect(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return r;
}

}  // namespace

std::vector<HWND> tabOrder(HWND panel) {
    std::vector<HWND> fields;
    EnumChildWindows(panel, collectField, reinterpret_cast<LPARAM>(&fields));
    std::stable_sort(fields.begin(), fields.end(),
                     [](HWND a, HWND b) { return screenRect(a).top < screenRect(b).top; });
    // Lines: each starts at the first control not within reach of the line's top.
    for (auto line = fields.begin(); line != fields.end();) {
        const LONG top = screenRect(*line).top;
        auto end = std::find_if(line, fields.end(), [&](HWND w) { return screenRect(w).top >= top + kSameLine; });
        std::stable_sort(line, end, [](HWND a, HWND b) { return screenRect(a).left < screenRect(b).left; });
        line = end;
    }
    return fields;
}

bool moveFocusOnTab(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB) return false;
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
    HWND panel = panelHolding(msg.hwnd);
    if (!panel) return false;
    const std::vector<HWND> fields = tabOrder(panel);
    if (fields.empty()) return false;
    const bool back = GetKeyState(VK_SHIFT) < 0;
    const auto n = static_cast<ptrdiff_t>(fields.size());
    auto at = std::find_if(fields.begin(), fields.end(), [&](HWND f) { return f == msg.hwnd || IsChild(f, msg.hwnd); });
    ptrdiff_t next = 0;
    if (at == fields.end())
        next = back ? n - 1 : 0;
    else
        next = ((at - fields.begin()) + (back ? n - 1 : 1)) % n;
    HWND target = fields[static_cast<size_t>(next)];
    SetFocus(target);
    // As in a dialog: the text of a field reached by Tab is selected, ready to be typed over.
    wchar_t cls[16] = {};
    GetClassNameW(target, cls, 16);
    if (lstrcmpiW(cls, L"Edit") == 0) SendMessageW(target, EM_SETSEL, 0, -1);
    return true;
}

}  // namespace kit
