// Varnick.exe: six telecom calculators in one small window; closing it ends
// the program.
#include <windows.h>

#include "apps/varnick_window.h"
#include "shell/app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return kit::runShellProgram(instance, kit::varnickWindowConfig());
}
