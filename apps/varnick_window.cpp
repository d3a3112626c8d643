#include "apps/varnick_window.h"

#include "calculators/win/calculator_tabs.h"

namespace kit {

MainWindowConfig varnickWindowConfig() {
    MainWindowConfig c;
    c.className = L"VarnickMainWindow";
    c.title = L"Varnick";
    c.width = 280;
    c.height = 400;
    c.panel = RECT{28, 28, 280, 400};
    c.closeAction = CloseAction::Quit;
    c.thinBorder = false;
    c.helpClass = L"VarnickHelpDlg";
    c.tabs = {
        {L"resources\\icons\\pinlv_zh.png", createFreqTab},
        {L"resources\\icons\\jiaojian_zh.png", createDowntiltTab},
        {L"resources\\icons\\gonglv_zh.png", createPowerTab},
        {L"resources\\icons\\jinzhi_zh.png", createBaseTab},
        {L"resources\\icons\\sulv_zh.png", createSpeedTab},
        {L"resources\\icons\\loumian_xy.png", createBuildingTab},
    };
    return c;
}

}  // namespace kit
