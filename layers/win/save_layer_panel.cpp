#include "layers/win/save_layer_panel.h"

#include "layers/layer_file.h"
#include "shell/wide.h"

namespace kit {

namespace {

// GeoJSON, Shapefile, KML, all files.
const std::vector<FileFilter>& layerFileFilter() {
    static const std::vector<FileFilter> filter{{L"GeoJSON (*.geojson)", L"*.geojson;*.json"},
                                                {L"Shapefile (*.shp)", L"*.shp"},
                                                {L"KML (*.kml)", L"*.kml"},
                                                {L"所有文件", L"*.*"}};
    return filter;
}

}  // namespace

bool saveLayerText(HWND owner, std::string_view geojson, const std::wstring& title, const std::wstring& defaultName,
                   size_t nameProperty, std::string_view runNote) {
    std::wstring path = chooseSaveFile(owner, title, defaultName, layerFileFilter());
    if (path.empty()) return false;
    Outcome written = saveLayer(toUtf8(path), geojson, nameProperty, runNote);
    if (!written.ok()) {
        showError(owner, std::string_view(written.message));
        return false;
    }
    showSuccess(owner, std::string_view(written.message));
    revealInExplorer(owner, toWide(written.text));
    return true;
}

bool saveLayerOutcome(HWND owner, const Outcome& run, std::string_view title, std::string_view defaultName,
                      size_t nameProperty) {
    if (!run.ok()) {
        showOutcomeMessage(owner, run);
        return false;
    }
    return saveLayerText(owner, run.text, toWide(title), toWide(defaultName), nameProperty, run.message);
}

}  // namespace kit
