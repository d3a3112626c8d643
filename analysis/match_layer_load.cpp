// Kept apart from the run so that programs and tests that never load a file
// don't need the layer readers.
#include "analysis/layer_match.h"
#include "layers/layer_file.h"

namespace kit {

Outcome loadMatchLayer(const std::string& utf8Path, Layer& layer) {
    if (auto error = loadLayerFile(utf8Path, layer)) return Outcome::error(*error);
    if (layer.features.empty()) return Outcome::warning(kNoGeometryFound);
    return Outcome::success(layerLoadedLabel(layer), {});
}

}  // namespace kit
