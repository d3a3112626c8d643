#include "batchkml/win/range_editor.h"

#include <algorithm>

#include "batchkml/template_store.h"
#include "batchkml/win/kml_tab_parts.h"
#include "shell/animated_button.h"
#include "shell/colors.h"
#include "shell/controls.h"
#include "shell/dialogs.h"
#include "shell/fonts.h"
#include "shell/picture_button.h"
#include "shell/wide.h"

namespace kit {

namespace {

using namespace range_id;

constexpr COLORREF kAreaBackground = RGB(240, 240, 240);
constexpr COLORREF kItemText = RGB(50, 50, 50);
constexpr COLORREF kItemSelected = RGB(220, 235, 255);
constexpr COLORREF kDeleteMark = RGB(200, 80, 80);
constexpr int kItemHeight = 20;
constexpr int kMarkWidth = 20;  // the "×" sits in the last 20 pixels of a list entry
constexpr wchar_t kAreaClass[] = L"RangeAreaClass";
constexpr wchar_t kListProcProp[] = L"KitTemplateListProc";

struct EditorState {
    HWND panel = nullptr;
    HWND status = nullptr;
    HWND combo = nullptr;
    HWND list = nullptr;  // the combo's drop-down list, subclassed for the "×"
    HWND area = nullptr;
    std::string file;
    std::vector<ColorTemplate> templates;
    std::string lastUsed = std::string(kDefaultLastUsed);
    std::vector<ColorRange> working;
    bool modified = false;
    int scroll = 0;
    int pendingDelete = -1;  // a "×" was released over this entry
    bool rebuilding = false;
    std::vector<HBRUSH> swatchBrushes;
    HBRUSH areaBrush = nullptr;
    HFONT markFont = nullptr;
    TemplateNamePrompt prompt;
};

EditorState g;

void status(const std::string& text, bool ok) {
    if (g.status) setStatusText(g.status, toWide(text), ok);
}

HWND rowControl(int base, size_t k) { return GetDlgItem(g.area, base + static_cast<int>(k)); }

void setEditValue(int base, size_t k, double value) {
    if (HWND e = rowControl(base, k)) SetWindowTextW(e, toWide(rangeValueText(value)).c_str());
}

void freeSwatchBrushes() {
    for (HBRUSH b : g.swatchBrushes) DeleteObject(b);
    g.swatchBrushes.clear();
}

int contentHeight() { return kRangeRowPitch * static_cast<int>(g.working.size()); }
int maxScroll() { return std::max(0, contentHeight() - kRangeAreaHeight); }

void updateScrollBar() {
    g.scroll = std::clamp(g.scroll, 0, maxScroll());
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL};
    // Positions run 0 .. maxScroll(); the bar's range covers them plus a page.
    si.nMin = 0;
    si.nMax = maxScroll() + kRangeAreaHeight - 1;
    si.nPage = kRangeAreaHeight;
    si.nPos = g.scroll;
    SetScrollInfo(g.area, SB_VERT, &si, TRUE);
}

HWND areaChild(const wchar_t* cls, const std::wstring& text, DWORD style, DWORD ex, int id, int x, int y, int w,
               int h) {
    HWND c = CreateWindowExW(ex, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h, g.area,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(g.area, GWLP_HINSTANCE)), nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(sharedFonts().regular), FALSE);
    return c;
}

