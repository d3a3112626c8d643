#pragma once
// Control factories for the tab panels. Each takes a small ...CreateArgs with
// defaulted fields, creates a visible child with the shared font and returns it.
//
//   HWND edit = createEdit({.parent = panel, .id = 11, .text = L"1", .x = 118, .y = 124, .width = 60, .height = 22});
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/number_input.h"

namespace kit {

// Every factory takes an optional font; without one it uses the shared font
// of its kind.
struct LabelCreateArgs {
    HWND parent = nullptr;
    int id = 0;
    std::wstring text;
    int x = 0, y = 0, width = 50, height = 20;
    HFONT font = nullptr;
    bool centred = false;
};
HWND createLabel(const LabelCreateArgs& args);

// Small font, grey text colour stored on it; "未获取" unless a text is given.
struct StatusLabelCreateArgs {
    HWND parent = nullptr;
    int id = 0;
    std::wstring text;
    int x = 0, y = 0, width = 190, height = 20;
};
HWND createStatusLabel(const StatusLabelCreateArgs& args);

// Single-line edit with a sunken edge and auto horizontal scroll, taking
// what its `input` allows (number_input.h).
struct EditCreateArgs {
    HWND parent = nullptr;
    int id = 0;
    std::wstring text;
    int x = 0, y = 0, width = 60, height = 28;
    EditInput input = EditInput::Digits;
    bool enabled = true;
    HFONT font = nullptr;
};
HWND createEdit(const EditCreateArgs& args);

// Drop-down list (not sorted, vertical scroll bar); the height includes the
// open list. An editable one also takes typed text, shown from `text`.
struct DropDownCreateArgs {
    HWND parent = nullptr;
    int id = 0;
    int x = 0, y = 0, width = 120, height = 200;
    bool enabled = true;
    bool editable = false;
    std::wstring text;
    HFONT font = nullptr;
};
HWND createDropDown(const DropDownCreateArgs& args);
// Replaces the list's items (UTF-8), in order, and selects one (-1: none).
void setComboItems(HWND combo, const std::vector<std::string>& items, int selected = -1);

// The system's own push button (not self-painted), for tools that want the
// plain look.
struct PushButtonCreateArgs {
    HWND parent = nullptr;
    int id = 0;
    std::wstring text;
    int x = 0, y = 0, width = 80, height = 24;
    HFONT font = nullptr;
};
HWND createPushButton(const PushButtonCreateArgs& args);

// An etched horizontal separator line.
struct EtchedLineCreateArgs {
    HWND parent = nullptr;
    int x = 0, y = 0, width = 100, height = 2;
};
HWND createEtchedLine(const EtchedLineCreateArgs& args);

// A "经度:"-style label with its drop-down list on one row: the label at x,
// the list right after it. The defaults line up the column lists of most
// tabs; a tab with narrow lists or wider labels moves the seam.
struct LabeledDropDownCreateArgs {
    HWND parent = nullptr;
    int labelId = 0;
    std::wstring label;
    int listId = 0;
    int x = 18, y = 0;
    int labelWidth = 40;  // the list starts where the label ends
    int listWidth = 120;
    int labelDrop = 0;    // the label's top below the list's, to centre it on a taller list
    bool enabled = false;
    bool editable = false;  // also takes typed text, shown from `text`
    std::wstring text;
    std::vector<std::string> items;  // UTF-8, for a list that offers fixed choices
    int selected = 0;                // the choice selected among `items`
};
struct LabeledDropDown {
    HWND label = nullptr, list = nullptr;
};
LabeledDropDown createLabeledDropDown(const LabeledDropDownCreateArgs& args);

struct CheckBoxCreateArgs {
    HWND parent = nullptr;
    int id = 0;
    std::wstring text;
    int x = 0, y = 0, width = 130, height = 24;
    bool checked = false;
};
HWND createCheckBox(const CheckBoxCreateArgs& args);

// The text colour stored on a static control (painted by its panel).
void setStoredTextColor(HWND control, COLORREF color);
std::optional<COLORREF> storedTextColor(HWND control);

// Status label text in green (ok) or grey, repainted at once.
void setStatusText(HWND label, std::wstring_view text, bool ok);

// The colour convention every panel and the main window answer their
// children's WM_CTLCOLOR* requests with: edits on white, buttons hollow (they
// paint themselves), static controls on white in their stored colour (IDs
// below 1000). Empty for any other message.
std::optional<LRESULT> answerControlColor(UINT msg, WPARAM wParam, LPARAM lParam);

// Window text as UTF-16 / as UTF-8, and the drop-down list's selection.
std::wstring windowText(HWND hwnd);
std::string windowTextUtf8(HWND hwnd);
int comboSelection(HWND combo);  // -1 when nothing is selected
std::vector<std::wstring> comboItems(HWND combo);
// Replaces the list's items and selects one (-1: none).
void setComboItems(HWND combo, const std::vector<std::wstring>& items, int selected = -1);

}  // namespace kit
