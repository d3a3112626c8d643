// The largest downtilt that keeps the beam's upper edge off the roof, with
// the building, its dimensions and the beam edge drawn above the fields.
#include "calculators/roof_edge.h"
#include "calculators/roof_edge_canvas.h"
#include "calculators/win/calculator_tabs.h"
#include "calculators/win/drawn_tab.h"
#include "calculators/win/tab_controls.h"

namespace kit {

namespace {

using namespace calc_id;

Panel panel;
RoofEdgeResult result;  // what the canvas shows

const Picture picture = [](int w, int h) { return drawRoofEdgeCanvas(result, w, h); };

std::string compute() {
    HWND p = panel.hwnd;
    result = runRoofEdge(calc::text(p, kRoofHeight), calc::text(p, kRoofDistance), calc::text(p, kRoofBeam));
    return result.text;
}

}  // namespace

HWND createBuildingTab(HWND mainWindow) {
    result = RoofEdgeResult{};
    const auto& f = kRoofEdgeDefaultFields;
    return calc::createDrawnTab(mainWindow, panel,
                                {.className = L"TabBuildingContent",
                                 .heading = L"楼面效应下倾角",
                                 .canvasClass = L"BuildingCanvas",
                                 .canvasId = kRoofCanvas,
                                 .canvasHeight = 155,
                                 .fields = {{L"挂高 H(m):", kRoofHeight, 8, 187, 62, 60, f[0]},
                                            {L"距离 L(m):", kRoofDistance, 134, 187, 62, 50, f[1]},
                                            {L"10dB功率角 α(°):", kRoofBeam, 8, 213, 100, 60, f[2]}},
                                 .computeId = kRoofCompute,
                                 .computeY = 241,
                                 .resultId = kRoofResult,
                                 .resultY = 271,
                                 .resultHeight = 55,
                                 .helpId = kRoofHelp,
                                 .helpY = 329,
                                 .helpButton = L"? 帮助（公式/楼面效应）"},
                                &picture, compute, roofEdgeHelp);
}

}  // namespace kit
