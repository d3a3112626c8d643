#pragma once
// The coverage tab of Plotvane: station table from the clipboard, one of four
// analyses, and its result saved to a file the user names.
#include <windows.h>

namespace kit {

HWND createCoverageTab(HWND mainWindow);  // "TabCoverageContent"

}  // namespace kit
