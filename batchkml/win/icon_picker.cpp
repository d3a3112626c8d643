#include "batchkml/win/icon_picker.h"

#include <algorithm>

#include "batchkml/icon_catalog.h"
#include "batchkml/win/kml_tab_parts.h"
#include "shell/fonts.h"
#include "shell/images.h"
#include "shell/wide.h"
#include "shell/window_class.h"

namespace kit {

namespace {

constexpr wchar_t kAreaClass[] = L"IconPickerArea";
constexpr wchar_t kCellClass[] = L"IconPickerCell";
constexpr COLORREF kDialogBack = RGB(240, 240, 240);
constexpr COLORREF kCellBack = RGB(245, 245, 245);
constexpr COLORREF kCellHot = RGB(220, 235, 255);
constexpr COLORREF kCellFrame = RGB(33, 150, 243);
constexpr int kCell = 38, kPitch = 42, kColumns = 10;
constexpr int kAreaHeight = 332, kScrollMax = 302;

struct PickerState {
    bool done = false;
    std::optional<size_t> chosen;
};

HBRUSH dialogBrush() {
    static HBRUSH brush = CreateSolidBrush(kDialogBack);
    return brush;
}

void fillRect(HDC dc, const RECT& r, COLORREF color) {
    HBRUSH b = CreateSolidBrush(color);
    FillRect(dc, &r, b);
    DeleteObject(b);
}

PickerState* stateOf(HWND anyPart) {
    HWND dlg = GetAncestor(anyPart, GA_ROOT);
    return reinterpret_cast<PickerState*>(GetWindowLongPtrW(dlg, GWLP_USERDATA));
}

LRESULT CALLBACK cellProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_MOUSEMOVE:
            if (!GetPropW(hwnd, L"Hot")) {
                SetPropW(hwnd, L"Hot", reinterpret_cast<HANDLE>(1));
                TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, hwnd, 0};
                TrackMouseEvent(&t);
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            return 0;
        case WM_MOUSELEAVE:
            RemovePropW(hwnd, L"Hot");
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_LBUTTONUP:
            if (PickerState* s = stateOf(hwnd)) {
                s->chosen = static_cast<size_t>(GetDlgCtrlID(hwnd) - kIconPickerFirstId);
                s->done = true;
            }
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT rc;
            GetClientRect(hwnd, &rc);
            const bool hot = GetPropW(hwnd, L"Hot") != nullptr;
            fillRect(dc, rc, hot ? kCellHot : kCellBack);
            if (hot) {
                HBRUSH frame = CreateSolidBrush(kCellFrame);
                FrameRect(dc, &rc, frame);
                DeleteObject(frame);
            }
            const size_t i = static_cast<size_t>(GetDlgCtrlID(hwnd) - kIconPickerFirstId);
            if (i < kIconCount) {
                Image img = loadImageFile(kmlIconPath(std::string(iconCatalog()[i].localFile)));
                if (img) drawImage(dc, img, (rc.right - 34) / 2, (rc.bottom - 34) / 2, 34, 34);
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_NCDESTROY:
            RemovePropW(hwnd, L"Hot");
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void scrollArea(HWND area, int code) {
    SCROLLINFO si{sizeof(si), SIF_ALL};
    GetScrollInfo(area, SB_VERT, &si);
    int pos = si.nPos;
    switch (code) {
        case SB_LINEUP: pos -= kPitch; break;
        case SB_LINEDOWN: pos += kPitch; break;
        case SB_PAGEUP: pos -= static_cast<int>(si.nPage); break;
        case SB_PAGEDOWN: pos += static_cast<int>(si.nPage); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: pos = si.nTrackPos; break;
        case SB_TOP: pos = si.nMin; break;
        case SB_BOTTOM: pos = si.nMax; break;
        default: break;
    }
    pos = std::clamp(pos, si.nMin, std::max(si.nMin, si.nMax - static_cast<int>(si.nPage) + 1));
    const int old = si.nPos;
    if (pos == old) return;
    si.fMask = SIF_POS;
    si.nPos = pos;
    SetScrollInfo(area, SB_VERT, &si, TRUE);
    ScrollWindowEx(area, 0, old - pos, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE);
}

LRESULT CALLBACK areaProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_VSCROLL:
            scrollArea(hwnd, LOWORD(wParam));
            return 0;
        case WM_ERASEBKGND: {
            RECT rc;
            GetClientRect(hwnd, &rc);
            FillRect(reinterpret_cast<HDC>(wParam), &rc, dialogBrush());
            return 1;
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK pickerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_NCCREATE:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
            break;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL) {
                if (PickerState* s = stateOf(hwnd)) s->done = true;
                return 0;
            }
            break;
        case WM_CLOSE:
            if (PickerState* s = stateOf(hwnd)) s->done = true;
            return 0;
        case WM_CTLCOLORSTATIC:
            SetBkColor(reinterpret_cast<HDC>(wParam), kDialogBack);
            return reinterpret_cast<LRESULT>(dialogBrush());
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND buildPicker(HWND owner, PickerState& state) {
    auto inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
    registerWindowClass(inst, {.name = kIconPickerClass, .proc = pickerProc, .background = dialogBrush()});
    registerWindowClass(inst, {.name = kAreaClass, .proc = areaProc});
    registerWindowClass(inst, {.name = kCellClass, .proc = cellProc});

    // The client area holds the 440 x 380 layout whole.
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU, exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    const RECT at = popupCentredOver(owner, 440, 380, style, exStyle);
    HWND dlg = CreateWindowExW(exStyle, kIconPickerClass, L"选择图标", style, at.left, at.top, at.right - at.left,
                               at.bottom - at.top, GetAncestor(owner, GA_ROOT), nullptr, inst, &state);
    if (!dlg) return nullptr;

    HWND area = CreateWindowExW(0, kAreaClass, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_CLIPCHILDREN, 4, 8, 416,
                                kAreaHeight, dlg, nullptr, inst, nullptr);
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, kScrollMax, kAreaHeight, 0, 0};
    SetScrollInfo(area, SB_VERT, &si, TRUE);
    for (size_t i = 0; i < kIconCount; ++i) {
        const int col = static_cast<int>(i % kColumns), row = static_cast<int>(i / kColumns);
        CreateWindowExW(0, kCellClass, L"", WS_CHILD | WS_VISIBLE, 4 + kPitch * col, 4 + kPitch * row, kCell, kCell,
                        area, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIconPickerFirstId + i)), inst, nullptr);
    }
    HFONT font = sharedFonts().regular;
    HWND hint = CreateWindowExW(0, L"STATIC", L"点击图标即可选择并关闭", WS_CHILD | WS_VISIBLE, 10, 344, 240, 26, dlg,
                                nullptr, inst, nullptr);
    HWND cancel = CreateWindowExW(0, L"BUTTON", L"取消", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 350, 344, 80, 26, dlg,
                                  reinterpret_cast<HMENU>(IDCANCEL), inst, nullptr);
    for (HWND c : {hint, cancel}) SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ShowWindow(dlg, SW_SHOW);
    SetFocus(cancel);
    return dlg;
}

}  // namespace

