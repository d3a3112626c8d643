#pragma once
// What every calculator tab is built from: its fonts ("Microsoft YaHei"
// labels 12 px, controls 11 px, headings 13 px bold; "Consolas" 11 px input
// fields) and small factories on the 236-pixel column the tabs share.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "calculators/help_texts.h"

namespace kit::calc {

struct Fonts {
    HFONT label, control, input, heading, arrow;
};
const Fonts& fonts();

inline constexpr int kLeft = 8, kColumn = 236;  // the column every tab lays out in

// The bold heading and an etched line across the column.
void heading(HWND panel, const wchar_t* text, int y, bool centred);
void rule(HWND panel, int y);
HWND label(HWND panel, const wchar_t* text, int x, int y, int width, int height, HFONT font = nullptr);
// A "Consolas" input field (any text; the calculations read it leniently).
HWND field(HWND panel, int id, std::string_view utf8, int x, int y, int width, int height);
HWND button(HWND panel, int id, const wchar_t* text, int x, int y, int width, int height);
HWND list(HWND panel, int id, const std::vector<std::string>& items, int selected, int x, int y, int width,
          int height);
// The result static: multi-line text, in the label font unless given another.
HWND result(HWND panel, int id, const wchar_t* text, int y, int height, HFONT font = nullptr);

// A field's text as UTF-8, and a result shown in the static.
std::string text(HWND panel, int id);
void show(HWND panel, int id, const std::string& utf8);

// Opens the tab's help dialog, or closes it when it is open.
void toggleHelp(HWND panel, const HelpText& help);

}  // namespace kit::calc
