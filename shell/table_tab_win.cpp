#include "shell/table_tab.h"

#include "core/columns.h"
#include "core/fetch.h"
#include "core/win/clipboard.h"
#include "shell/animated_button.h"
#include "shell/controls.h"
#include "shell/dialogs.h"
#include "shell/wide.h"

namespace kit {

namespace {

void fillColumnCombo(HWND combo, const HeaderNames& headers) { setComboItems(combo, headers); }

void detectCoordinateColumns(HWND lonCombo, HWND latCombo, const HeaderNames& headers) {
    selectColumn(lonCombo, detectLongitudeColumn(headers));
    selectColumn(latCombo, detectLatitudeColumn(headers));
}

}  // namespace

void selectColumn(HWND combo, int position) {
    SendMessageW(combo, CB_SETCURSEL, position >= 0 ? static_cast<WPARAM>(position) : static_cast<WPARAM>(-1), 0);
}

bool fetchTable(const FetchTarget& t) {
    std::wstring text = readClipboardText();
    if (Outcome fetched = fetchTableText(toUtf8(text), *t.table); !fetched.ok()) {
        showOutcomeMessage(t.owner, fetched);
        return false;
    }
    const auto& headers = t.table->headers;
    for (HWND list : t.columnLists) fillColumnCombo(list, headers);
    if (t.lonList && t.latList) detectCoordinateColumns(t.lonList, t.latList, headers);
    if (t.idList) selectColumn(t.idList, t.idColumn ? t.idColumn(headers) : detectIdColumn(headers));
    for (HWND w : t.enable) EnableWindow(w, TRUE);
    if (t.fetched) *t.fetched = true;
    std::string status = t.rowsOnly ? fetchedRowsStatusText(*t.table) : fetchedStatusText(*t.table);
    setStatusText(t.status, toWide(status), true);
    return true;
}

bool fetchTable(TableTab& tab, FetchTarget target) {
    target.owner = tab.panel.hwnd;
    target.table = &tab.table;
    target.fetched = &tab.fetched;
    target.status = tab.panel.item(kStatusId);
    return fetchTable(target);
}

void createCoordinateLists(HWND panel, int y, bool withId) {
    createLabeledDropDown({.parent = panel, .labelId = kLonLabelId, .label = L"经度:", .listId = kLonListId, .y = y});
    createLabeledDropDown(
        {.parent = panel, .labelId = kLatLabelId, .label = L"纬度:", .listId = kLatListId, .y = y + 24});
    if (withId)
        createLabeledDropDown({.parent = panel, .labelId = kIdLabelId, .label = L"ID:", .listId = kIdListId, .y = y + 48});
}

bool fetchCoordinateTable(TableTab& tab, bool withId, std::vector<HWND> alsoEnable) {
    HWND lon = tab.panel.item(kLonListId), lat = tab.panel.item(kLatListId);
    HWND id = withId ? tab.panel.item(kIdListId) : nullptr;
    std::vector<HWND> lists{lon, lat};
    if (id) lists.push_back(id);
    std::vector<HWND> enable = lists;
    enable.insert(enable.end(), alsoEnable.begin(), alsoEnable.end());
    return fetchTable(tab, {.columnLists = lists, .lonList = lon, .latList = lat, .idList = id, .enable = enable});
}

void createGetDataRow(const GetDataRowCreateArgs& a) {
    createStatusLabel({.parent = a.parent, .id = a.statusId, .x = a.statusX, .y = a.y, .width = a.statusWidth,
                       .height = 18});
    createButton({.parent = a.parent,
                  .id = a.getDataId,
                  .text = a.getDataText,
                  .kind = ButtonKind::Green,
                  .x = a.getDataX,
                  .y = a.y + 20,
                  .width = a.getDataWidth,
                  .height = 24,
                  .onClicked = a.onGetData});
}

HWND createTableTab(TableTab& tab, HWND mainWindow, const wchar_t* className, GetDataRowCreateArgs row) {
    tab.table.clear();
    tab.fetched = false;
    tab.panel = Panel{};
    HWND p = createPanel({.parent = mainWindow, .className = className}, tab.panel);
    if (!p) return nullptr;
    row.parent = p;
    createGetDataRow(row);
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
