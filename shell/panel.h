#pragma once
// A tab panel: a white child window of the main window whose commands go to
// handler members, so a tab is its controls plus a few small functions
// (shell/README.md shows a whole tab).
//
//   static Panel panel;
//   createPanel({.parent = main, .className = L"TabRecent1Content"}, panel);
//   createButton({.parent = panel.hwnd, .id = kRunId, ..., .onClicked = run});
//   panel.onNotify(400, CBN_SELCHANGE, [] { modeChanged(); });
#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <utility>

namespace kit {

struct Panel {
    HWND hwnd = nullptr;
    std::map<int, std::function<void()>> commands;  // by control ID, on BN_CLICKED
    // Other notifications (a list's CBN_SELCHANGE, ...), by control ID and code.
    std::map<std::pair<int, int>, std::function<void()>> notifications;

    // Any other message the panel itself receives (owner drawing, sizing, ...);
    // a handler that returns nothing leaves the message to the default.
    std::map<UINT, std::function<std::optional<LRESULT>(WPARAM, LPARAM)>> messages;

    void onCommand(int id, std::function<void()> handler) { commands[id] = std::move(handler); }
    void onMessage(UINT msg, std::function<std::optional<LRESULT>(WPARAM, LPARAM)> handler) {
        messages[msg] = std::move(handler);
    }
    void onNotify(int id, int code, std::function<void()> handler) { notifications[{id, code}] = std::move(handler); }
    HWND item(int id) const { return GetDlgItem(hwnd, id); }
};

struct PanelCreateArgs {
    HWND parent = nullptr;
    const wchar_t* className = L"KitEmptyPanel";
    // Position in the parent; all zero: the main window's tab-panel rectangle.
    int x = 0, y = 0, width = 0, height = 0;
    bool visible = true;
};

// Registers the class on first use (double-clicks, arrow cursor, no
// background brush), creates the panel and ties it to `panel`, which must
// outlive the window.
HWND createPanel(const PanelCreateArgs& args, Panel& panel);

// The Panel a window made by createPanel is tied to; nullptr for any other window.
Panel* panelOf(HWND window);

}  // namespace kit
