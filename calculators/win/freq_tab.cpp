// Channel number and frequency, both ways, for LTE (band list) and NR.
#include <string>
#include <vector>

#include "calculators/arfcn.h"
#include "calculators/band_tables.h"
#include "calculators/help_texts.h"
#include "calculators/win/calculator_tabs.h"
#include "calculators/win/tab_controls.h"
#include "shell/controls.h"
#include "shell/panel.h"

namespace kit {

namespace {

using namespace calc_id;

Panel panel;

bool nrSelected() { return comboSelection(panel.item(kStandard)) == 1; }

// The band list of the chosen standard, with its usual band selected.
void fillBands() {
    std::vector<std::string> names;
    if (nrSelected()) {
        for (const NrBand& b : nrBands()) names.emplace_back(b.name);
        setComboItems(panel.item(kBand), names, kDefaultNrBandIndex);
    } else {
        for (const LteBand& b : lteBands()) names.emplace_back(b.name);
        setComboItems(panel.item(kBand), names, kDefaultLteBandIndex);
    }
}

int selectedBand() { return bandNumberAt(nrSelected(), comboSelection(panel.item(kBand))); }

void toFrequency() {
    std::string channel = calc::text(panel.hwnd, kChannel);
    calc::show(panel.hwnd, kFreqResult,
               nrSelected() ? nrChannelToFrequencyText(channel) : lteChannelToFrequencyText(channel, selectedBand()));
}

void toChannel() {
    std::string mhz = calc::text(panel.hwnd, kFrequency);
    calc::show(panel.hwnd, kFreqResult,
               nrSelected() ? nrFrequencyToChannelText(mhz) : lteFrequencyToChannelText(mhz, selectedBand()));
}

}  // namespace

HWND createFreqTab(HWND mainWindow) {
    panel = Panel{};
    HWND p = createPanel({.parent = mainWindow, .className = L"TabFreqContent"}, panel);
    if (!p) return nullptr;

    calc::heading(p, L"频点频率互换", 6, true);
    calc::rule(p, 26);
    calc::label(p, L"制式:", 8, 34, 32, 18);
    calc::list(p, kStandard, {std::string(kStandardNames[0]), std::string(kStandardNames[1])}, 0, 42, 32, 70, 120);
    calc::label(p, L"Band:", 120, 34, 36, 18);
    calc::list(p, kBand, {}, -1, 158, 32, 86, 140);
    fillBands();
    calc::rule(p, 62);
    calc::label(p, L"频点:", 8, 72, 32, 18);
    calc::field(p, kChannel, kChannelDefaultField, 42, 70, 80, 24);
    calc::button(p, kToFrequency, L"→ 算频率", 128, 70, 116, 24);
    calc::label(p, L"⇅", 108, 102, 20, 18, calc::fonts().arrow);
    calc::label(p, L"频率:", 8, 124, 32, 18);
    calc::field(p, kFrequency, kFrequencyDefaultField, 42, 122, 80, 24);
    calc::button(p, kToChannel, L"→ 算频点", 128, 122, 116, 24);
    calc::rule(p, 154);
    calc::result(p, kFreqResult, L"输入参数后点击按钮转换", 162, 50);
    calc::button(p, kFreqHelp, L"? 帮助（频段表/公式）", 8, 217, 236, 24);

    panel.onNotify(kStandard, CBN_SELCHANGE, fillBands);
    panel.onCommand(kToFrequency, toFrequency);
    panel.onCommand(kToChannel, toChannel);
    panel.onCommand(kFreqHelp, [] { calc::toggleHelp(panel.hwnd, arfcnHelp()); });
    return p;
}

}  // namespace kit