std::wstring kmlIconPath(const std::string& localFile) {
    return resourcePath(L"resources\\kml_icons\\" + toWide(localFile));
}

std::optional<IconChoice> pickIcon(HWND owner) {
    PickerState state;
    HWND dlg = buildPicker(owner, state);
    if (!dlg) return std::nullopt;
    runModalLoop(dlg, owner, state.done);
    if (!state.chosen || *state.chosen >= kIconCount) return std::nullopt;
    const IconCatalogEntry& e = iconCatalog()[*state.chosen];
    return IconChoice{iconUrl(e), iconNameOf(e.localFile), std::string(e.localFile)};
}

HWND createIconPreview(HWND parent, int id, int x, int y, int width, int height) {
    auto inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    return CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW | SS_NOTIFY, x, y, width, height,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst, nullptr);
}

void drawIconPreview(const DRAWITEMSTRUCT& d, const std::wstring& picturePath) {
    const RECT& r = d.rcItem;
    fillRect(d.hDC, r, RGB(255, 255, 255));
    HBRUSH frame = CreateSolidBrush(RGB(180, 200, 230));
    FrameRect(d.hDC, &r, frame);
    DeleteObject(frame);
    Image img = loadImageFile(picturePath);
    if (!img) return;
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int side = std::max(0, std::min(w, h) - 4);
    drawImage(d.hDC, img, r.left + (w - side) / 2, r.top + (h - side) / 2, side, side);
}

}  // namespace kit
