// The icon-map tab: longitude, latitude and an optional identifier column,
// the icon chosen in the picker (shown in the preview), templates of these in
// iconmap_templates.json.
#include "batchkml/win/iconmap_tab.h"

#include "batchkml/column_roles.h"
#include "batchkml/icon_catalog.h"
#include "batchkml/iconmap_kml.h"
#include "batchkml/quillet_runs.h"
#include "batchkml/win/icon_picker.h"
#include "batchkml/win/kml_tab_parts.h"
#include "shell/animated_button.h"
#include "shell/controls.h"
#include "shell/dialogs.h"
#include "shell/panel.h"
#include "shell/picture_button.h"
#include "shell/wide.h"

namespace kit {

namespace {

enum Id {
    kOpen = 400,
    kLon = 401,
    kLat = 402,
    kIdCol = 403,
    kPreview = 404,
    kGenerate = 405,
    kStatus = 406,
    kTemplates = 407,
    kSave = 408,
    kBatch = 409,
    kLonLabel = 410,
    kLatLabel = 411,
    kIdLabel = 412,
    kTemplateLabel = 413,
};

const std::vector<FileFilter> kDataFilter{{L"数据文件 (*.csv;*.xlsx)", L"*.csv;*.xlsx"},
                                          {L"CSV文件 (*.csv)", L"*.csv"},
                                          {L"Excel文件 (*.xlsx)", L"*.xlsx"},
                                          {L"所有文件 (*.*)", L"*.*"}};
const std::vector<FileFilter> kKmlFilter{{L"KML文件 (*.kml)", L"*.kml"}, {L"所有文件 (*.*)", L"*.*"}};

struct IconMapTab {
    Panel panel;
    KmlTabData data;
    IconChoice icon;
    std::wstring localIconPath;  // follows icon.localFile
    std::vector<IconMapTemplate> templates;
};
IconMapTab tab;

HWND item(int id) { return tab.panel.item(id); }

std::string templatesFile() { return iconMapTemplatesPath(templatesFolder()); }

void setIcon(IconChoice icon) {
    tab.icon = std::move(icon);
    tab.localIconPath = kmlIconPath(tab.icon.localFile);
    InvalidateRect(item(kPreview), nullptr, TRUE);
}

IconChoice defaultIcon() {
    const IconCatalogEntry& e = iconCatalog()[kDefaultIcon];
    return {defaultIconUrl(), iconNameOf(e.localFile), std::string(e.localFile)};
}

void fillCombos(const DataTable& t) {
    const std::pair<int, const std::vector<std::string_view>*> roles[] = {
        {kLon, &longitudeCandidates()}, {kLat, &latitudeCandidates()}, {kIdCol, &pointIdCandidates()}};
    for (const auto& [id, candidates] : roles) {
        setComboItems(item(id), t.headers);
        autoSelectColumn(item(id), t.headers, *candidates);
    }
}

DataFileChoice fileChoice() {
    return {.owner = tab.panel.hwnd,
            .status = item(kStatus),
            .title = L"选择数据文件",
            .batchTitle = L"批量选择数据文件",
            .filter = kDataFilter,
            .csvOnly = false,
            .loaded = fillCombos,
            .loadedText = pointsLoadedText};
}

void generate() {
    const IconMapParams p{.lonCol = comboSelection(item(kLon)),
                          .latCol = comboSelection(item(kLat)),
                          .idCol = comboSelection(item(kIdCol)),
                          .iconUrl = tab.icon.iconUrl};
    if (Outcome check = checkIconMap(tab.data.dataLoaded, p); !check.ok()) {
        showWarning(tab.panel.hwnd, check.message);
        return;
    }
    generateKml({.owner = tab.panel.hwnd,
                 .status = item(kStatus),
                 .fallbackName = "iconmap.kml",
                 .saveFilter = kKmlFilter,
                 .single = [&](const std::string& out) { return runIconMapSingle(tab.data.table, p, out); },
                 .batch = [&](const std::string& folder,
                              const BatchProgress& progress) {
                     return runIconMapBatch(tab.data.batchFiles, p, folder, progress);
                 }},
                tab.data);
}

void choosePicture() {
    if (auto chosen = pickIcon(tab.panel.hwnd)) setIcon(*chosen);
}

void fillTemplateCombo() {
    std::vector<std::string> names;
    for (const IconMapTemplate& t : tab.templates) names.push_back(t.name);
    setComboItems(item(kTemplates), names, -1);
}

void applyTemplate(const IconMapTemplate& t) {
    const std::pair<int, const std::string*> texts[] = {{kLon, &t.lonCol}, {kLat, &t.latCol}, {kIdCol, &t.idCol}};
    for (const auto& [id, text] : texts)
        if (!text->empty()) applyComboText(item(id), *text);
    setIcon({t.iconUrl, t.iconName, t.localFile});
}

void templateChosen() {
    const int i = comboSelection(item(kTemplates));
    if (i >= 0 && static_cast<size_t>(i) < tab.templates.size()) applyTemplate(tab.templates[static_cast<size_t>(i)]);
}

void saveTemplate() {
    const int selected = comboSelection(item(kTemplates));
    const std::wstring initial =
        selected >= 0 ? toWide(tab.templates[static_cast<size_t>(selected)].name) : std::wstring();
    const std::optional<std::wstring> name = askTemplateName(tab.panel.hwnd, L"IconMapTmplDlg", initial);
    if (!name) return;
    IconMapTemplate t{.name = toUtf8(*name),
                      .lonCol = controlText(item(kLon), 255),
                      .latCol = controlText(item(kLat), 255),
                      .idCol = controlText(item(kIdCol), 255),
                      .iconUrl = tab.icon.iconUrl,
                      .iconName = tab.icon.iconName,
                      .localFile = tab.icon.localFile};
    storeIconMapTemplate(tab.templates, t);
    saveIconMapTemplates(templatesFile(), tab.templates);
    fillTemplateCombo();
    selectComboPrefix(item(kTemplates), *name);
}

void handleMessages() {
    tab.panel.onMessage(WM_DRAWITEM, [](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (d->CtlID != kPreview) return std::nullopt;
        drawIconPreview(*d, tab.localIconPath);
        return TRUE;
    });
    tab.panel.onMessage(WM_SIZE, [](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        const int w = LOWORD(lParam), h = HIWORD(lParam);
        MoveWindow(item(kGenerate), 2, h - 27, 70, 20, TRUE);
        MoveWindow(item(kStatus), 76, h - 27, w - 80, 20, TRUE);
        return std::nullopt;
    });
}

void buildControls(HWND p) {
    const std::tuple<int, const wchar_t*, int> rows[] = {
        {kLonLabel, L"经度:", kLon}, {kLatLabel, L"纬度:", kLat}, {kIdLabel, L"ID:", kIdCol}};
    for (int i = 0; i < 3; ++i) {
        const auto& [labelId, label, comboId] = rows[i];
        const int y = 4 + 22 * i;
        createLabel({.parent = p, .id = labelId, .text = label, .x = 72, .y = y, .width = 30});  // up to the combo
        createDropDown({.parent = p, .id = comboId, .x = 102, .y = y, .width = 70, .height = 200});
    }
    createPictureButton({.parent = p, .id = kOpen, .icon = L"resources\\icons\\open.png", .x = 12, .y = 26,
                         .width = 38, .height = 44});
    createButton({.parent = p, .id = kBatch, .text = L"批量", .kind = ButtonKind::Sky, .x = 12, .y = 70,
                  .width = 38, .height = 22, .onClicked = [] { chooseDataFiles(fileChoice(), tab.data); }});
    createIconPreview(p, kPreview, 72, 70, 100, 38);
    createLabel({.parent = p, .id = kTemplateLabel, .text = L"模板:", .x = 12, .y = 110, .width = 34});
    createDropDown({.parent = p, .id = kTemplates, .x = 46, .y = 110, .width = 114, .height = 200});
    createPictureButton({.parent = p, .id = kSave, .icon = L"resources\\icons\\save.png", .x = 162, .y = 108,
                         .width = 24, .height = 24});
    createButton({.parent = p, .id = kGenerate, .text = L"生成KML", .kind = ButtonKind::Blue, .x = 2, .y = 290,
                  .width = 70, .height = 20, .onClicked = generate});
    createStatusLabel({.parent = p, .id = kStatus, .text = L"等待导入数据", .x = 76, .y = 290, .width = 110});
}

}  // namespace

HWND createIconMapTab(HWND main) {
    // Built afresh with every main window: nothing carries over from a previous one.
    tab.data = {};
    tab.templates.clear();
    tab.panel = {};
    HWND p = createPanel({.parent = main, .className = L"TabIconMapClass", .visible = false}, tab.panel);
    if (!p) return nullptr;
    buildControls(p);
    handleMessages();
    setIcon(defaultIcon());

    // The picture buttons and the owner-drawn ones have no handler of their own.
    tab.panel.onCommand(kOpen, [] { chooseDataFile(fileChoice(), tab.data); });
    tab.panel.onCommand(kPreview, choosePicture);
    tab.panel.onCommand(kSave, saveTemplate);
    tab.panel.onNotify(kTemplates, CBN_SELCHANGE, templateChosen);

    loadIconMapTemplates(templatesFile(), tab.templates);
    fillTemplateCombo();
    if (!tab.templates.empty()) {
        SendMessageW(item(kTemplates), CB_SETCURSEL, 0, 0);
        applyTemplate(tab.templates.front());
    }
    return p;
}

}  // namespace kit
