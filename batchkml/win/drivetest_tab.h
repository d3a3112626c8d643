#pragma once
// Quillet's drive-test tab: measurements from CSV/XLSX drawn as circles
// coloured by a template's value ranges, one KML or a batch.
#include <windows.h>

namespace kit {

// The panel (class "TabPreviewClass") at the main window's tab rectangle.
HWND createDriveTestTab(HWND main);

}  // namespace kit
