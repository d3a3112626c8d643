#include "core/win/fetch_panel.h"

#include "core/columns.h"
#include "core/fetch.h"
#include "core/win/clipboard.h"
#include "shell/controls.h"
#include "shell/dialogs.h"
#include "shell/wide.h"

namespace kit {

void fillColumnCombo(HWND combo, const std::vector<std::string>& headers) {
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& h : headers) {
        std::wstring w = toWide(h);
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
    }
}

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

bool finishClipboardRun(HWND owner, const Outcome& outcome) {
    if (outcome.ok() && !writeClipboardText(toWide(outcome.text))) {
        showError(owner, std::string_view(kClipboardRefused));
        return false;
    }
    showOutcomeMessage(owner, outcome);
    return outcome.ok();
}

}  // namespace kit
