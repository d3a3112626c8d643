#pragma once
// The coverage tab of Plotvane: station table from the clipboard, one of four
// analyses, and its result saved to a file the user names.
#include <windows.h>

#include <string>

namespace kit {

HWND createCoverageTab(HWND mainWindow);  // "TabCoverageContent"

// Where the terrain profile looks for elevation tiles (UTF-8); empty: the
// folder dem beside the executable. Read at every run.
void setCoverageDemFolder(const std::string& utf8Folder);

}  // namespace kit
