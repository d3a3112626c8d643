#pragma once
// The help dialog of each calculator tab: its title and its text, lines
// separated by CR LF as the dialog's edit control needs them.
#include <string>

namespace kit {

struct HelpText {
    std::string title;
    std::string text;
};

HelpText arfcnHelp();
HelpText downtiltHelp();
HelpText roofEdgeHelp();
HelpText powerHelp();
HelpText baseHelp();
HelpText rateHelp();

}  // namespace kit
