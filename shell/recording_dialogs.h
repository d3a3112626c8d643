#pragma once
// A Dialogs that records every call and answers from queues, for tests.
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "shell/dialogs.h"

namespace kit {

class RecordingDialogs : public Dialogs {
public:
    struct Call {
        std::string kind;  // "warning", "error", "success", "open", "save", "openFiles", "folder", "reveal", "menu", "color", "yesno"
        HWND owner;
        std::wstring title;  // dialog title, proposed name for "save"
        std::wstring text;   // message, or the path for "reveal"
        std::vector<FileFilter> filter = {};  // file types of "open", "save" and "openFiles"
        // "color": the panel shown open, and the custom colours it was given
        // (none when the chooser keeps none).
        bool fullOpen = false;
        std::vector<COLORREF> customColors = {};
    };
    std::vector<Call> calls;
    std::deque<std::wstring> pathAnswers;                // open/save/folder; empty text when exhausted
    std::deque<std::vector<std::wstring>> filesAnswers;  // chooseOpenFiles
    std::deque<int> menuAnswers;                         // choosePopupCommand; 0 when exhausted
    std::deque<std::optional<COLORREF>> colorAnswers;    // chooseColor; cancelled when exhausted
    // chooseColor: a custom colour the user sets (slot, colour) while choosing.
    std::deque<std::pair<int, COLORREF>> customColorEdits;
    std::deque<bool> yesNoAnswers;                       // askYesNo; No when exhausted

    RecordingDialogs() : previous_(setDialogs(this)) {}
    ~RecordingDialogs() override { setDialogs(previous_); }
    RecordingDialogs(const RecordingDialogs&) = delete;
    RecordingDialogs& operator=(const RecordingDialogs&) = delete;

    // Calls of one kind, in order.
    std::vector<Call> of(const std::string& kind) const {
        std::vector<Call> out;
        for (const Call& c : calls)
            if (c.kind == kind) out.push_back(c);
        return out;
    }
    // The text of the only message box shown (warning, error or success), or
    // "<n boxes>" when there was not exactly one.
    std::wstring onlyMessage() const {
        std::vector<std::wstring> boxes;
        for (const Call& c : calls)
            if (c.kind == "warning" || c.kind == "error" || c.kind == "success") boxes.push_back(c.text);
        return boxes.size() == 1 ? boxes[0] : L"<" + std::to_wstring(boxes.size()) + L" boxes>";
    }
    std::string lastKind() const { return calls.empty() ? std::string() : calls.back().kind; }
    void clear() { calls.clear(); }

    void showWarning(HWND owner, const std::wstring& text) override { calls.push_back({"warning", owner, L"警告", text}); }
    void showError(HWND owner, const std::wstring& text) override { calls.push_back({"error", owner, L"错误", text}); }
    void showSuccess(HWND owner, const std::wstring& text) override { calls.push_back({"success", owner, L"成功", text}); }
    std::wstring chooseOpenFile(HWND owner, const std::wstring& title, const std::vector<FileFilter>& filter) override {
        calls.push_back({"open", owner, title, {}, filter});
        return nextPath();
    }
    std::wstring chooseSaveFile(HWND owner, const std::wstring& title, const std::wstring& proposedName,
                                const std::vector<FileFilter>& filter) override {
        calls.push_back({"save", owner, title, proposedName, filter});
        return nextPath();
    }
    std::vector<std::wstring> chooseOpenFiles(HWND owner, const std::wstring& title,
                                              const std::vector<FileFilter>& filter) override {
        calls.push_back({"openFiles", owner, title, {}, filter});
        if (filesAnswers.empty()) return {};
        auto v = filesAnswers.front();
        filesAnswers.pop_front();
        return v;
    }
    std::wstring chooseFolder(HWND owner, const std::wstring& title, const std::wstring& initial) override {
        calls.push_back({"folder", owner, title, initial});
        return nextPath();
    }
    void revealInExplorer(HWND owner, const std::wstring& path) override { calls.push_back({"reveal", owner, {}, path}); }
    int choosePopupCommand(HWND owner, POINT, const std::vector<MenuItem>& items) override {
        std::wstring all;
        for (const MenuItem& i : items) all += (all.empty() ? L"" : L"|") + i.text;
        calls.push_back({"menu", owner, {}, all});
        if (menuAnswers.empty()) return 0;
        int c = menuAnswers.front();
        menuAnswers.pop_front();
        return c;
    }

    std::optional<COLORREF> chooseColor(HWND owner, const ColorRequest& request) override {
        Call call{"color", owner, {}, std::to_wstring(request.initial)};
        call.fullOpen = request.fullOpen;
        if (request.customColors) call.customColors.assign(request.customColors, request.customColors + 16);
        calls.push_back(std::move(call));
        if (request.customColors && !customColorEdits.empty()) {
            const auto [slot, colour] = customColorEdits.front();
            customColorEdits.pop_front();
            request.customColors[slot] = colour;
        }
        if (colorAnswers.empty()) return std::nullopt;
        auto c = colorAnswers.front();
        colorAnswers.pop_front();
        return c;
    }
    bool askYesNo(HWND owner, const std::wstring& title, const std::wstring& text) override {
        calls.push_back({"yesno", owner, title, text});
        if (yesNoAnswers.empty()) return false;
        bool yes = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return yes;
    }

private:
    std::wstring nextPath() {
        if (pathAnswers.empty()) return {};
        auto p = pathAnswers.front();
        pathAnswers.pop_front();
        return p;
    }
    Dialogs* previous_;
};

}  // namespace kit