// Destroys and recreates every row at the current scroll offset.
void rebuildRows() {
    g.rebuilding = true;  // destroying a focused edit must not apply its text
    while (HWND child = GetWindow(g.area, GW_CHILD)) DestroyWindow(child);
    g.rebuilding = false;
    freeSwatchBrushes();
    updateScrollBar();
    const int off = -g.scroll;
    for (size_t k = 0; k < g.working.size(); ++k) {
        const ColorRange& r = g.working[k];
        int y = kRangeRowPitch * static_cast<int>(k) + off;
        int id = static_cast<int>(k);
        areaChild(L"EDIT", toWide(rangeValueText(r.min)), ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, kMinEdit + id, 0, y, 42, 16);
        areaChild(L"STATIC", L"≤", SS_CENTER, 0, -1, 44, y, 16, 16);
        g.swatchBrushes.push_back(CreateSolidBrush(r.color));
        areaChild(L"STATIC", L"", SS_NOTIFY, 0, kSwatch + id, 60, y + 2, 18, 14);
        areaChild(L"STATIC", L"<", SS_CENTER, 0, -1, 80, y, 8, 16);
        areaChild(L"EDIT", toWide(rangeValueText(r.max)), ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, kMaxEdit + id, 88, y, 42, 16);
        createButton({.parent = g.area, .id = kDeleteRange + id, .text = L"-", .kind = ButtonKind::Red, .x = 132,
                      .y = y + 3, .width = 16, .height = 12});
    }
    createButton({.parent = g.area, .id = kAddRange, .text = L"+", .kind = ButtonKind::Green, .x = 132,
                  .y = contentHeight() + 6 + off, .width = 22, .height = 12});
    InvalidateRect(g.area, nullptr, TRUE);
}

void fillCombo() {
    std::vector<std::wstring> names;
    for (const ColorTemplate& t : g.templates) names.push_back(toWide(t.name));
    setComboItems(g.combo, names, templateIndexForLastUsed(g.templates, g.lastUsed));
}

void loadWorking(int index) {
    if (index < 0 || index >= static_cast<int>(g.templates.size())) return;
    g.working = g.templates[static_cast<size_t>(index)].ranges;
    g.modified = false;
    g.scroll = 0;
    rebuildRows();
}

// ---- editor operations ----

void addRangeRow() {
    commitRangeEdit();
    if (!addRange(g.working)) return;  // seven already
    g.modified = true;
    rebuildRows();
    status("范围已添加", true);
}

void deleteRangeRow(size_t k) {
    commitRangeEdit();
    if (g.working.size() <= 1) {
        showWarning(g.panel, std::wstring_view(L"至少需要保留一个范围"));
        return;
    }
    if (!deleteRange(g.working, k)) return;
    g.modified = true;
    rebuildRows();
    status("范围已删除", false);
}

void applyEdit(int id) {
    bool isMin = id >= kMinEdit && id < kSwatch;
    size_t k = static_cast<size_t>(id - (isMin ? kMinEdit : kMaxEdit));
    if (k >= g.working.size()) return;
    std::string text = windowTextUtf8(rowControl(isMin ? kMinEdit : kMaxEdit, k));
    double value = rangeEditValue(text);
    std::vector<size_t> touched =
        isMin ? setRangeMin(g.working, k, value) : setRangeMax(g.working, k, value);
    g.modified = true;
    for (size_t t : touched) {
        setEditValue(kMinEdit, t, g.working[t].min);
        setEditValue(kMaxEdit, t, g.working[t].max);
    }
}

bool isRangeEdit(int id) { return (id >= kMinEdit && id < kSwatch) || (id >= kMaxEdit && id < kDeleteRange); }

void changeColour(size_t k) {
    if (k >= g.working.size()) return;
    std::optional<COLORREF> chosen = chooseColor(g.panel, {.initial = g.working[k].color});
    if (!chosen) return;
    g.working[k].color = *chosen & 0xFFFFFF;
    g.modified = true;
    if (k < g.swatchBrushes.size()) {
        DeleteObject(g.swatchBrushes[k]);
        g.swatchBrushes[k] = CreateSolidBrush(g.working[k].color);
    }
    InvalidateRect(rowControl(kSwatch, k), nullptr, TRUE);
}

void selectTemplate(int index) {
    if (index < 0 || index >= static_cast<int>(g.templates.size())) return;
    g.lastUsed = g.templates[static_cast<size_t>(index)].name;  // in memory until the next save
    loadWorking(index);
}

