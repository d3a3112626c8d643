#pragma once
// The Tab key in the tab panels. The panels are plain child windows, not
// dialogs, so nothing moves the focus between their fields unless the
// program's loop does: Tab goes to the next field of the panel that holds the
// focus, Shift+Tab to the previous, both wrapping round, in reading order
// (line by line from the top, left to right within a line) whatever order the
// controls were made in. Fields are the panel's visible, enabled controls
// with WS_TABSTOP, also those inside a child area of the panel (the drive-test
// tab's range rows).
#include <windows.h>

#include <vector>

namespace kit {

// Moves the focus when the message is a Tab key press inside a panel; true
// when it did (the key is then used up).
bool moveFocusOnTab(const MSG& msg);

// The panel's fields in the order Tab visits them.
std::vector<HWND> tabOrder(HWND panel);

}  // namespace kit
