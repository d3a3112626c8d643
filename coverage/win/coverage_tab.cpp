// The coverage tab: get data, pick the mode and its parameters, analyse; the
// run's file text is written where the user says and shown in Explorer.
#include "coverage/win/coverage_tab.h"

#include <string>
#include <vector>

#include "core/file_io.h"
#include "core/win/fetch_panel.h"
#include "coverage/coverage_run.h"
#include "shell/animated_button.h"
#include "shell/controls.h"
#include "shell/dialogs.h"
#include "shell/help_window.h"
#include "shell/panel.h"
#include "shell/wide.h"

namespace kit {

namespace {

// The tab's published control IDs. Several labels share their number with a
// list of another row (200, 201, 300), so the tab keeps its controls' handles
// and never looks one up by ID.
enum Id {
    kStatus = 1,
    kGetData = 2,
    kRun = 3,
    kHelp = 4,
    kLonLabel = 100,
    kLatLabel = 101,
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

struct Row {
    HWND label = nullptr, box = nullptr;
};

struct CoverageTab {
    Panel panel;
    Table table;
    bool fetched = false;
    HWND status = nullptr, run = nullptr;
    Row mode, lon, lat, frequency, power, height, model, environment, level;
};
CoverageTab tab;

// One label and its box at row y: a fixed list, or an editable box with text.
Row makeRow(HWND p, int labelId, const wchar_t* label, int boxId, int y, const std::vector<const char*>& items,
            int selected, const wchar_t* text = L"", bool enabled = true) {
    Row r;
    r.label = createLabel({.parent = p, .id = labelId, .text = label, .x = 8, .y = y, .width = 50, .height = 20});
    r.box = createDropDown({.parent = p, .id = boxId, .x = 58, .y = y, .width = 122, .height = 200,
                            .enabled = enabled, .editable = items.empty(), .text = text});
    for (const char* item : items) {
        std::wstring w = toWide(item);
        SendMessageW(r.box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
    }
    if (!items.empty()) SendMessageW(r.box, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    return r;
}

void showRow(const Row& r, bool shown) {
    ShowWindow(r.label, shown ? SW_SHOW : SW_HIDE);
    ShowWindow(r.box, shown ? SW_SHOW : SW_HIDE);
}

void applyMode() {
    CoverageRows rows = rowsForMode(comboSelection(tab.mode.box));
    showRow(tab.frequency, rows.frequency);
    showRow(tab.power, rows.power);
    showRow(tab.height, rows.height);
    showRow(tab.model, rows.model);
    showRow(tab.environment, rows.environment);
    showRow(tab.level, rows.level);
    InvalidateRect(tab.panel.hwnd, nullptr, TRUE);
}

void getData() {
    fetchTable({.owner = tab.panel.hwnd,
                .table = &tab.table,
                .columnLists = {tab.lon.box, tab.lat.box},
                .lonList = tab.lon.box,
                .latList = tab.lat.box,
                .enable = {tab.lon.box, tab.lat.box, tab.run},
                .fetched = &tab.fetched,
                .status = tab.status});
}

std::vector<FileFilter> saveFilter(const CoverageModeInfo& mode) {
    std::vector<FileFilter> filter;
    for (const SaveFileType& t : mode.filters) filter.push_back({toWide(t.name), toWide(t.pattern)});
    return filter;
}

void run() {
    HWND p = tab.panel.hwnd;
    CoverageRequest request{.mode = comboSelection(tab.mode.box),
                            .frequencyText = windowTextUtf8(tab.frequency.box),
                            .powerText = windowTextUtf8(tab.power.box),
                            .heightText = windowTextUtf8(tab.height.box),
                            .modelItem = comboSelection(tab.model.box),
                            .environmentItem = comboSelection(tab.environment.box),
                            .resolution = resolutionForLevelItem(comboSelection(tab.level.box))};
    CoverageColumns columns =
        coverageColumnsAt(tab.table, comboSelection(tab.lon.box), comboSelection(tab.lat.box));
    Outcome outcome = runCoverage(tab.fetched ? &tab.table : nullptr, columns, request);
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

HWND createCoverageTab(HWND mainWindow) {
    tab.table.clear();
    tab.fetched = false;
    tab.panel = Panel{};
    HWND p = createPanel({.parent = mainWindow, .className = L"TabCoverageContent"}, tab.panel);
    if (!p) return nullptr;

    tab.status = createStatusLabel({.parent = p, .id = kStatus, .x = 0, .y = 4, .width = 180, .height = 18});
    createButton({.parent = p, .id = kGetData, .text = L"📋 获取数据", .kind = ButtonKind::Green, .x = 88, .y = 24,
                  .width = 90, .height = 24});

    std::vector<const char*> modes;
    for (const CoverageModeInfo& m : kCoverageModes) modes.push_back(m.item);
    const std::vector<const char*> none;
    tab.mode = makeRow(p, kModeLabel, L"模式:", kMode, 52, modes, kModeDensity);
    tab.lon = makeRow(p, kLonLabel, L"经度:", kLon, 76, none, 0, L"-", false);
    tab.lat = makeRow(p, kLatLabel, L"纬度:", kLat, 100, none, 0, L"-", false);
    tab.frequency = makeRow(p, kFrequencyLabel, L"频率:", kFrequency, 124, none, 0, L"1800");
    tab.power = makeRow(p, kPowerLabel, L"功率:", kPower, 148, none, 0, L"43");
    tab.height = makeRow(p, kHeightLabel, L"高度:", kHeight, 172, none, 0, L"30");
    tab.model = makeRow(p, kModelLabel, L"模型:", kModel, 196, {kModelItems.begin(), kModelItems.end()}, 0);
    tab.environment = makeRow(p, kEnvironmentLabel, L"环境:", kEnvironment, 220,
                              {kEnvironmentItems.begin(), kEnvironmentItems.end()}, 0);
    tab.level = makeRow(p, kLevelLabel, L"H3级:", kLevel, 244, {kLevelItems.begin(), kLevelItems.end()},
                        kDefaultLevelItem);

    tab.run = createButton({.parent = p, .id = kRun, .text = L"▶️ 分析", .kind = ButtonKind::Sky, .x = 60, .y = 268,
                            .width = 88, .height = 24, .enabled = false});
    createButton({.parent = p, .id = kHelp, .kind = ButtonKind::Help, .x = 152, .y = 268, .width = 28, .height = 24});

    tab.panel.onCommand(kGetData, getData);
    tab.panel.onCommand(kRun, run);
    tab.panel.onCommand(kHelp, [] { showHelp(tab.panel.hwnd, toWide(kCoverageHelpTitle), toWide(kCoverageHelpText)); });
    tab.panel.onNotify(kMode, CBN_SELCHANGE, applyMode);
    applyMode();
    return p;
}

}  // namespace kit
