// The sector tab: site, coordinate, azimuth, beam-width and radius columns
// (the last three also take a typed fixed value), colour, opacity and the
// level-of-detail distance; templates of these settings in
// sector_templates.json.
#include "batchkml/win/sector_kml_tab.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

#include "batchkml/column_roles.h"
#include "batchkml/quillet_runs.h"
#include "batchkml/sector_templates.h"
#include "batchkml/win/kml_tab_parts.h"
#include "core/number_parse.h"
#include "shell/animated_button.h"
#include "shell/colors.h"
#include "shell/controls.h"
#include "shell/dialogs.h"
#include "shell/panel.h"
#include "shell/picture_button.h"
#include "shell/wide.h"

namespace kit {

namespace {

enum Id {
    kOpen = 300,
    kSite = 301,
    kLon = 302,
    kLat = 303,
    kAzimuth = 304,
    kBeamwidth = 305,
    kRadius = 306,
    kGenerate = 307,
    kStatus = 308,
    kSiteLabel = 309,
    kLonLabel = 310,
    kLatLabel = 311,
    kAzimuthLabel = 312,
    kBeamwidthLabel = 313,
    kRadiusLabel = 314,
    kColorLabel = 318,
    kOpacityLabel = 319,
    kColor = 321,
    kOpacity = 322,
    kOpacityValue = 323,
    kLod = 324,
    kLodKm = 325,
    kTemplates = 326,
    kSave = 327,
    kBatch = 328,
    kKmLabel = 329,
    kTemplateLabel = 330,
};

const std::vector<FileFilter> kCsvFilter{{L"CSV Files (*.csv)", L"*.csv"}, {L"All Files (*.*)", L"*.*"}};
const std::vector<FileFilter> kKmlFilter{{L"KML Files (*.kml)", L"*.kml"}, {L"All Files (*.*)", L"*.*"}};

struct SectorTab {
    Panel panel;
    KmlTabData data;
    COLORREF color = RGB(255, 0, 0);
    std::vector<SectorTemplate> templates;
};
SectorTab tab;

HWND item(int id) { return tab.panel.item(id); }

std::string templatesFile() { return sectorTemplatesPath(templatesFolder()); }

void showOpacity(int percent) {
    wchar_t text[16];
    swprintf(text, 16, L"%d%%", percent);
    SetWindowTextW(item(kOpacityValue), text);
}

int opacity() { return static_cast<int>(SendMessageW(item(kOpacity), TBM_GETPOS, 0, 0)); }
bool lodChecked() { return SendMessageW(item(kLod), BM_GETCHECK, 0, 0) == BST_CHECKED; }

// The starting fixed values of the editable combos, the writer's own defaults.
constexpr wchar_t kStartBeamwidth[] = L"65";
constexpr wchar_t kStartRadius[] = L"500";

void fillCombos(const DataTable& t) {
    struct Role {
        int id;
        const std::vector<std::string_view>& candidates;
        const wchar_t* startText;  // shown when a column choice gives way to no column
    };
    const Role roles[] = {{kSite, siteNameCandidates(), L""},
                          {kLon, longitudeCandidates(), L""},
                          {kLat, latitudeCandidates(), L""},
                          {kAzimuth, azimuthCandidates(), L""},
                          {kBeamwidth, beamWidthCandidates(), kStartBeamwidth},
                          {kRadius, radiusCandidates(), kStartRadius}};
    for (const Role& r : roles) {
        HWND combo = item(r.id);
        // Refilling the list empties its edit: a fixed value (typed, or the
        // starting one) stays unless the new file has a column for it.
        const std::wstring fixed = comboSelection(combo) < 0 ? windowText(combo) : std::wstring(r.startText);
        setComboItems(combo, t.headers);
        autoSelectColumn(combo, t.headers, r.candidates);
        if (comboSelection(combo) < 0 && !fixed.empty()) SetWindowTextW(combo, fixed.c_str());
    }
}

DataFileChoice fileChoice() {
    return {.owner = tab.panel.hwnd,
            .status = item(kStatus),
            .title = L"选择基站CSV文件",
            .batchTitle = L"批量选择基站CSV文件",
            .filter = kCsvFilter,
            .csvOnly = true,
            .loaded = fillCombos,
            .loadedText = sectorsLoadedText};
}

// One editable combo: a selected column, or the typed number.
bool readGiven(int id, int& col, double& fixed) {
    HWND combo = item(id);
    const ColumnOrValue v = readColumnOrValue(comboSelection(combo), controlText(combo, 256));
    return applyColumnOrValue(v.kind, v.value, col, fixed);
}

SectorRunParams readParams() {
    SectorRunParams p;
    p.kml.siteCol = comboSelection(item(kSite));
    p.kml.lonCol = comboSelection(item(kLon));
    p.kml.latCol = comboSelection(item(kLat));
    p.azimuthGiven = readGiven(kAzimuth, p.kml.azimuthCol, p.kml.azimuthFixed);
    p.beamwidthGiven = readGiven(kBeamwidth, p.kml.beamwidthCol, p.kml.beamwidthFixed);
    p.radiusGiven = readGiven(kRadius, p.kml.radiusCol, p.kml.radiusFixed);
    p.kml.color = static_cast<uint32_t>(tab.color);
    p.kml.opacityPercent = opacity();
    p.kml.lodEnabled = lodChecked();
    p.kml.lodKm = lodKmFromText(controlText(item(kLodKm), 31));
    return p;
}

void generate() {
    const SectorRunParams p = readParams();
    if (Outcome check = checkSectors(tab.data.dataLoaded, p); !check.ok()) {
        showWarning(tab.panel.hwnd, check.message);
        return;
    }
    generateKml({.owner = tab.panel.hwnd,
                 .status = item(kStatus),
                 .fallbackName = "sector.kml",
                 .saveFilter = kKmlFilter,
                 .single = [&](const std::string& out) { return runSectorSingle(tab.data.table, p, out); },
                 .batch = [&](const std::string& folder,
                              const BatchProgress& progress) {
                     return runSectorBatch(tab.data.batchFiles, p, folder, progress);
                 }},
                tab.data);
}

// The chooser's custom colours, kept while the program runs.
COLORREF customColors[16] = {};

void pickColor() {
    const ColorRequest request{.initial = tab.color, .customColors = customColors, .fullOpen = true};
    if (auto chosen = chooseColor(tab.panel.hwnd, request)) {
        tab.color = *chosen;
        InvalidateRect(item(kColor), nullptr, TRUE);
    }
}

void fillTemplateCombo() {
    std::vector<std::string> names;
    for (const SectorTemplate& t : tab.templates) names.push_back(t.name);
    setComboItems(item(kTemplates), names, -1);
}

void applyTemplate(const SectorTemplate& t) {
    const std::pair<int, const std::string*> texts[] = {{kSite, &t.siteCol},         {kLon, &t.lonCol},
                                                        {kLat, &t.latCol},           {kAzimuth, &t.azimuthCol},
                                                        {kBeamwidth, &t.beamwidthCol}, {kRadius, &t.radiusCol}};
    for (const auto& [id, text] : texts)
        if (!text->empty()) applyComboText(item(id), *text);
    tab.color = static_cast<COLORREF>(t.color & 0xFFFFFF);
    InvalidateRect(item(kColor), nullptr, TRUE);
    const int percent = static_cast<int>(std::clamp<int64_t>(t.opacity, 0, 100));
    SendMessageW(item(kOpacity), TBM_SETPOS, TRUE, percent);
    showOpacity(percent);
    SendMessageW(item(kLod), BM_SETCHECK, t.lodEnabled ? BST_CHECKED : BST_UNCHECKED, 0);
    wchar_t km[64];
    swprintf(km, 64, L"%.1f", t.lodKm);
    SetWindowTextW(item(kLodKm), km);
}

void templateChosen() {
    const int i = comboSelection(item(kTemplates));
    if (i >= 0 && static_cast<size_t>(i) < tab.templates.size()) applyTemplate(tab.templates[static_cast<size_t>(i)]);
}

void saveTemplate() {
    const int selected = comboSelection(item(kTemplates));
    const std::wstring initial =
        selected >= 0 ? toWide(tab.templates[static_cast<size_t>(selected)].name) : std::wstring();
    const std::optional<std::wstring> name = askTemplateName(tab.panel.hwnd, L"SectorTmplDlg", initial);
    if (!name) return;
    SectorTemplate t;
    t.name = toUtf8(*name);
    t.siteCol = controlText(item(kSite), 255);
    t.lonCol = controlText(item(kLon), 255);
    t.latCol = controlText(item(kLat), 255);
    t.azimuthCol = t.azimuthFixed = controlText(item(kAzimuth), 255);
    t.beamwidthCol = t.beamwidthFixed = controlText(item(kBeamwidth), 255);
    t.radiusCol = t.radiusFixed = controlText(item(kRadius), 255);
    t.color = static_cast<int64_t>(tab.color);
    t.opacity = opacity();
    t.lodEnabled = lodChecked();
    t.lodKm = toNumberOr(controlText(item(kLodKm), 31), 0);
    storeSectorTemplate(tab.templates, t);
    saveSectorTemplates(templatesFile(), tab.templates);
    fillTemplateCombo();
    selectComboPrefix(item(kTemplates), *name);
}

void drawColorButton(const DRAWITEMSTRUCT& d) {
    HBRUSH fill = CreateSolidBrush(tab.color);
    FillRect(d.hDC, &d.rcItem, fill);
    DeleteObject(fill);
    FrameRect(d.hDC, &d.rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void handleMessages() {
    tab.panel.onMessage(WM_DRAWITEM, [](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (d->CtlID != kColor) return std::nullopt;
        drawColorButton(*d);
        return TRUE;
    });
    tab.panel.onMessage(WM_HSCROLL, [](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (reinterpret_cast<HWND>(lParam) != item(kOpacity)) return std::nullopt;
        showOpacity(opacity());
        return 0;
    });
    tab.panel.onMessage(WM_SIZE, [](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        const int w = LOWORD(lParam), h = HIWORD(lParam);
        MoveWindow(item(kGenerate), 2, h - 27, 70, 20, TRUE);
        MoveWindow(item(kStatus), 76, h - 27, w - 80, 20, TRUE);
        return std::nullopt;
    });
}

// The labels end where their controls begin, at x 102.
constexpr int kLabelWidth = 30;

void buildControls(HWND p) {
    struct Row {
        int labelId;
        const wchar_t* label;
        int comboId;
        bool editable;
        const wchar_t* text;
    };
    const Row rows[] = {
        {kRadiusLabel, L"半径:", kRadius, true, kStartRadius},      {kSiteLabel, L"站名:", kSite, false, L""},
        {kLonLabel, L"经度:", kLon, false, L""},              {kLatLabel, L"纬度:", kLat, false, L""},
        {kAzimuthLabel, L"方位:", kAzimuth, true, L""},       {kBeamwidthLabel, L"波宽:", kBeamwidth, true, kStartBeamwidth},
    };
    for (int i = 0; i < 6; ++i) {
        const Row& r = rows[i];
        const int y = 4 + 22 * i;
        createLabel({.parent = p, .id = r.labelId, .text = r.label, .x = 72, .y = y, .width = kLabelWidth});
        createDropDown({.parent = p, .id = r.comboId, .x = 102, .y = y, .width = 70, .height = 200,
                        .editable = r.editable, .text = r.text});
    }
    createLabel({.parent = p, .id = kColorLabel, .text = L"颜色:", .x = 72, .y = 136, .width = kLabelWidth});
    auto inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(p, GWLP_HINSTANCE));
    CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 102, 136, 70, 20, p,
                    reinterpret_cast<HMENU>(kColor), inst, nullptr);

    createLabel({.parent = p, .id = kOpacityLabel, .text = L"透明:", .x = 72, .y = 158, .width = kLabelWidth});
    HWND track = CreateWindowExW(0, TRACKBAR_CLASSW, L"", WS_CHILD | WS_VISIBLE | TBS_HORZ | TBS_NOTICKS, 102, 158,
                                 60, 20, p, reinterpret_cast<HMENU>(kOpacity), inst, nullptr);
    SendMessageW(track, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    SendMessageW(track, TBM_SETPOS, TRUE, 100);
    createLabel({.parent = p, .id = kOpacityValue, .text = L"100%", .x = 164, .y = 158, .width = 28});

    createCheckBox({.parent = p, .id = kLod, .text = L"LOD:", .x = 72, .y = 180, .width = 42, .height = 20,
                    .checked = true});
    createEdit({.parent = p, .id = kLodKm, .text = L"5", .x = 116, .y = 180, .width = 30, .height = 20,
                .input = EditInput::Decimal});
    createLabel({.parent = p, .id = kKmLabel, .text = L"km", .x = 148, .y = 180, .width = 20});

    createLabel({.parent = p, .id = kTemplateLabel, .text = L"模板:", .x = 12, .y = 202, .width = 34});
    createDropDown({.parent = p, .id = kTemplates, .x = 46, .y = 202, .width = 94, .height = 200});
    createPictureButton({.parent = p, .id = kSave, .icon = L"resources\\icons\\save.png", .x = 142, .y = 200,
                         .width = 24, .height = 24});

    createPictureButton({.parent = p, .id = kOpen, .icon = L"resources\\icons\\open.png", .x = 12, .y = 4,
                         .width = 38, .height = 44});
    createButton({.parent = p, .id = kBatch, .text = L"批量", .kind = ButtonKind::Sky, .x = 12, .y = 48,
                  .width = 38, .height = 22, .onClicked = [] { chooseDataFiles(fileChoice(), tab.data); }});
    createButton({.parent = p, .id = kGenerate, .text = L"生成KML", .kind = ButtonKind::Blue, .x = 2, .y = 290,
                  .width = 70, .height = 20, .onClicked = generate});
    createStatusLabel({.parent = p, .id = kStatus, .text = L"等待导入CSV", .x = 76, .y = 290, .width = 110});
}

}  // namespace

HWND createSectorKmlTab(HWND main) {
    // Built afresh with every main window: nothing carries over from a previous one.
    tab.data = {};
    tab.color = RGB(255, 0, 0);
    tab.templates.clear();
    tab.panel = {};
    HWND p = createPanel({.parent = main, .className = L"TabSectorClass", .visible = false}, tab.panel);
    if (!p) return nullptr;
    buildControls(p);
    handleMessages();

    // The picture buttons and the owner-drawn ones have no handler of their own.
    tab.panel.onCommand(kOpen, [] { chooseDataFile(fileChoice(), tab.data); });
    tab.panel.onCommand(kColor, pickColor);
    tab.panel.onCommand(kSave, saveTemplate);
    tab.panel.onNotify(kTemplates, CBN_SELCHANGE, templateChosen);

    tab.templates = loadSectorTemplates(templatesFile());
    fillTemplateCombo();
    if (!tab.templates.empty()) {
        SendMessageW(item(kTemplates), CB_SETCURSEL, 0, 0);
        applyTemplate(tab.templates.front());
    }
    return p;
}

}  // namespace kit
