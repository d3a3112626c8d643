// Quillet.exe: drive-test, sector and icon-map KML, one file or a batch;
// closing the window ends the program.
#include <windows.h>

#include "apps/quillet_window.h"
#include "batchkml/win/xlsx_unpack_win.h"
#include "shell/app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Workbooks: the system's unpacking tools first, the built-in reader last.
    kit::installSystemXlsxUnpacker();
    return kit::runShellProgram(instance, kit::quilletWindowConfig());
}
