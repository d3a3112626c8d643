// Antenna height and downtilt to the ground distances of the beam, with the
// mast and its three rays drawn above the fields.
#include "calculators/downtilt.h"
#include "calculators/downtilt_canvas.h"
#include "calculators/win/calculator_tabs.h"
#include "calculators/win/drawn_tab.h"
#include "calculators/win/tab_controls.h"

namespace kit {

namespace {

using namespace calc_id;

Panel panel;
DowntiltResult result;  // what the canvas shows

const Picture picture = [](int w, int h) { return drawDowntiltCanvas(result, w, h); };

std::string compute() {
    HWND p = panel.hwnd;
    result = runDowntilt(calc::text(p, kHeight), calc::text(p, kMechanical), calc::text(p, kElectrical),
                         calc::text(p, kBeam));
    return result.text;
}

}  // namespace

HWND createDowntiltTab(HWND mainWindow) {
    result = DowntiltResult{};
    const auto& f = kDowntiltDefaultFields;
    return calc::createDrawnTab(mainWindow, panel,
                                {.className = L"TabDowntiltContent",
                                 .heading = L"站高倾角距离计算",
                                 .canvasClass = L"DowntiltCanvas",
                                 .canvasId = kDowntiltCanvas,
                                 .canvasHeight = 150,
                                 .fields = {{L"挂高(m):", kHeight, 8, 182, 52, 55, f[0]},
                                            {L"机械(°):", kMechanical, 124, 182, 50, 55, f[1]},
                                            {L"电倾(°):", kElectrical, 8, 208, 52, 55, f[2]},
                                            {L"波束(°):", kBeam, 124, 208, 50, 55, f[3]}},
                                 .computeId = kDowntiltCompute,
                                 .computeY = 240,
                                 .resultId = kDowntiltResult,
                                 .resultY = 270,
                                 .resultHeight = 60,
                                 .helpId = kDowntiltHelp,
                                 .helpY = 334,
                                 .helpButton = L"? 帮助（公式/图示）"},
                                &picture, compute, downtiltHelp);
}

}  // namespace kit
