#include "apps/quillet_window.h"

#include "batchkml/win/drivetest_tab.h"
#include "batchkml/win/iconmap_tab.h"
#include "batchkml/win/sector_kml_tab.h"

namespace kit {

MainWindowConfig quilletWindowConfig() {
    MainWindowConfig c;
    c.className = L"Quillet_MainWindow";
    c.title = L"Quillet";
    c.width = 220;
    c.height = 345;
    c.panel = RECT{28, 28, 220, 345};
    c.tabIconSize = 16;
    c.closeAction = CloseAction::Quit;
    c.thinBorder = false;
    c.paintedFrame = true;
    c.helpClass = L"QuilletHelpDlg";
    c.colors.strip = RGB(215, 219, 224);
    c.colors.tabSelected = RGB(33, 150, 243);
    c.colors.tabHovered = RGB(220, 226, 235);
    c.colors.tabNormal = RGB(240, 243, 245);
    c.colors.selectedIndicator = RGB(15, 65, 108);
    c.tabs = {
        {L"resources\\icons\\luce.png", createDriveTestTab},
        {L"resources\\icons\\shanxing.png", createSectorKmlTab},
        {L"resources\\icons\\tab3.png", createIconMapTab},
    };
    return c;
}

}  // namespace kit
