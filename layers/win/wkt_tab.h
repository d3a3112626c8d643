#pragma once
// Plotvane's WKT table to layer tab ("TabDfGdfContent"): creates its panel
// inside the main window and returns it.
#include <windows.h>

namespace kit {

HWND createWktTab(HWND mainWindow);

}  // namespace kit
