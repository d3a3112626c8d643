#pragma once
// Message boxes, file dialogs, Explorer and the pop-up menu, behind one small
// interface. The program uses the system's; tests install a recording one so
// that pressing a button never blocks on a modal box.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/outcome.h"

namespace kit {

// One entry of a file-type list: what the dialog shows and its patterns
// ("*.geojson;*.json").
struct FileFilter {
    std::wstring display;
    std::wstring pattern;
};

// Where the colour chooser starts. A chooser that keeps its custom colours
// passes its own 16 (read, and written back when the user changes them) and
// usually opens with the custom-colour panel shown; without them the custom
// colours are all black and forgotten after.
struct ColorRequest {
    COLORREF initial = 0;
    COLORREF* customColors = nullptr;  // 16 of them
    bool fullOpen = false;
};

struct MenuItem {
    int command;
    std::wstring text;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Boxes titled "警告", "错误" and "成功", OK only; return once closed.
    virtual void showWarning(HWND owner, const std::wstring& text) = 0;
    virtual void showError(HWND owner, const std::wstring& text) = 0;
    virtual void showSuccess(HWND owner, const std::wstring& text) = 0;
    // Paths, or empty text / an empty list when cancelled.
    virtual std::wstring chooseOpenFile(HWND owner, const std::wstring& title, const std::vector<FileFilter>& filter) = 0;
    virtual std::wstring chooseSaveFile(HWND owner, const std::wstring& title, const std::wstring& proposedName,
                                        const std::vector<FileFilter>& filter) = 0;
    virtual std::vector<std::wstring> chooseOpenFiles(HWND owner, const std::wstring& title,
                                                      const std::vector<FileFilter>& filter) = 0;
    virtual std::wstring chooseFolder(HWND owner, const std::wstring& title, const std::wstring& initialFolder) = 0;
    // Explorer with the file selected; the outcome is ignored.
    virtual void revealInExplorer(HWND owner, const std::wstring& path) = 0;
    // A pop-up menu at a screen point; the chosen command, 0 when dismissed.
    virtual int choosePopupCommand(HWND owner, POINT screen, const std::vector<MenuItem>& items) = 0;
    // The system colour chooser (any colour); the chosen colour, or nothing
    // when cancelled.
    virtual std::optional<COLORREF> chooseColor(HWND owner, const ColorRequest& request) = 0;
    // A warning box with Yes and No; true for Yes.
    virtual bool askYesNo(HWND owner, const std::wstring& title, const std::wstring& text) = 0;
};

// The implementation in use (the system's unless a test installed another).
Dialogs& dialogs();
// Installs an implementation (nullptr: back to the system's); returns the previous one.
Dialogs* setDialogs(Dialogs* replacement);

// Shorthands through dialogs(). Texts in UTF-16 or UTF-8.
void showWarning(HWND owner, std::wstring_view text);
void showError(HWND owner, std::wstring_view text);
void showSuccess(HWND owner, std::wstring_view text);
void showWarning(HWND owner, std::string_view utf8);
void showError(HWND owner, std::string_view utf8);
void showSuccess(HWND owner, std::string_view utf8);
std::wstring chooseOpenFile(HWND owner, const std::wstring& title, const std::vector<FileFilter>& filter);
std::wstring chooseSaveFile(HWND owner, const std::wstring& title, const std::wstring& proposedName,
                            const std::vector<FileFilter>& filter);
std::vector<std::wstring> chooseOpenFiles(HWND owner, const std::wstring& title, const std::vector<FileFilter>& filter);
std::wstring chooseFolder(HWND owner, const std::wstring& title, const std::wstring& initialFolder = {});
void revealInExplorer(HWND owner, const std::wstring& path);
std::optional<COLORREF> chooseColor(HWND owner, const ColorRequest& request);
bool askYesNo(HWND owner, const std::wstring& title, const std::wstring& text);

// The box that matches a run's status, with its message.
void showOutcomeMessage(HWND owner, const Outcome& outcome);

// Runs a handler; when it runs out of memory, everything it held is released
// on the way out and the error box says so ("内存不足") instead of the
// program ending. Files are only ever replaced whole, so none is left half
// written. False when the handler did not finish.
bool runOrReportOutOfMemory(HWND owner, const std::function<void()>& action);

// The double-NUL-terminated filter string of the common dialogs.
std::wstring filterString(const std::vector<FileFilter>& filter);
// Splits a multi-selection result ("dir\0a\0b\0\0", or one full path).
std::vector<std::wstring> splitMultiSelection(const wchar_t* buffer);

}  // namespace kit
