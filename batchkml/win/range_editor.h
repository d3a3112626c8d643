#pragma once
// The colour-template editor inside the drive-test tab: the owner-drawn
// template combo with a "×" on each entry, the save button, and the
// scrolling list of range rows (min, swatch, max, "-") with its "+" button.
// It keeps the tab's template list, last used name and working range list.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "batchkml/color_template.h"
#include "shell/panel.h"

namespace kit {

namespace range_id {
inline constexpr int kTemplateLabel = 215;
inline constexpr int kTemplateCombo = 205;
inline constexpr int kSaveTemplate = 206;
inline constexpr int kRangeArea = 209;
inline constexpr int kMinEdit = 600;       // + row
inline constexpr int kSwatch = 700;        // + row
inline constexpr int kMaxEdit = 800;       // + row
inline constexpr int kDeleteRange = 900;   // + row
inline constexpr int kAddRange = 1000;
}  // namespace range_id

inline constexpr int kRangeRowPitch = 22;
inline constexpr int kRangeAreaHeight = 158;

// Asks for a template's name, proposing one; nothing when cancelled.
using TemplateNamePrompt = std::function<std::optional<std::wstring>(HWND owner, const std::wstring& proposed)>;

struct RangeEditorArgs {
    HWND panel = nullptr;
    Panel* handlers = nullptr;  // the panel's command table; the editor adds its own
    HWND status = nullptr;      // the tab's status label
    std::string templatesFile;  // UTF-8 path of templates.json
};

// Loads the templates and builds the editor's controls in the panel.
void createRangeEditor(const RangeEditorArgs& args);

// Applies the range edit that has the focus, as leaving it would. The
// self-painted buttons take no focus, so a value typed just before pressing
// one would otherwise be ignored while the edit goes on showing it.
void commitRangeEdit();

// The working list as the writer takes it.
const std::vector<ColorRange>& workingRanges();
const std::vector<ColorTemplate>& editorTemplates();
std::string editorLastUsed();
bool workingModified();
HWND rangeArea();
int rangeScrollPos();

// What the "×" of entry k runs (also reachable by clicking it).
void deleteTemplateEntry(int k);

// Tests answer the save dialog here; nothing: the real dialog (class
// "SaveTmplDlg", modal over the main window).
void setTemplateNamePrompt(TemplateNamePrompt prompt);

}  // namespace kit
