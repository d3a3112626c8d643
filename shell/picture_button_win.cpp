#include "shell/picture_button.h"

#include <algorithm>

#include "shell/colors.h"
#include "shell/images.h"

namespace kit {

namespace {

constexpr wchar_t kPathProp[] = L"IconPath";
constexpr wchar_t kProcProp[] = L"KitPictureProc";

// The path lives in a heap copy owned by the window, so the property stays
// valid whatever the caller does with its own string.
const wchar_t* storedPath(HWND hwnd) { return static_cast<const wchar_t*>(GetPropW(hwnd, kPathProp)); }

void paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    HBRUSH white = CreateSolidBrush(colors::kWhite);
    FillRect(dc, &rc, white);
    DeleteObject(white);
    if (const wchar_t* path = storedPath(hwnd)) {
        // Loaded per paint: the buttons are few and small, and a picture
        // replaced on disk shows up without a restart.
        Image image = loadImageFile(path);
        if (image) {
            int side = pictureSide(rc.right, rc.bottom);
            drawImage(dc, image, (rc.right - side) / 2, (rc.bottom - side) / 2, side, side);
        }
    }
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK pictureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto previous = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kProcProp));
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            paint(hwnd);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            return 0;  // the static's own click notice would send the command a second time
        case WM_LBUTTONUP:
            SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                         reinterpret_cast<LPARAM>(hwnd));
            return 0;
        case WM_NCDESTROY: {
            if (auto* path = static_cast<wchar_t*>(RemovePropW(hwnd, kPathProp))) delete[] path;
            RemovePropW(hwnd, kProcProp);
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
            return CallWindowProcW(previous, hwnd, msg, wParam, lParam);
        }
        default:
            return CallWindowProcW(previous, hwnd, msg, wParam, lParam);
    }
}

}  // namespace

int pictureSide(int clientWidth, int clientHeight) { return std::max(16, std::min(clientWidth, clientHeight) - 4); }

HWND createPictureButton(const PictureButtonCreateArgs& a) {
    HWND hwnd = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, a.x, a.y, a.width, a.height,
                                a.parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(a.id)),
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(a.parent, GWLP_HINSTANCE)), nullptr);
    if (!hwnd) return nullptr;
    std::wstring full = resourcePath(a.icon);
    auto* copy = new wchar_t[full.size() + 1];
    std::copy(full.c_str(), full.c_str() + full.size() + 1, copy);
    SetPropW(hwnd, kPathProp, copy);
    SetPropW(hwnd, kProcProp,
             reinterpret_cast<HANDLE>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pictureProc))));
    InvalidateRect(hwnd, nullptr, TRUE);
    return hwnd;
}

std::wstring pictureButtonPath(HWND button) {
    if (!button || GetPropW(button, kProcProp) == nullptr) return {};
    const wchar_t* p = storedPath(button);
    return p ? std::wstring(p) : std::wstring();
}

}  // namespace kit
