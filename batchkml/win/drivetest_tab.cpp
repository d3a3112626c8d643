#include "batchkml/win/drivetest_tab.h"

#include <string>
#include <vector>

#include "batchkml/column_roles.h"
#include "batchkml/data_table.h"
#include "batchkml/kml_text.h"
#include "batchkml/quillet_runs.h"
#include "batchkml/table_reader.h"
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
    DataTable table;
    bool dataLoaded = false;
    std::string currentPath;
    std::vector<std::string> batchFiles;
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

void status(std::string_view text, bool ok) { setStatusText(item(kStatus), toWide(text), ok); }

// Reads a file into the tab's table and offers its columns; the read's own
// message when it fails (the previous table stays).
bool loadFile(const std::string& path) {
    DataTable fresh = g.table;
    if (!readDataTable(path, fresh)) {
        showError(g.panel.hwnd, readFailureMessage(chooseReader(path)));
        return false;
    }
    g.table = std::move(fresh);
    g.table.sourcePath = path;
    g.dataLoaded = true;
    g.currentPath = path;
    const std::vector<std::string_view>* roles[] = {&longitudeCandidates(), &latitudeCandidates(),
                                                    &signalCandidates()};
    for (int i = 0; i < 3; ++i) {
        HWND combo = item(kLonCombo + i);
        setComboItems(combo, g.table.headers, -1);
        int found = findColumn(g.table.headers, *roles[i]);
        if (found >= 0) SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
    }
    return true;
}

void openFile() {
    std::wstring path = chooseOpenFile(g.panel.hwnd, L"选择CSV/Excel文件", dataFilter());
    if (path.empty()) return;
    if (loadFile(toUtf8(path))) g.batchFiles.clear();
}

void chooseBatch() {
    std::vector<std::wstring> files = chooseOpenFiles(g.panel.hwnd, L"批量选择CSV/Excel文件", dataFilter());
    if (files.empty()) return;
    g.batchFiles.clear();
    for (const std::wstring& f : files) g.batchFiles.push_back(toUtf8(f));
    if (loadFile(g.batchFiles.front())) status(batchChosenText(g.batchFiles.size()), true);
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

void runSingle(const DriveTestParams& p) {
    std::string proposed = defaultKmlName(g.currentPath, "drivetest.kml");
    std::string folder = folderOf(g.currentPath);
    // A proposed name with its folder makes the dialog start there.
    if (!g.currentPath.empty() && !folder.empty()) proposed = folder + "\\" + proposed;
    std::wstring out = chooseSaveFile(g.panel.hwnd, L"保存KML文件", toWide(proposed), kmlFilter());
    if (out.empty()) return;
    status(kDriveTestExporting, false);
    UpdateWindow(item(kStatus));
    SingleRunResult r = runDriveTestSingle(g.table, p, toUtf8(out));
    status(r.statusText, r.outcome.ok());
    showOutcomeMessage(g.panel.hwnd, r.outcome);
}

void runBatch(const DriveTestParams& p) {
    std::wstring folder = chooseFolder(g.panel.hwnd, L"选择KML输出文件夹", toWide(proposedBatchFolder(g.batchFiles.front())));
    if (folder.empty()) return;
    CreateDirectoryW(folder.c_str(), nullptr);  // an existing folder is fine
    BatchRunResult r = runDriveTestBatch(g.batchFiles, p, toUtf8(folder), [](const std::string& text) {
        status(text, false);
        UpdateWindow(item(kStatus));  // the run blocks the loop: paint each step now
    });
    status(r.statusText, true);
    showSuccess(g.panel.hwnd, std::string_view(r.message));
}

void generate() {
    commitRangeEdit();
    DriveTestParams p = readParams();
    Outcome check = checkDriveTest(g.dataLoaded, p);
    if (!check.ok()) {
        showOutcomeMessage(g.panel.hwnd, check);
        return;
    }
    if (g.batchFiles.empty())
        runSingle(p);
    else
        runBatch(p);
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
                .digitsOnly = false});
    createPictureButton(
        {.parent = panel, .id = kOpen, .icon = L"resources\\icons\\open.png", .x = 12, .y = 26, .width = 38, .height = 44});
    createButton({.parent = panel, .id = kBatch, .text = L"批量", .kind = ButtonKind::Sky, .x = 12, .y = 70,
                  .width = 38, .height = 22});
    const wchar_t* labels[] = {L"经度:", L"纬度:", L"数值:"};
    for (int i = 0; i < 3; ++i) {
        createLabel({.parent = panel, .id = kLonLabel + i, .text = labels[i], .x = 72, .y = 4 + 22 * i, .width = 30,
                     .height = 20});
        createDropDown({.parent = panel, .id = kLonCombo + i, .x = 102, .y = 4 + 22 * i, .width = 70, .height = 200});
    }
    HWND statusLabel = createStatusLabel(
        {.parent = panel, .id = kStatus, .text = L"等待导入数据", .x = 140, .y = 290, .width = 50, .height = 20});
    createRangeEditor({.panel = panel, .handlers = &g.panel, .status = statusLabel, .templatesFile = templatesFile});
    createButton({.parent = panel, .id = kGenerate, .text = L"生成KML", .kind = ButtonKind::Red, .x = 2, .y = 290,
                  .width = 70, .height = 20});

    g.panel.onCommand(kOpen, openFile);
    g.panel.onCommand(kBatch, chooseBatch);
    g.panel.onCommand(kGenerate, generate);
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

const DataTable& driveTestTable() { return g.table; }
const std::vector<std::string>& driveTestBatchFiles() { return g.batchFiles; }

}  // namespace kit
