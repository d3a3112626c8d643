#include "batchkml/win/drivetest_tab.h"

#include <string>
#include <vector>

#include "batchkml/column_roles.h"
#include "batchkml/quillet_runs.h"
#include "batchkml/win/kml_tab_parts.h"
#include "batchkml/win/range_editor.h"
#include "shell/animated_button.h"
#include "shell/controls.h"
#include "shell/dialogs.h"
#include "shell/images.h"
#include "shell/panel.h"
#include "shell/picture_button.h"
#include "shell/wide.h"

namespace kit {

namespace {

using namespace drivetest_id;

struct TabState {
    Panel panel;
    KmlTabData data;
    SIZE built{};  // the panel's size when its controls were placed
};

TabState g;
std::string g_templatesFile;  // empty: beside the executable

const std::vector<FileFilter>& dataFilter() {
    static const std::vector<FileFilter> f{{L"CSV/Excel Files (*.csv;*.xlsx)", L"*.csv;*.xlsx"},
                                           {L"All Files (*.*)", L"*.*"}};
    return f;
}

const std::vector<FileFilter>& kmlFilter() {
    static const std::vector<FileFilter> f{{L"KML Files (*.kml)", L"*.kml"}, {L"All Files (*.*)", L"*.*"}};
    return f;
}

HWND item(int id) { return g.panel.item(id); }

void offerColumns(const DataTable& table) {
    const std::vector<std::string_view>* roles[] = {&longitudeCandidates(), &latitudeCandidates(),
                                                    &signalCandidates()};
    for (int i = 0; i < 3; ++i) {
        HWND combo = item(kLonCombo + i);
        setComboItems(combo, table.headers, -1);
        autoSelectColumn(combo, table.headers, *roles[i]);
    }
}

DataFileChoice fileChoice() {
    return {.owner = g.panel.hwnd,
            .status = item(kStatus),
            .title = L"选择CSV/Excel文件",
            .batchTitle = L"批量选择CSV/Excel文件",
            .filter = dataFilter(),
            .loaded = offerColumns};
}

DriveTestParams readParams() {
    DriveTestParams p;
    p.lonCol = comboSelection(item(kLonCombo));
    p.latCol = comboSelection(item(kLatCombo));
    p.valueCol = comboSelection(item(kValueCombo));
    p.ranges = workingRanges();
    p.sizeMetres = driveTestSizeFromText(windowTextUtf8(item(kSizeEdit)));
    return p;
}

void generate() {
    commitRangeEdit();
    const DriveTestParams p = readParams();
    Outcome check = checkDriveTest(g.data.dataLoaded, p);
    if (!check.ok()) {
        showOutcomeMessage(g.panel.hwnd, check);
        return;
    }
    generateKml({.owner = g.panel.hwnd,
                 .status = item(kStatus),
                 .fallbackName = "drivetest.kml",
                 .saveFilter = kmlFilter(),
                 .workingText = kDriveTestExporting,
                 .single = [&](const std::string& out) { return runDriveTestSingle(g.data.table, p, out); },
                 .batch = [&](const std::string& folder, const BatchProgress& progress) {
                     return runDriveTestBatch(g.data.batchFiles, p, folder, progress);
                 }},
                g.data);
}

void layout(int width, int height) {
    SetWindowPos(rangeArea(), nullptr, 2, 124, width - 4, kRangeAreaHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(item(kGenerate), nullptr, 2, height - 27, 70, 20, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(item(range_id::kSaveTemplate), nullptr, 76, height - 27, 62, 20, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(item(kStatus), nullptr, 140, height - 27, width - 140, 20, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void setDriveTestTemplatesFile(const std::string& utf8Path) { g_templatesFile = utf8Path; }

HWND createDriveTestTab(HWND main) {
    std::string templatesFile = g_templatesFile.empty() ? toUtf8(exeDirectory()) + "templates.json" : g_templatesFile;
    g = TabState{};
    HWND panel = createPanel({.parent = main, .className = L"TabPreviewClass"}, g.panel);
    if (!panel) return nullptr;

    createLabel({.parent = panel, .id = kSizeLabel, .text = L"大小:", .x = 12, .y = 4, .width = 30, .height = 20});
    createEdit({.parent = panel, .id = kSizeEdit, .text = L"5", .x = 44, .y = 4, .width = 24, .height = 20,
                .input = EditInput::Decimal});
    createPictureButton(
        {.parent = panel, .id = kOpen, .icon = L"resources\\icons\\open.png", .x = 12, .y = 26, .width = 38, .height = 44});
    createButton({.parent = panel, .id = kBatch, .text = L"批量", .kind = ButtonKind::Sky, .x = 12, .y = 70,
                  .width = 38, .height = 22, .onClicked = [] { chooseDataFiles(fileChoice(), g.data); }});
    const wchar_t* labels[] = {L"经度:", L"纬度:", L"数值:"};
    for (int i = 0; i < 3; ++i)
        createLabeledDropDown({.parent = panel, .labelId = kLonLabel + i, .label = labels[i], .listId = kLonCombo + i,
                               .x = 72, .y = 4 + 22 * i, .labelWidth = 30, .listWidth = 70, .enabled = true});
    HWND statusLabel = createStatusLabel(
        {.parent = panel, .id = kStatus, .text = L"等待导入数据", .x = 140, .y = 290, .width = 50, .height = 20});
    createRangeEditor({.panel = panel, .handlers = &g.panel, .status = statusLabel, .templatesFile = templatesFile});
    createButton({.parent = panel, .id = kGenerate, .text = L"生成KML", .kind = ButtonKind::Blue, .x = 2, .y = 290,
                  .width = 70, .height = 20, .onClicked = generate});

    // A picture button has no handler of its own: the panel's table carries it.
    g.panel.onCommand(kOpen, [] { chooseDataFile(fileChoice(), g.data); });
    RECT rc;
    GetClientRect(panel, &rc);
    g.built = SIZE{rc.right, rc.bottom};
    g.panel.onMessage(WM_SIZE, [](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        int w = LOWORD(lParam), h = HIWORD(lParam);
        if (w != g.built.cx || h != g.built.cy) layout(w, h);  // only a real resize moves anything
        return std::nullopt;
    });
    return panel;
}

const DataTable& driveTestTable() { return g.data.table; }
const std::vector<std::string>& driveTestBatchFiles() { return g.data.batchFiles; }

}  // namespace kit
