// Antenna height and downtilt to the ground distances of the beam, with the
// mast and its three rays drawn above the fields.
#include "calculators/downtilt.h"
#include "calculators/downtilt_canvas.h"
#include "calculators/help_texts.h"
#include "calculators/win/calculator_tabs.h"
#include "calculators/win/canvas.h"
#include "calculators/win/tab_controls.h"
#include "shell/panel.h"

namespace kit {

namespace {

using namespace calc_id;

struct DowntiltTab {
    Panel panel;
    DowntiltResult result;  // what the canvas shows
};
DowntiltTab tab;

const Picture picture = [](int w, int h) { return drawDowntiltCanvas(tab.result, w, h); };

void compute() {
    HWND p = tab.panel.hwnd;
    tab.result = runDowntilt(calc::text(p, kHeight), calc::text(p, kMechanical), calc::text(p, kElectrical),
                             calc::text(p, kBeam));
    calc::show(p, kDowntiltResult, tab.result.text);
    InvalidateRect(tab.panel.item(kDowntiltCanvas), nullptr, FALSE);
}

}  // namespace

HWND createDowntiltTab(HWND mainWindow) {
    tab = DowntiltTab{};
    HWND p = createPanel({.parent = mainWindow, .className = L"TabDowntiltContent"}, tab.panel);
    if (!p) return nullptr;

    calc::heading(p, L"站高倾角距离计算", 4, false);
    calc::rule(p, 24);
    createCanvas({.parent = p, .className = L"DowntiltCanvas", .id = kDowntiltCanvas, .x = 8, .y = 28, .width = 236,
                  .height = 150, .picture = &picture});
    struct Row {
        const wchar_t* label;
        int id, x, y, labelWidth;
    };
    const Row rows[] = {{L"挂高(m):", kHeight, 8, 182, 52},
                        {L"机械(°):", kMechanical, 124, 182, 50},
                        {L"电倾(°):", kElectrical, 8, 208, 52},
                        {L"波束(°):", kBeam, 124, 208, 50}};
    for (int i = 0; i < 4; ++i) {
        const Row& r = rows[i];
        calc::label(p, r.label, r.x, r.y + 2, r.labelWidth, 18);
        calc::field(p, r.id, kDowntiltDefaultFields[i], r.x + r.labelWidth + 2, r.y, 55, 22);
    }
    calc::button(p, kDowntiltCompute, L"计算", 8, 240, 236, 26);
    calc::result(p, kDowntiltResult, L"点击计算查看结果", 270, 60);
    calc::button(p, kDowntiltHelp, L"? 帮助（公式/图示）", 8, 334, 236, 24);

    tab.panel.onCommand(kDowntiltCompute, compute);
    tab.panel.onCommand(kDowntiltHelp, [] { calc::toggleHelp(tab.panel.hwnd, downtiltHelp()); });
    compute();
    return p;
}

}  // namespace kit
