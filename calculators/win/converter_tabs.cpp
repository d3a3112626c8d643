// The three one-field converters (power, number base, data rate): one layout,
// each with its own list, calculation and help.
#include <string>
#include <string_view>
#include <vector>

#include "calculators/help_texts.h"
#include "calculators/number_base.h"
#include "calculators/power_units.h"
#include "calculators/rate_units.h"
#include "calculators/win/calculator_tabs.h"
#include "calculators/win/tab_controls.h"
#include "shell/controls.h"
#include "shell/panel.h"

namespace kit {

namespace {

using namespace calc_id;

struct ConverterSpec {
    const wchar_t* className;
    const wchar_t* heading;
    const wchar_t* label;
    int labelWidth;
    std::string_view initial;
    int fieldX, fieldWidth;
    int listX, listWidth, listHeight;
    std::vector<std::string> items;
    int selected;
    int resultHeight;
    const wchar_t* helpText;
    int helpY;
    int fieldId, listId, convertId, resultId, helpId;
    std::string (*convert)(std::string_view field, int listIndex);
    HelpText (*help)();
};

template <size_t N>
std::vector<std::string> names(const std::string_view (&list)[N]) {
    return std::vector<std::string>(std::begin(list), std::end(list));
}

struct Converter {
    ConverterSpec spec;
    Panel panel;

    void convert() {
        HWND p = panel.hwnd;
        calc::show(p, spec.resultId, spec.convert(calc::text(p, spec.fieldId), comboSelection(panel.item(spec.listId))));
    }
};

HWND createConverter(HWND mainWindow, Converter& c) {
    const ConverterSpec& s = c.spec;
    c.panel = Panel{};
    HWND p = createPanel({.parent = mainWindow, .className = s.className}, c.panel);
    if (!p) return nullptr;

    calc::heading(p, s.heading, 6, true);
    calc::rule(p, 26);
    calc::label(p, s.label, 8, 34, s.labelWidth, 18);
    calc::field(p, s.fieldId, s.initial, s.fieldX, 32, s.fieldWidth, 24);
    calc::list(p, s.listId, s.items, s.selected, s.listX, 32, s.listWidth, s.listHeight);
    calc::button(p, s.convertId, L"转换", 8, 64, 236, 26);
    calc::rule(p, 98);
    calc::result(p, s.resultId, L"点击转换查看结果", 108, s.resultHeight, calc::fonts().input);
    calc::button(p, s.helpId, s.helpText, 8, s.helpY, 236, 24);

    c.panel.onCommand(s.convertId, [&c] { c.convert(); });
    c.panel.onCommand(s.helpId, [&c] { calc::toggleHelp(c.panel.hwnd, c.spec.help()); });
    c.convert();
    return p;
}

Converter power{{L"TabPowerContent", L"功率单位互换", L"输入值:", 48, kPowerDefaultField, 60, 80, 146, 98, 100,
                 names(kPowerUnits), 0, 80, L"? 帮助（dB速查表）", 193, kPowerField, kPowerUnit, kPowerConvert,
                 kPowerResult, kPowerHelp, convertPower, powerHelp}};
Converter base{{L"TabBaseContent", L"进制转换", L"输入:", 35, kBaseDefaultField, 46, 90, 142, 102, 120,
                names(kBaseNames), 0, 100, L"? 帮助", 213, kBaseField, kBaseList, kBaseConvert, kBaseResult,
                kBaseHelp, convertBase, baseHelp}};
Converter rate{{L"TabSpeedContent", L"速率单位互转", L"输入:", 35, kRateDefaultField, 46, 90, 142, 102, 120,
                names(kRateUnits), kDefaultRateUnit, 100, L"? 帮助（单位/参考速率）", 213, kRateField, kRateUnit,
                kRateConvert, kRateResult, kRateHelp, convertRate, rateHelp}};

}  // namespace

HWND createPowerTab(HWND mainWindow) { return createConverter(mainWindow, power); }
HWND createBaseTab(HWND mainWindow) { return createConverter(mainWindow, base); }
HWND createSpeedTab(HWND mainWindow) { return createConverter(mainWindow, rate); }

}  // namespace kit
