// The coverage tab: get data, pick the mode and its parameters, analyse; the
// run's file text is written where the user says and shown in Explorer.
#include "coverage/win/coverage_tab.h"

#include <string>
#include <vector>

#include "core/file_io.h"
#include "coverage/coverage_run.h"
#include "shell/animated_button.h"
#include "shell/controls.h"
#include "shell/dialogs.h"
#include "shell/help_window.h"
#include "shell/images.h"
#include "shell/table_tab.h"
#include "shell/wide.h"

namespace kit {

namespace {

// The tab's published control IDs. Several labels share their number with a
// list of another row (200, 201, 300), so the tab keeps its rows' handles and
// never looks a row up by ID.
enum Id {
    kRun = kRunId,
    kLonLabel = kFirstLabelId,
    kLatLabel = kFirstLabelId + 1,
    kLon = 200,
    kLat = 201,
    kFrequencyLabel = 200,
    kPowerLabel = 201,
    kHeightLabel = 202,
    kModelLabel = 203,
    kEnvironmentLabel = 204,
    kLevelLabel = 205,
    kModeLabel = 300,
    kFrequency = 300,
    kPower = 301,
    kHeight = 302,
    kModel = 303,
    kEnvironment = 304,
    kLevel = 305,
    kMode = 400,
};

constexpr char kCannotCreate[] = "无法创建文件";

using Row = LabeledDropDown;

struct CoverageTab : TableTab {
    HWND run = nullptr;
    Row mode, lon, lat, frequency, power, height, model, environment, level;
};
CoverageTab tab;
std::string g_demFolder;

// One label and its box at row y: a fixed list of items, or an editable box
// with its text.
Row makeRow(HWND p, int labelId, const wchar_t* label, int boxId, int y, std::vector<std::string> items,
            int selected, const wchar_t* text = L"", bool enabled = true) {
    return createLabeledDropDown({.parent = p,
                                  .labelId = labelId,
                                  .label = label,
                                  .listId = boxId,
                                  .x = 8,
                                  .y = y,
                                  .labelWidth = 50,
                                  .listWidth = 122,
                                  .enabled = enabled,
                                  .editable = items.empty(),
                                  .text = text,
                                  .items = std::move(items),
                                  .selected = selected});
}

void showRow(const Row& r, bool shown) {
    ShowWindow(r.label, shown ? SW_SHOW : SW_HIDE);
    ShowWindow(r.list, shown ? SW_SHOW : SW_HIDE);
}

void applyMode() {
    CoverageRows rows = rowsForMode(comboSelection(tab.mode.list));
    showRow(tab.frequency, rows.frequency);
    showRow(tab.power, rows.power);
    showRow(tab.height, rows.height);
    showRow(tab.model, rows.model);
    showRow(tab.environment, rows.environment);
    showRow(tab.level, rows.level);
    InvalidateRect(tab.panel.hwnd, nullptr, TRUE);
}

void getData() {
    fetchTable(tab, {.columnLists = {tab.lon.list, tab.lat.list},
                     .lonList = tab.lon.list,
                     .latList = tab.lat.list,
                     .enable = {tab.lon.list, tab.lat.list, tab.run}});
}

std::vector<FileFilter> saveFilter(const CoverageModeInfo& mode) {
    std::vector<FileFilter> filter;
    for (const SaveFileType& t : mode.filters) filter.push_back({toWide(t.name), toWide(t.pattern)});
    return filter;
}

void run() {
    HWND p = tab.panel.hwnd;
    CoverageRequest request{.mode = comboSelection(tab.mode.list),
                            .frequencyText = windowTextUtf8(tab.frequency.list),
                            .powerText = windowTextUtf8(tab.power.list),
                            .heightText = windowTextUtf8(tab.height.list),
                            .modelItem = comboSelection(tab.model.list),
                            .environmentItem = comboSelection(tab.environment.list),
                            .resolution = resolutionForLevelItem(comboSelection(tab.level.list)),
                            .demFolder = g_demFolder.empty() ? demFolderBeside(toUtf8(exeDirectory())) : g_demFolder};
    LonLatColumns columns =
        lonLatColumnsAt(tab.table, comboSelection(tab.lon.list), comboSelection(tab.lat.list));
    Outcome outcome = runCoverage(tab.fetchedTable(), columns, request);
    if (!outcome.ok()) {
        showOutcomeMessage(p, outcome);
        return;
    }
    const CoverageModeInfo& mode = kCoverageModes[static_cast<size_t>(request.mode)];
    std::wstring path = chooseSaveFile(p, toWide(kSaveResultTitle), toWide(mode.proposedName), saveFilter(mode));
    if (path.empty()) return;
    // The same bytes the companion writes: no byte-order mark, no line-end
    // translation.
    if (!writeFileBytes(toUtf8(path), outcome.text)) {
        showError(p, std::string_view(kCannotCreate));
        return;
    }
    showSuccess(p, toWide(outcome.message) + path);
    revealInExplorer(p, path);
}

}  // namespace

void setCoverageDemFolder(const std::string& utf8Folder) { g_demFolder = utf8Folder; }

HWND createCoverageTab(HWND mainWindow) {
    HWND p = createTableTab(tab, mainWindow, L"TabCoverageContent", {.onGetData = getData});
    if (!p) return nullptr;

    std::vector<std::string> modes;
    for (const CoverageModeInfo& m : kCoverageModes) modes.push_back(m.item);
    auto items = [](const auto& list) { return std::vector<std::string>(list.begin(), list.end()); };
    tab.mode = makeRow(p, kModeLabel, L"模式:", kMode, 52, modes, kModeDensity);
    tab.lon = makeRow(p, kLonLabel, L"经度:", kLon, 76, {}, 0, L"-", false);
    tab.lat = makeRow(p, kLatLabel, L"纬度:", kLat, 100, {}, 0, L"-", false);
    tab.frequency = makeRow(p, kFrequencyLabel, L"频率:", kFrequency, 124, {}, 0, L"1800");
    tab.power = makeRow(p, kPowerLabel, L"功率:", kPower, 148, {}, 0, L"43");
    tab.height = makeRow(p, kHeightLabel, L"高度:", kHeight, 172, {}, 0, L"30");
    tab.model = makeRow(p, kModelLabel, L"模型:", kModel, 196, items(kModelItems), 0);
    tab.environment = makeRow(p, kEnvironmentLabel, L"环境:", kEnvironment, 220, items(kEnvironmentItems), 0);
    tab.level = makeRow(p, kLevelLabel, L"H3级:", kLevel, 244, items(kLevelItems), kDefaultLevelItem);

    tab.run = createButton({.parent = p, .id = kRun, .text = L"▶️ 分析", .kind = ButtonKind::Sky, .x = 60, .y = 268,
                            .width = 88, .height = 22, .enabled = false, .onClicked = run});
    createHelpButton({.parent = p, .y = 268, .height = 22, .title = toWide(kCoverageHelpTitle), .text = toWide(kCoverageHelpText)});
    tab.panel.onNotify(kMode, CBN_SELCHANGE, applyMode);
    applyMode();
    return p;
}

}  // namespace kit
