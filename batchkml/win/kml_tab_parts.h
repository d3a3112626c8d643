#pragma once
// Pieces the sector and icon-map tabs share: the small modal "保存模板" dialog, column combos filled from a data table, and
// the status line during a run.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batchkml/data_table.h"
#include "batchkml/quillet_runs.h"
#include "shell/dialogs.h"

namespace kit {

// The modal name dialog of the template save buttons, client area 220 x 130
// centred on the owner's top-level window: an edit (63 characters at most)
// holding `initial` all selected, "确定" and "取消". The name, or nothing when
// cancelled or left empty.
std::optional<std::wstring> askTemplateName(HWND owner, const wchar_t* className, const std::wstring& initial);

// Runs a modal window's own loop (dialog keys included) until *done, with the
// owner's top-level window disabled meanwhile.
void runModalLoop(HWND dialog, HWND owner, const bool& done);

// Selects the column found by name; leaves the combo as it is when none.
void autoSelectColumn(HWND combo, const std::vector<std::string>& headers,
                      const std::vector<std::string_view>& candidates);
// A stored combo text back into the combo: the item of that text (ignoring
// case), or else the text itself with no item selected, so that a typed
// value does not hide behind an old column choice.
void applyComboText(HWND combo, const std::string& utf8);
// Selects the first item that begins with the text (ignoring case).
void selectComboPrefix(HWND combo, const std::wstring& text);
// At most `limit` characters of a control's text, as UTF-8.
std::string controlText(HWND control, int limit);

// The executable's folder (UTF-8) where the template files live, unless a
// test has pointed the tabs elsewhere.
std::string templatesFolder();
void setTemplatesFolderForTests(const std::string& utf8Folder);  // empty: the executable's

// The status line shown while a batch run goes through its files; painted at
// once because the run keeps the window from repainting.
void showRunStatus(HWND status, std::string_view utf8, bool ok);

// What a KML tab has read: the table of the file chosen last (of the first
// file in a batch), and the batch itself (empty in single mode).
struct KmlTabData {
    DataTable table;
    bool dataLoaded = false;
    std::string currentPath;
    std::vector<std::string> batchFiles;
};

struct DataFileChoice {
    HWND owner = nullptr;
    HWND status = nullptr;
    std::wstring title;  // of the open dialog
    std::wstring batchTitle;
    std::vector<FileFilter> filter;
    bool csvOnly = false;
    // Fills the tab's combos from the new table.
    std::function<void(const DataTable&)> loaded;
    // The status text of a single choice, from the number of data rows;
    // empty: the status line stays as it is.
    std::function<std::string(size_t rows)> loadedText;
};
// The open button: one file replaces the table and ends batch mode.
void chooseDataFile(const DataFileChoice& c, KmlTabData& data);
// The batch button: several files, the first read to fill the combos. The
// files become the batch whether or not the first can be read.
void chooseDataFiles(const DataFileChoice& c, KmlTabData& data);

struct KmlGeneration {
    HWND owner = nullptr;
    HWND status = nullptr;
    std::string fallbackName;  // "sector.kml" before any file was chosen
    std::vector<FileFilter> saveFilter;
    std::string_view workingText = kGenerating;  // the status line while a single file is written
    std::function<SingleRunResult(const std::string& outPath)> single;
    std::function<BatchRunResult(const std::string& folder, const BatchProgress& progress)> batch;
};
// After the tab's checks: a save dialog and one file, or an output folder
// and one file per batch input; the status line and box tell the outcome.
void generateKml(const KmlGeneration& g, const KmlTabData& data);

}  // namespace kit
