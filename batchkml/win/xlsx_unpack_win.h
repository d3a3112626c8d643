#pragma once
// Unpacking a workbook with the system's own tools: the Shell.Application
// object first, a hidden PowerShell Expand-Archive second. Quillet installs
// this in front of the built-in reader, which stays the last resort.
#include <string>

#include "batchkml/xlsx_unpack.h"

namespace kit {

// Unpacks into a fresh folder under the user's temporary folder, reads the
// parts from there and removes the folder again. False when both tools fail
// or the parts are unusable.
bool unpackXlsxWithSystemTools(const std::string& utf8Path, XlsxParts& parts);

// Puts unpackXlsxWithSystemTools in front of the built-in reader.
void installSystemXlsxUnpacker();

}  // namespace kit
