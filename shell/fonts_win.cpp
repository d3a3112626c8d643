#include "shell/fonts.h"

namespace kit {

HFONT createFont(const wchar_t* face, int height, int weight) {
    return CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

const Fonts& sharedFonts() {
    static const Fonts fonts{createFont(L"Microsoft YaHei", 12, FW_NORMAL), createFont(L"Microsoft YaHei", 14, FW_BOLD),
                             createFont(L"Microsoft YaHei", 10, FW_NORMAL)};
    return fonts;
}

}  // namespace kit
