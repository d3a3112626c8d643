#pragma once
// Plotvane's main window: the shell's defaults plus its nine tabs.
#include "shell/main_window.h"

namespace kit {

MainWindowConfig plotvaneWindowConfig();

}  // namespace kit
