#pragma once
// Window classes and pop-up windows of the shell and the tabs. A class is
// registered by whoever needs it first; later calls find it and do nothing.
#include <windows.h>

namespace kit {

struct WindowClassArgs {
    const wchar_t* name = nullptr;
    WNDPROC proc = nullptr;
    UINT style = 0;
    HBRUSH background = nullptr;  // nullptr: the window paints its own background
    const wchar_t* cursor = IDC_ARROW;
};

void registerWindowClass(HINSTANCE instance, const WindowClassArgs& args);

// The window rectangle (screen coordinates) of a pop-up whose client area is
// width x height, centred over the top-level window that holds owner.
RECT popupCentredOver(HWND owner, int width, int height, DWORD style, DWORD exStyle);

}  // namespace kit
