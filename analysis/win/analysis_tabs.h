#pragma once
// Plotvane's layer-matching and buffer-grouping tabs: each creates its panel
// inside the main window and returns it.
#include <windows.h>

namespace kit {

HWND createMatchTab(HWND mainWindow);  // "TabMatchContent": points against a polygon or point layer
HWND createGroupTab(HWND mainWindow);  // "TabTypeContent": points grouped by buffer distance

}  // namespace kit
