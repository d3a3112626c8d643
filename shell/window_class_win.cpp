#include "shell/window_class.h"

namespace kit {

void registerWindowClass(HINSTANCE instance, const WindowClassArgs& args) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(instance, args.name, &wc)) return;
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof(wc);
    wc.style = args.style;
    wc.lpfnWndProc = args.proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, args.cursor);
    wc.hbrBackground = args.background;
    wc.lpszClassName = args.name;
    RegisterClassExW(&wc);
}

RECT popupCentredOver(HWND owner, int width, int height, DWORD style, DWORD exStyle) {
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    HWND top = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    RECT ref{};
    GetWindowRect(top ? top : owner, &ref);
    const int x = (ref.left + ref.right - w) / 2, y = (ref.top + ref.bottom - h) / 2;
    return {x, y, x + w, y + h};
}

}  // namespace kit
