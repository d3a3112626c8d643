#include "calculators/win/drawn_tab.h"

#include "calculators/win/tab_controls.h"

namespace kit::calc {

HWND createDrawnTab(HWND mainWindow, Panel& panel, const DrawnTabLayout& l, const Picture* picture,
                    std::function<std::string()> compute, HelpText (*help)()) {
    panel = Panel{};
    HWND p = createPanel({.parent = mainWindow, .className = l.className}, panel);
    if (!p) return nullptr;

    heading(p, l.heading, 4, false);
    rule(p, 24);
    createCanvas({.parent = p, .className = l.canvasClass, .id = l.canvasId, .x = kLeft, .y = 28, .width = kColumn,
                  .height = l.canvasHeight, .picture = picture});
    for (const FieldRow& r : l.fields) {
        label(p, r.label, r.x, r.y + 2, r.labelWidth, 18);
        field(p, r.id, r.initial, r.x + r.labelWidth + 2, r.y, r.fieldWidth, 22);
    }
    button(p, l.computeId, L"计算", kLeft, l.computeY, kColumn, 26);
    result(p, l.resultId, L"点击计算查看结果", l.resultY, l.resultHeight);
    button(p, l.helpId, l.helpButton, kLeft, l.helpY, kColumn, 24);

    auto run = [p, resultId = l.resultId, canvasId = l.canvasId, compute] {
        show(p, resultId, compute());
        InvalidateRect(GetDlgItem(p, canvasId), nullptr, FALSE);
    };
    panel.onCommand(l.computeId, run);
    panel.onCommand(l.helpId, [p, help] { toggleHelp(p, help()); });
    run();
    return p;
}

}  // namespace kit::calc
