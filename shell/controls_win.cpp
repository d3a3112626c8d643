#include "shell/controls.h"

#include "shell/colors.h"
#include "shell/fonts.h"
#include "shell/wide.h"

namespace kit {

namespace {

// Stored as colour + 1 so that black is distinguishable from "none".
constexpr wchar_t kTextColorProp[] = L"KitTextColor";

HWND createChild(const wchar_t* cls, const std::wstring& text, DWORD style, DWORD exStyle, HWND parent, int id,
                 int x, int y, int w, int h, HFONT font) {
    HWND hwnd = CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    if (hwnd) SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return hwnd;
}

HBRUSH whiteBrush() {
    static HBRUSH brush = CreateSolidBrush(colors::kWhite);
    return brush;
}

}  // namespace

HWND createLabel(const LabelCreateArgs& a) {
    return createChild(L"STATIC", a.text, a.centred ? SS_CENTER : SS_LEFT, 0, a.parent, a.id, a.x, a.y,
                       a.width, a.height, a.font ? a.font : sharedFonts().regular);
}

HWND createStatusLabel(const StatusLabelCreateArgs& a) {
    HWND h = createChild(L"STATIC", a.text.empty() ? std::wstring(L"未获取") : a.text, SS_LEFT, 0, a.parent, a.id,
                         a.x, a.y, a.width, a.height, sharedFonts().small);
    if (h) setStoredTextColor(h, colors::kStatusNeutral);
    return h;
}

HWND createEdit(const EditCreateArgs& a) {
    DWORD style = WS_TABSTOP | ES_AUTOHSCROLL | (a.enabled ? 0 : WS_DISABLED);
    HWND h = createChild(L"EDIT", a.text, style, WS_EX_CLIENTEDGE, a.parent, a.id, a.x, a.y, a.width, a.height,
                         a.font ? a.font : sharedFonts().regular);
    if (h) limitEditInput(h, a.input);
    return h;
}

HWND createDropDown(const DropDownCreateArgs& a) {
    DWORD style = WS_TABSTOP | WS_VSCROLL | (a.editable ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST) |
                  (a.enabled ? 0 : WS_DISABLED);
    HWND h = createChild(L"COMBOBOX", L"", style, 0, a.parent, a.id, a.x, a.y, a.width, a.height,
                         a.font ? a.font : sharedFonts().regular);
    // The edit part's text; a plain list has no text of its own to set.
    if (h && a.editable && !a.text.empty()) SetWindowTextW(h, a.text.c_str());
    return h;
}

void setComboItems(HWND combo, const std::vector<std::string>& items, int selected) {
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items) {
        std::wstring w = toWide(item);
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
    }
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

HWND createPushButton(const PushButtonCreateArgs& a) {
    return createChild(L"BUTTON", a.text, WS_TABSTOP | BS_PUSHBUTTON, 0, a.parent, a.id, a.x, a.y, a.width, a.height,
                       a.font ? a.font : sharedFonts().regular);
}

HWND createEtchedLine(const EtchedLineCreateArgs& a) {
    return createChild(L"STATIC", L"", SS_ETCHEDHORZ, 0, a.parent, 0, a.x, a.y, a.width, a.height,
                       sharedFonts().regular);
}

LabeledDropDown createLabeledDropDown(const LabeledDropDownCreateArgs& a) {
    HWND label = createLabel({.parent = a.parent,
                              .id = a.labelId,
                              .text = a.label,
                              .x = a.x,
                              .y = a.y + a.labelDrop,
                              .width = a.labelWidth});
    HWND list = createDropDown({.parent = a.parent, .id = a.listId, .x = a.x + a.labelWidth, .y = a.y,
                                .width = a.listWidth, .height = 200, .enabled = a.enabled, .editable = a.editable,
                                .text = a.text});
    if (list && !a.items.empty()) setComboItems(list, a.items, a.selected);
    return {label, list};
}

HWND createCheckBox(const CheckBoxCreateArgs& a) {
    HWND h = createChild(L"BUTTON", a.text, WS_TABSTOP | BS_AUTOCHECKBOX, 0, a.parent, a.id, a.x, a.y, a.width,
                         a.height, sharedFonts().regular);
    if (h && a.checked) SendMessageW(h, BM_SETCHECK, BST_CHECKED, 0);
    return h;
}

void setStoredTextColor(HWND control, COLORREF color) {
    SetPropW(control, kTextColorProp, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(color) + 1));
}

std::optional<COLORREF> storedTextColor(HWND control) {
    auto v = reinterpret_cast<UINT_PTR>(GetPropW(control, kTextColorProp));
    if (v == 0) return std::nullopt;
    return static_cast<COLORREF>(v - 1);
}

void setStatusText(HWND label, std::wstring_view text, bool ok) {
    SetWindowTextW(label, std::wstring(text).c_str());
    setStoredTextColor(label, ok ? colors::kStatusOk : colors::kStatusNeutral);
    InvalidateRect(label, nullptr, TRUE);
}

std::optional<LRESULT> answerControlColor(UINT msg, WPARAM wParam, LPARAM lParam) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    HWND control = reinterpret_cast<HWND>(lParam);
    switch (msg) {
        case WM_CTLCOLOREDIT:
            SetBkColor(dc, colors::kWhite);
            return reinterpret_cast<LRESULT>(whiteBrush());
        case WM_CTLCOLORBTN:
            return reinterpret_cast<LRESULT>(GetStockObject(HOLLOW_BRUSH));
        case WM_CTLCOLORSTATIC: {
            if (GetDlgCtrlID(control) < 1000) {
                if (auto c = storedTextColor(control)) SetTextColor(dc, *c);
            }
            SetBkColor(dc, colors::kWhite);
            return reinterpret_cast<LRESULT>(whiteBrush());
        }
        default:
            return std::nullopt;
    }
}

std::wstring windowText(HWND hwnd) {
    int n = GetWindowTextLengthW(hwnd);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    n = GetWindowTextW(hwnd, s.data(), n + 1);
    s.resize(static_cast<size_t>(n < 0 ? 0 : n));
    return s;
}

std::string windowTextUtf8(HWND hwnd) {
    return toUtf8(windowText(hwnd));
}

int comboSelection(HWND combo) {
    LRESULT r = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    return r == CB_ERR ? -1 : static_cast<int>(r);
}

std::vector<std::wstring> comboItems(HWND combo) {
    std::vector<std::wstring> items;
    LRESULT n = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        LRESULT len = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
        std::wstring s(static_cast<size_t>(len) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(s.data()));
        s.resize(static_cast<size_t>(len));
        items.push_back(std::move(s));
    }
    return items;
}

void setComboItems(HWND combo, const std::vector<std::wstring>& items, int selected) {
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const std::wstring& item : items) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    SendMessageW(combo, CB_SETCURSEL, selected >= 0 ? static_cast<WPARAM>(selected) : static_cast<WPARAM>(-1), 0);
}

}  // namespace kit
