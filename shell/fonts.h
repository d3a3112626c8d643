#pragma once
// The shared "Microsoft YaHei" fonts, created together on first use and kept
// until exit.
#include <windows.h>

namespace kit {

struct Fonts {
    HFONT regular;  // 12 px, 400
    HFONT bold;     // 14 px, 700
    HFONT small;    // 10 px, 400
};

const Fonts& sharedFonts();

// A ClearType font of the given face, pixel height and weight; the caller owns it.
HFONT createFont(const wchar_t* face, int height, int weight);

}  // namespace kit
