#pragma once
// The help window every tab's "?" button opens: a second press, the close
// button, a click into the window, a tab switch or a move of the main window
// closes it.
#include <windows.h>

#include <string>
#include <string_view>

#include "shell/control_ids.h"

namespace kit {

inline constexpr int kHelpWidth = 500;
inline constexpr int kHelpHeight = 320;

// Opens the help window beside the owner's top-level window, or closes it when
// one is open (the button toggles).
void showHelp(HWND owner, std::wstring_view title, std::wstring_view text);
void closeHelp();

// A tab's "?" button, which opens and closes this help text; its parent must
// be a panel (createPanel). Every Plotvane tab has it at the right edge.
struct HelpButtonCreateArgs {
    HWND parent = nullptr;
    int id = kHelpId;
    int x = 152, y = 0, width = 28, height = 24;
    std::wstring title, text;
};
HWND createHelpButton(const HelpButtonCreateArgs& args);
HWND helpWindow();  // nullptr when none is open

// The class name of help windows (programs may name their own).
void setHelpWindowClass(const wchar_t* className);

// Top-left corner for a window of `size` beside `reference`: to its right,
// else to its left, then kept inside the work area.
POINT helpWindowPosition(const RECT& reference, const RECT& workArea, SIZE size = {kHelpWidth, kHelpHeight});

}  // namespace kit
