// Plotvane.exe: the main window with its tool tabs, and the floating ball it
// hides to; the program ends from the ball's menu.
#include <windows.h>

#include "apps/plotvane_window.h"
#include "shell/app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return kit::runShellProgram(instance, kit::plotvaneWindowConfig());
}
