#pragma once
// Saving a generated layer from a panel: the save dialog with the layer
// file types, the file written by the name's extension (GeoJSON, KML or a
// Shapefile set), then the success box and Explorer on the file.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "shell/dialogs.h"

namespace kit {

// True when a file was written; false when the dialog was cancelled (silently)
// or writing failed (after the error box).
// nameProperty and runNote as saveLayer takes them.
bool saveLayerText(HWND owner, std::string_view geojson, const std::wstring& title, const std::wstring& defaultName,
                   size_t nameProperty = 0, std::string_view runNote = {});

// What every layer-generating tab does with its run: a warning goes to its
// box, a layer to saveLayerText (the run's message, a note such as rows
// skipped, added to the success box). Title and name in UTF-8, as the runs
// name them.
bool saveLayerOutcome(HWND owner, const Outcome& run, std::string_view title, std::string_view defaultName,
                      size_t nameProperty = 0);

}  // namespace kit