void saveTemplate() {
    commitRangeEdit();
    int sel = comboSelection(g.combo);
    std::wstring proposed = sel >= 0 && sel < static_cast<int>(g.templates.size())
                                ? toWide(g.templates[static_cast<size_t>(sel)].name)
                                : std::wstring();
    std::optional<std::wstring> name =
        g.prompt ? g.prompt(g.panel, proposed) : askTemplateName(g.panel, L"SaveTmplDlg", proposed);
    if (!name || name->empty()) return;
    std::string utf8 = toUtf8(*name);
    int index = storeTemplate(g.templates, utf8, g.working);
    if (index < 0) return;
    if (!saveTemplates(g.file, g.templates, utf8)) {
        status("保存失败", false);
        return;
    }
    g.lastUsed = utf8;
    g.modified = false;
    fillCombo();
    status("模板已保存", true);
}

void comboSelectionChanged() {
    int sel = comboSelection(g.combo);
    int pending = g.pendingDelete;
    g.pendingDelete = -1;
    if (pending >= 0 && g.templates.size() >= 2) {
        deleteTemplateEntry(pending);
        return;
    }
    selectTemplate(sel);
}

// ---- windows ----

LRESULT CALLBACK listProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto previous = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kListProcProp));
    if (msg == WM_LBUTTONUP) {
        POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        LRESULT hit = SendMessageW(hwnd, LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y));
        int item = LOWORD(hit);
        RECT r{};
        if (HIWORD(hit) == 0 && SendMessageW(hwnd, LB_GETITEMRECT, static_cast<WPARAM>(item),
                                             reinterpret_cast<LPARAM>(&r)) != LB_ERR &&
            pt.y >= r.top && pt.y < r.bottom && pt.x >= r.right - kMarkWidth && pt.x < r.right)
            g.pendingDelete = item;
    } else if (msg == WM_NCDESTROY) {
        RemovePropW(hwnd, kListProcProp);
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        if (g.list == hwnd) g.list = nullptr;
    }
    return CallWindowProcW(previous, hwnd, msg, wParam, lParam);
}

void subclassList() {
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (!GetComboBoxInfo(g.combo, &info) || !info.hwndList || GetPropW(info.hwndList, kListProcProp)) return;
    g.list = info.hwndList;
    SetPropW(g.list, kListProcProp,
             reinterpret_cast<HANDLE>(SetWindowLongPtrW(g.list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listProc))));
}

