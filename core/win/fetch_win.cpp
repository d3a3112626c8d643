#include "core/win/fetch_panel.h"

#include "core/columns.h"
#include "core/fetch.h"
#include "core/win/clipboard.h"
#include "shell/animated_button.h"
#include "shell/controls.h"
#include "shell/dialogs.h"
#include "shell/wide.h"

namespace kit {

void fillColumnCombo(HWND combo, const std::vector<std::string>& headers) { setComboItems(combo, headers); }

void selectColumn(HWND combo, int position) {
    SendMessageW(combo, CB_SETCURSEL, position >= 0 ? static_cast<WPARAM>(position) : static_cast<WPARAM>(-1), 0);
}

void detectCoordinateColumns(HWND lonCombo, HWND latCombo, const std::vector<std::string>& headers) {
    selectColumn(lonCombo, detectLongitudeColumn(headers));
    selectColumn(latCombo, detectLatitudeColumn(headers));
}

void detectIdColumn(HWND idCombo, const std::vector<std::string>& headers) {
    selectColumn(idCombo, kit::detectIdColumn(headers));
}

bool fetchTable(const FetchTarget& t) {
    std::wstring text = readClipboardText();
    if (auto warning = fetchTableText(toUtf8(text), *t.table)) {
        showWarning(t.owner, std::string_view(*warning));
        return false;
    }
    const auto& headers = t.table->headers;
    for (HWND list : t.columnLists) fillColumnCombo(list, headers);
    if (t.lonList && t.latList) detectCoordinateColumns(t.lonList, t.latList, headers);
    if (t.idList) {
        if (t.idColumn)
            selectColumn(t.idList, t.idColumn(headers));
        else
            detectIdColumn(t.idList, headers);
    }
    for (HWND w : t.enable) EnableWindow(w, TRUE);
    if (t.fetched) *t.fetched = true;
    std::string status = t.rowsOnly ? fetchedRowsStatusText(*t.table) : fetchedStatusText(*t.table);
    setStatusText(t.status, toWide(status), true);
    return true;
}

HWND createTableTab(HWND mainWindow, const wchar_t* className, TableTab& tab) {
    tab.table.clear();
    tab.fetched = false;
    tab.panel = Panel{};
    HWND p = createPanel({.parent = mainWindow, .className = className}, tab.panel);
    if (!p) return nullptr;
    createStatusLabel({.parent = p, .id = kTabStatusId, .x = 0, .y = 4, .width = 180, .height = 18});
    createButton({.parent = p, .id = kTabGetDataId, .text = L"📋 获取数据", .kind = ButtonKind::Green, .x = 88,
                  .y = 24, .width = 90, .height = 24});
    return p;
}

bool finishClipboardRun(HWND owner, const Outcome& outcome) {
    if (outcome.ok() && !writeClipboardText(toWide(outcome.text))) {
        showError(owner, std::string_view(kClipboardRefused));
        return false;
    }
    showOutcomeMessage(owner, outcome);
    return outcome.ok();
}

}  // namespace kit
