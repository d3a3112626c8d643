#pragma once
// A program's whole life: common controls, GDI+, the main window (and the
// floating ball when closing hides to it), one message loop.
#include <windows.h>

#include "shell/main_window.h"

namespace kit {

int runShellProgram(HINSTANCE instance, const MainWindowConfig& config);

}  // namespace kit
