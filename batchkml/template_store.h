#pragma once
// templates.json: the user's colour templates and the last used name.
// Written whole through a temporary file beside it, so a failed write never
// loses the previous file; read by a tolerant scanner that gives the
// built-in templates whenever the file yields nothing usable.
#include <string>
#include <string_view>
#include <vector>

#include "batchkml/color_template.h"

namespace kit {

// exeFolder + "/templates.json" ("templates.json" when the folder is unknown).
std::string templatesPath(std::string_view exeFolder);

// The file's text (UTF-8 with BOM, LF line ends), names escaped (\" and \\).
std::string formatTemplates(const std::vector<ColorTemplate>& list, std::string_view lastUsed);
// Scans the text (BOM allowed). lastUsed becomes the file's non-empty
// last_used, else "4G城区". A template keeps its first kMaxRanges ranges.
// Gives the built-ins when no template survives.
std::vector<ColorTemplate> parseTemplates(std::string_view text, std::string& lastUsed);

// Reads the file; one that cannot be opened gives the built-ins and leaves
// lastUsed as it was.
std::vector<ColorTemplate> loadTemplates(const std::string& path, std::string& lastUsed);
// Writes the whole file; false when it could not be written (the old file stays).
bool saveTemplates(const std::string& path, const std::vector<ColorTemplate>& list, std::string_view lastUsed);

}  // namespace kit
