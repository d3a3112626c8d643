// The largest downtilt that keeps the beam's upper edge off the roof, with
// the building, its dimensions and the beam edge drawn above the fields.
#include "calculators/help_texts.h"
#include "calculators/roof_edge.h"
#include "calculators/roof_edge_canvas.h"
#include "calculators/win/calculator_tabs.h"
#include "calculators/win/canvas.h"
#include "calculators/win/tab_controls.h"
#include "shell/panel.h"

namespace kit {

namespace {

using namespace calc_id;

struct BuildingTab {
    Panel panel;
    RoofEdgeResult result;  // what the canvas shows
};
BuildingTab tab;

const Picture picture = [](int w, int h) { return drawRoofEdgeCanvas(tab.result, w, h); };

void compute() {
    HWND p = tab.panel.hwnd;
    tab.result = runRoofEdge(calc::text(p, kRoofHeight), calc::text(p, kRoofDistance), calc::text(p, kRoofBeam));
    calc::show(p, kRoofResult, tab.result.text);
    InvalidateRect(tab.panel.item(kRoofCanvas), nullptr, FALSE);
}

}  // namespace

HWND createBuildingTab(HWND mainWindow) {
    tab = BuildingTab{};
    HWND p = createPanel({.parent = mainWindow, .className = L"TabBuildingContent"}, tab.panel);
    if (!p) return nullptr;

    calc::heading(p, L"楼面效应下倾角", 4, false);
    calc::rule(p, 24);
    createCanvas({.parent = p, .className = L"BuildingCanvas", .id = kRoofCanvas, .x = 8, .y = 28, .width = 236,
                  .height = 155, .picture = &picture});
    struct Row {
        const wchar_t* label;
        int id, x, y, labelWidth, fieldWidth;
    };
    const Row rows[] = {{L"挂高 H(m):", kRoofHeight, 8, 187, 62, 60},
                        {L"距离 L(m):", kRoofDistance, 138, 187, 62, 60},
                        {L"10dB功率角 α(°):", kRoofBeam, 8, 213, 100, 60}};
    for (int i = 0; i < 3; ++i) {
        const Row& r = rows[i];
        calc::label(p, r.label, r.x, r.y + 2, r.labelWidth, 18);
        calc::field(p, r.id, kRoofEdgeDefaultFields[i], r.x + r.labelWidth + 2, r.y, r.fieldWidth, 22);
    }
    calc::button(p, kRoofCompute, L"计算", 8, 241, 236, 26);
    calc::result(p, kRoofResult, L"点击计算查看结果", 271, 55);
    calc::button(p, kRoofHelp, L"? 帮助（公式/楼面效应）", 8, 329, 236, 24);

    tab.panel.onCommand(kRoofCompute, compute);
    tab.panel.onCommand(kRoofHelp, [] { calc::toggleHelp(tab.panel.hwnd, roofEdgeHelp()); });
    compute();
    return p;
}

}  // namespace kit
