#include "calculators/win/tab_controls.h"

#include "shell/controls.h"
#include "shell/fonts.h"
#include "shell/help_window.h"
#include "shell/wide.h"

namespace kit::calc {

const Fonts& fonts() {
    static const Fonts f{
        createFont(L"Microsoft YaHei", 12, FW_NORMAL), createFont(L"Microsoft YaHei", 11, FW_NORMAL),
        createFont(L"Consolas", 11, FW_NORMAL),        createFont(L"Microsoft YaHei", 13, FW_BOLD),
        createFont(L"Microsoft YaHei", 16, FW_NORMAL),
    };
    return f;
}

void heading(HWND panel, const wchar_t* text, int y, bool centred) {
    createLabel({.parent = panel, .text = text, .x = kLeft, .y = y, .width = kColumn, .height = 18,
                 .font = fonts().heading, .centred = centred});
}

void rule(HWND panel, int y) { createEtchedLine({.parent = panel, .x = kLeft, .y = y, .width = kColumn}); }

HWND label(HWND panel, const wchar_t* text, int x, int y, int width, int height, HFONT font) {
    return createLabel({.parent = panel, .text = text, .x = x, .y = y, .width = width, .height = height,
                        .font = font ? font : fonts().label});
}

HWND field(HWND panel, int id, std::string_view utf8, int x, int y, int width, int height) {
    return createEdit({.parent = panel, .id = id, .text = toWide(utf8), .x = x, .y = y, .width = width,
                       .height = height, .input = EditInput::Text, .font = fonts().input});
}

HWND button(HWND panel, int id, const wchar_t* text, int x, int y, int width, int height) {
    return createPushButton({.parent = panel, .id = id, .text = text, .x = x, .y = y, .width = width,
                             .height = height, .font = fonts().control});
}

HWND list(HWND panel, int id, const std::vector<std::string>& items, int selected, int x, int y, int width,
          int height) {
    HWND h = createDropDown(
        {.parent = panel, .id = id, .x = x, .y = y, .width = width, .height = height, .font = fonts().control});
    setComboItems(h, items, selected);
    return h;
}

HWND result(HWND panel, int id, const wchar_t* text, int y, int height, HFONT font) {
    return createLabel({.parent = panel, .id = id, .text = text, .x = kLeft, .y = y, .width = kColumn,
                        .height = height, .font = font ? font : fonts().label});
}

std::string text(HWND panel, int id) { return windowTextUtf8(GetDlgItem(panel, id)); }

void show(HWND panel, int id, const std::string& utf8) { SetWindowTextW(GetDlgItem(panel, id), toWide(utf8).c_str()); }

void toggleHelp(HWND panel, const HelpText& help) { showHelp(panel, toWide(help.title), toWide(help.text)); }

}  // namespace kit::calc
