#include "batchkml/win/drivetest_tab.h"

#include "shell/panel.h"

namespace kit {

namespace {
Panel g_panel;
}

HWND createDriveTestTab(HWND main) {
    g_panel = Panel{};
    return createPanel({.parent = main, .className = L"TabPreviewClass"}, g_panel);
}

}  // namespace kit
