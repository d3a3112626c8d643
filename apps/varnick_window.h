#pragma once
// Varnick's main window: the shell with its own class, title and size, six
// calculator tabs, no floating ball (closing ends the program) and no frame.
#include "shell/main_window.h"

namespace kit {

MainWindowConfig varnickWindowConfig();

}  // namespace kit