void drawItem(const DRAWITEMSTRUCT& d) {
    if (d.itemID == static_cast<UINT>(-1)) return;
    bool field = (d.itemState & ODS_COMBOBOXEDIT) != 0;
    bool selected = (d.itemState & ODS_SELECTED) != 0;
    HBRUSH bg = CreateSolidBrush(selected ? kItemSelected : colors::kWhite);
    FillRect(d.hDC, &d.rcItem, bg);
    DeleteObject(bg);
    wchar_t name[256] = {};
    if (SendMessageW(d.hwndItem, CB_GETLBTEXTLEN, d.itemID, 0) < 256)
        SendMessageW(d.hwndItem, CB_GETLBTEXT, d.itemID, reinterpret_cast<LPARAM>(name));
    SetBkMode(d.hDC, TRANSPARENT);
    SetTextColor(d.hDC, kItemText);
    HGDIOBJ old = SelectObject(d.hDC, sharedFonts().regular);
    RECT text = d.rcItem;
    text.left += 4;
    if (!field) text.right -= kMarkWidth;
    DrawTextW(d.hDC, name, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
    if (!field) {
        SelectObject(d.hDC, g.markFont);
        SetTextColor(d.hDC, kDeleteMark);
        RECT mark{d.rcItem.right - kMarkWidth, d.rcItem.top, d.rcItem.right, d.rcItem.bottom};
        DrawTextW(d.hDC, L"×", 1, &mark, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
    SelectObject(d.hDC, old);
}

void scrollTo(int pos) {
    commitRangeEdit();
    int clamped = std::clamp(pos, 0, maxScroll());
    if (clamped == g.scroll) return;
    g.scroll = clamped;
    rebuildRows();
}

LRESULT CALLBACK areaProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ERASEBKGND: {
            RECT rc;
            GetClientRect(hwnd, &rc);
            FillRect(reinterpret_cast<HDC>(wParam), &rc, g.areaBrush);
            return 1;
        }
        case WM_CTLCOLORSTATIC: {
            HWND c = reinterpret_cast<HWND>(lParam);
            int id = GetDlgCtrlID(c);
            if (id >= kSwatch && id < kMaxEdit && static_cast<size_t>(id - kSwatch) < g.swatchBrushes.size())
                return reinterpret_cast<LRESULT>(g.swatchBrushes[static_cast<size_t>(id - kSwatch)]);
            SetBkColor(reinterpret_cast<HDC>(wParam), kAreaBackground);
            return reinterpret_cast<LRESULT>(g.areaBrush);
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
            if (auto r = answerControlColor(msg, wParam, lParam)) return *r;
            break;
        case WM_COMMAND: {
            int id = LOWORD(wParam), code = HIWORD(wParam);
            if (code == EN_KILLFOCUS && isRangeEdit(id)) {
                if (!g.rebuilding) applyEdit(id);
                return 0;
            }
            if (code == STN_CLICKED && id >= kSwatch && id < kMaxEdit) {
                changeColour(static_cast<size_t>(id - kSwatch));
                return 0;
            }
            if (code == BN_CLICKED && id >= kDeleteRange && id < kAddRange) {
                deleteRangeRow(static_cast<size_t>(id - kDeleteRange));
                return 0;
            }
            if (code == BN_CLICKED && id == kAddRange) {
                addRangeRow();
                return 0;
            }
            break;
        }
        case WM_VSCROLL: {
            SCROLLINFO si{sizeof(si), SIF_ALL};
            GetScrollInfo(hwnd, SB_VERT, &si);
            int pos = g.scroll;
            switch (LOWORD(wParam)) {
                case SB_LINEUP: pos -= kRangeRowPitch; break;
                case SB_LINEDOWN: pos += kRangeRowPitch; break;
                case SB_PAGEUP: pos -= kRangeAreaHeight; break;
                case SB_PAGEDOWN: pos += kRangeAreaHeight; break;
                case SB_THUMBTRACK:
                case SB_THUMBPOSITION: pos = si.nTrackPos; break;
                case SB_TOP: pos = 0; break;
                case SB_BOTTOM: pos = maxScroll(); break;
                default: break;
            }
            scrollTo(pos);
            return 0;
        }
        case WM_MOUSEWHEEL: {
            int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
            scrollTo(g.scroll - notches * kRangeRowPitch);
            return 0;  // the wheel scrolls the list here, it does not switch tabs
        }
        case WM_DESTROY:
            freeSwatchBrushes();
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void registerAreaClass(HINSTANCE inst) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(inst, kAreaClass, &wc)) return;
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = areaProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kAreaClass;
    RegisterClassExW(&wc);
}

}  // namespace

void createRangeEditor(const RangeEditorArgs& a) {
    TemplateNamePrompt prompt = std::move(g.prompt);  // survives a rebuilt tab
    if (g.areaBrush) DeleteObject(g.areaBrush);
    if (g.markFont) DeleteObject(g.markFont);
    freeSwatchBrushes();
    g = EditorState{};
    g.prompt = std::move(prompt);
    g.panel = a.panel;
    g.status = a.status;
    g.file = a.templatesFile;
    g.areaBrush = CreateSolidBrush(kAreaBackground);
    g.markFont = createFont(L"Arial", 12, FW_BOLD);
    g.templates = loadTemplates(g.file, g.lastUsed);

    Panel& p = *a.handlers;
    p.onMessage(WM_MEASUREITEM, [](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (m->CtlID != static_cast<UINT>(kTemplateCombo)) return std::nullopt;
        m->itemHeight = kItemHeight;
        return TRUE;
    });
    p.onMessage(WM_DRAWITEM, [](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (d->CtlID != static_cast<UINT>(kTemplateCombo)) return std::nullopt;
        drawItem(*d);
        return TRUE;
    });
    p.onNotify(kTemplateCombo, CBN_SELCHANGE, comboSelectionChanged);
    // Releasing over the "×" of the entry already selected changes nothing,
    // so no selection change follows: the close-up carries the request then.
    p.onNotify(kTemplateCombo, CBN_CLOSEUP, [] {
        if (g.pendingDelete >= 0) comboSelectionChanged();
    });
    p.onCommand(kSaveTemplate, saveTemplate);

    createLabel({.parent = a.panel, .id = kTemplateLabel, .text = L"模板:", .x = 2, .y = 92, .width = 32, .height = 20});
    auto inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(a.panel, GWLP_HINSTANCE));
    g.combo = CreateWindowExW(0, L"COMBOBOX", L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED |
                                  CBS_HASSTRINGS,
                              34, 92, 126, 200, a.panel, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTemplateCombo)),
                              inst, nullptr);
    SendMessageW(g.combo, WM_SETFONT, reinterpret_cast<WPARAM>(sharedFonts().regular), FALSE);
    subclassList();
    createPictureButton(
        {.parent = a.panel, .id = kSaveTemplate, .icon = L"resources\\icons\\save.png", .x = 162, .y = 92, .width = 24, .height = 24});

    registerAreaClass(inst);
    g.area = CreateWindowExW(0, kAreaClass, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_CLIPCHILDREN, 2, 124, 188,
                             kRangeAreaHeight, a.panel, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kRangeArea)),
                             inst, nullptr);

    fillCombo();
    loadWorking(templateIndexForLastUsed(g.templates, g.lastUsed));
}

