#include "shell/label_text.h"

#include <usp10.h>

#include <numeric>

namespace kit {

namespace {

constexpr wchar_t kSymbolFace[] = L"Symbola";

bool isHigh(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLow(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Symbola at the size and weight of the DC's font; null when it is not
// installed (GDI would hand out some other face under that name).
HFONT createSymbolFont(HDC dc) {
    LOGFONTW lf{};
    if (!GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof(lf), &lf)) return nullptr;
    lstrcpynW(lf.lfFaceName, kSymbolFace, LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&lf);
    if (!font) return nullptr;
    HGDIOBJ old = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    SelectObject(dc, old);
    if (lstrcmpiW(face, kSymbolFace) != 0) {
        DeleteObject(font);
        return nullptr;
    }
    return font;
}

// One script item shaped and placed in the symbol font.
struct ShapedItem {
    SCRIPT_ANALYSIS analysis;
    std::vector<WORD> glyphs;
    std::vector<int> advances;
    std::vector<GOFFSET> offsets;
};

// A label piece: plain text in the DC's font, or shaped symbols.
struct Piece {
    std::wstring_view text;
    std::vector<ShapedItem> items;  // empty for plain text
    int width = 0;
};

// Shapes text in the font selected into dc; false when the font lacks any of it.
bool shapeSymbols(HDC dc, SCRIPT_CACHE& cache, std::wstring_view text, Piece& piece) {
    int length = static_cast<int>(text.size());
    std::vector<SCRIPT_ITEM> items(text.size() + 1);
    int count = 0;
    if (FAILED(ScriptItemize(text.data(), length, length, nullptr, nullptr, items.data(), &count))) return false;
    SCRIPT_FONTPROPERTIES props{sizeof(props)};
    if (FAILED(ScriptGetFontProperties(dc, &cache, &props))) return false;
    for (int i = 0; i < count; ++i) {
        int begin = items[i].iCharPos, chars = items[i + 1].iCharPos - begin;
        ShapedItem item{items[i].a, {}, {}, {}};
        int capacity = chars * 3 / 2 + 16;
        item.glyphs.resize(capacity);
        std::vector<WORD> clusters(chars);
        std::vector<SCRIPT_VISATTR> attrs(capacity);
        int glyphs = 0;
        if (FAILED(ScriptShape(dc, &cache, text.data() + begin, chars, capacity, &item.analysis, item.glyphs.data(),
                               clusters.data(), attrs.data(), &glyphs)))
            return false;
        item.glyphs.resize(glyphs);
        for (WORD g : item.glyphs)
            if (g == props.wgDefault || g == 0) return false;
        item.advances.resize(glyphs);
        item.offsets.resize(glyphs);
        ABC abc{};
        if (FAILED(ScriptPlace(dc, &cache, item.glyphs.data(), glyphs, attrs.data(), &item.analysis,
                               item.advances.data(), item.offsets.data(), &abc)))
            return false;
        piece.width += std::accumulate(item.advances.begin(), item.advances.end(), 0);
        piece.items.push_back(std::move(item));
    }
    return true;
}

// Splits the label into pieces and measures them; false when a symbol cannot be shaped.
bool layOut(HDC dc, HFONT symbols, SCRIPT_CACHE& cache, std::wstring_view text, std::vector<Piece>& pieces) {
    for (const LabelRun& run : labelRuns(text)) {
        Piece piece{text.substr(run.begin, run.length)};
        if (run.supplementary) {
            HGDIOBJ old = SelectObject(dc, symbols);
            bool shaped = shapeSymbols(dc, cache, piece.text, piece);
            SelectObject(dc, old);
            if (!shaped) return false;
        } else {
            SIZE size{};
            GetTextExtentPoint32W(dc, piece.text.data(), static_cast<int>(piece.text.size()), &size);
            piece.width = size.cx;
        }
        pieces.push_back(std::move(piece));
    }
    return true;
}

int ascentOf(HDC dc) {
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    return tm.tmAscent;
}

// Draws the pieces on one baseline, placed in rect as DrawTextW would place the line.
// The cache must be the one the symbols were shaped with: Wine's ScriptTextOut
// takes the glyphs for characters when handed an empty cache.
void drawPieces(HDC dc, HFONT symbols, SCRIPT_CACHE& cache, const std::vector<Piece>& pieces, const RECT& rect,
                UINT format) {
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    int width = 0;
    for (const Piece& p : pieces) width += p.width;
    int x = rect.left, y = rect.top;
    if (format & DT_CENTER) x = (rect.left + rect.right - width) / 2;
    else if (format & DT_RIGHT) x = rect.right - width;
    if (format & DT_VCENTER) y = (rect.top + rect.bottom - tm.tmHeight) / 2;
    else if (format & DT_BOTTOM) y = rect.bottom - tm.tmHeight;
    int baseline = y + tm.tmAscent;

    UINT oldAlign = SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    for (const Piece& p : pieces) {
        if (p.items.empty()) {
            ExtTextOutW(dc, x, y, ETO_CLIPPED, &rect, p.text.data(), static_cast<UINT>(p.text.size()),
                        nullptr);
            x += p.width;
            continue;
        }
        HGDIOBJ old = SelectObject(dc, symbols);
        int top = baseline - ascentOf(dc);
        for (const ShapedItem& item : p.items) {
            ScriptTextOut(dc, &cache, x, top, ETO_CLIPPED, &rect, &item.analysis, nullptr, 0,
                          item.glyphs.data(), static_cast<int>(item.glyphs.size()), item.advances.data(), nullptr,
                          item.offsets.data());
            x += std::accumulate(item.advances.begin(), item.advances.end(), 0);
        }
        SelectObject(dc, old);
    }
    SetTextAlign(dc, oldAlign);
}

}  // namespace

std::vector<LabelRun> labelRuns(std::wstring_view text) {
    std::vector<LabelRun> runs;
    std::size_t i = 0;
    while (i < text.size()) {
        auto pairAt = [&](std::size_t k) { return k + 1 < text.size() && isHigh(text[k]) && isLow(text[k + 1]); };
        bool supplementary = pairAt(i);
        std::size_t begin = i;
        while (i < text.size() && pairAt(i) == supplementary) i += supplementary ? 2 : 1;
        runs.push_back({begin, i - begin, supplementary});
    }
    return runs;
}

void drawLabelText(HDC dc, std::wstring_view text, const RECT& rect, UINT format) {
    format |= DT_SINGLELINE | DT_NOPREFIX;
    auto plain = [&] {
        RECT r = rect;
        DrawTextW(dc, text.data(), static_cast<int>(text.size()), &r, format);
    };
    std::vector<LabelRun> runs = labelRuns(text);
    bool symbols = false;
    for (const LabelRun& r : runs) symbols = symbols || r.supplementary;
    if (!symbols) return plain();
    HFONT symbolFont = createSymbolFont(dc);
    SCRIPT_CACHE cache = nullptr;
    std::vector<Piece> pieces;
    if (symbolFont && layOut(dc, symbolFont, cache, text, pieces)) drawPieces(dc, symbolFont, cache, pieces, rect, format);
    else plain();
    ScriptFreeCache(&cache);
    if (symbolFont) DeleteObject(symbolFont);
}

}  // namespace kit
