#pragma once
// The two nearest-site tabs of Plotvane: each creates its panel inside the
// main window and returns it.
#include <windows.h>

namespace kit {

HWND createRecent1Tab(HWND mainWindow);  // "TabRecent1Content": nearest sites within one table
HWND createRecent2Tab(HWND mainWindow);  // "TabRecent2Content": nearest sites between two tables

}  // namespace kit
