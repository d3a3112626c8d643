#pragma once
// Quillet's sector tab: a site list (CSV) drawn as sector wedges and labelled
// site points in one colour and opacity, one KML or a batch.
#include <windows.h>

namespace kit {

// The panel (class "TabSectorClass") at the main window's tab rectangle,
// hidden until its tab is selected.
HWND createSectorKmlTab(HWND main);

}  // namespace kit
