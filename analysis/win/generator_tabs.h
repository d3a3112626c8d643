#pragma once
// Plotvane's three layer-generating tabs: each creates its panel inside the
// main window and returns it.
#include <windows.h>

namespace kit {

HWND createPointsTab(HWND mainWindow);   // "TabPointsContent": one point per row
HWND createSectorsTab(HWND mainWindow);  // "TabSectorsContent": one sector polygon per row
HWND createPolygonTab(HWND mainWindow);  // "TabPolygonContent": a regular polygon or star per row

}  // namespace kit
