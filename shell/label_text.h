#pragma once
// One-line labels that may hold symbols beyond U+FFFF (📋 📁). Where the
// label's font lacks such a symbol, GDI's own text calls may not find it in
// any other font (Wine draws two boxes), so those symbols are shaped and drawn
// from Symbola when it is installed and has them. Everything else, and any
// label where that is not possible, is drawn exactly as DrawTextW draws it.
#include <windows.h>

#include <cstddef>
#include <string_view>
#include <vector>

namespace kit {

struct LabelRun {
    std::size_t begin, length;
    bool supplementary;  // whole surrogate pairs only
};
// Consecutive runs covering the text; a lone surrogate is ordinary text.
std::vector<LabelRun> labelRuns(std::wstring_view text);

// Like DrawTextW(dc, text, rect, format | DT_SINGLELINE | DT_NOPREFIX) for the
// alignments DT_LEFT/DT_CENTER/DT_RIGHT and DT_TOP/DT_VCENTER/DT_BOTTOM, in the
// DC's font, text colour and background mode, clipped to rect.
void drawLabelText(HDC dc, std::wstring_view text, const RECT& rect, UINT format);

}  // namespace kit
