#pragma once
// KML: the placemark reader for reference layers and the writer that turns a
// generated layer's GeoJSON text into a KML document.
#include <string>
#include <string_view>

#include "core/outcome.h"
#include "layers/feature.h"

namespace kit {

// Appends the placemarks' points and polygons to the layer; never fails.
void readKml(std::string_view text, Layer& layer);

// The KML document for a GeoJSON text: one placemark per feature that has
// coordinates, its properties as ExtendedData (SchemaData/SimpleData under
// one <Schema> of string fields: GDAL's LIBKML driver keeps those names as
// written, while it mangles a <Data> name outside [A-Za-z0-9_]), named by
// the property at index nameProperty (the row's first cell, after the tool's
// own keys) when the feature has it and it is not empty, else "Feature <n>".
// Multi types become a MultiGeometry; polygon holes innerBoundaryIs.
std::string kmlFromGeoJson(std::string_view geojson, size_t nameProperty = 0);

// Converts and writes; Success (path in text) or Error with the message to show.
Outcome writeKml(std::string_view geojson, const std::string& utf8Path, size_t nameProperty = 0);

}  // namespace kit
