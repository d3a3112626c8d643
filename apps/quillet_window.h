#pragma once
// Quillet's window: the shared shell with the three KML tabs, closing ends
// the program.
#include "shell/main_window.h"

namespace kit {

MainWindowConfig quilletWindowConfig();

}  // namespace kit
