#pragma once
// Quillet's icon-map tab: a point list (CSV or XLSX) as placemarks with one
// icon from the catalogue and every cell as extended data, one KML or a batch.
#include <windows.h>

namespace kit {

// The panel (class "TabIconMapClass") at the main window's tab rectangle,
// hidden until its tab is selected.
HWND createIconMapTab(HWND main);

}  // namespace kit