void deleteTemplateEntry(int k) {
    if (k < 0 || k >= static_cast<int>(g.templates.size())) return;
    if (g.templates.size() < 2) {  // the only template: a plain selection
        SendMessageW(g.combo, CB_SETCURSEL, static_cast<WPARAM>(k), 0);
        selectTemplate(k);
        return;
    }
    std::wstring question = L"确定要删除模板 \"" + toWide(g.templates[static_cast<size_t>(k)].name) + L"\" 吗？";
    if (!askYesNo(g.panel, L"删除模板", question)) {
        SendMessageW(g.combo, CB_SETCURSEL, static_cast<WPARAM>(k), 0);
        selectTemplate(k);
        return;
    }
    removeTemplate(g.templates, static_cast<size_t>(k));
    g.lastUsed = g.templates.front().name;
    bool saved = saveTemplates(g.file, g.templates, g.lastUsed);
    fillCombo();
    SendMessageW(g.combo, CB_SETCURSEL, 0, 0);
    loadWorking(0);
    // The list changed either way; only the status tells whether the file did.
    status(saved ? "模板已删除" : "保存失败", saved);
}

void commitRangeEdit() {
    HWND focus = GetFocus();
    if (!focus || !g.area || GetParent(focus) != g.area || g.rebuilding) return;
    int id = GetDlgCtrlID(focus);
    // Applying twice changes nothing: the edit already shows the stored value.
    if (isRangeEdit(id)) applyEdit(id);
}

const std::vector<ColorRange>& workingRanges() { return g.working; }
const std::vector<ColorTemplate>& editorTemplates() { return g.templates; }
std::string editorLastUsed() { return g.lastUsed; }
bool workingModified() { return g.modified; }
HWND rangeArea() { return g.area; }
int rangeScrollPos() { return g.scroll; }
void setTemplateNamePrompt(TemplateNamePrompt prompt) { g.prompt = std::move(prompt); }

}  // namespace kit
