// Button labels with symbols beyond U+FFFF: how the label is split, and what
// is drawn for it into a memory bitmap.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "shell/fonts.h"
#include "shell/label_text.h"

namespace kit::test {
namespace {

TEST(LabelRuns, SplitsWholeSurrogatePairsFromOtherText) {
    struct Case {
        std::wstring text;
        std::vector<LabelRun> runs;
    };
    const Case cases[] = {
        {L"", {}},
        {L"浏览 ▶", {{0, 4, false}}},
        {L"\U0001F4CB 获取数据", {{0, 2, true}, {2, 5, false}}},
        {L"a\U0001F4CB\U0001F4C1b", {{0, 1, false}, {1, 4, true}, {5, 1, false}}},
        {L"获取\U0001F4C1", {{0, 2, false}, {2, 2, true}}},
        // Lone or reversed surrogates are not symbols: drawn as they are.
        {std::wstring{L'\xD83D', L'x'}, {{0, 2, false}}},
        {std::wstring{L'\xDCCB', L'\xD83D'}, {{0, 2, false}}},
        {std::wstring{L'x', L'\xD83D'}, {{0, 2, false}}},
        {std::wstring{L'\xD83D', L'\xD83D', L'\xDCCB'}, {{0, 1, false}, {1, 2, true}}},
    };
    for (const Case& c : cases) {
        std::vector<LabelRun> runs = labelRuns(c.text);
        ASSERT_EQ(runs.size(), c.runs.size()) << c.text.size();
        for (std::size_t i = 0; i < runs.size(); ++i) {
            EXPECT_EQ(runs[i].begin, c.runs[i].begin) << i;
            EXPECT_EQ(runs[i].length, c.runs[i].length) << i;
            EXPECT_EQ(runs[i].supplementary, c.runs[i].supplementary) << i;
        }
    }
}

constexpr int kWidth = 120, kHeight = 28;
constexpr UINT kCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;

// Black text on white in a button-sized bitmap, drawn by either route.
struct Image {
    std::vector<DWORD> bits;
    RECT ink{kWidth, kHeight, -1, -1};  // bounding box of the non-white pixels
    bool operator==(const Image& o) const { return bits == o.bits; }
};

using Painter = std::function<void(HDC, RECT&)>;

Image paintImage(const Painter& painter) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB};
    void* pixels = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &pixels, nullptr, 0);
    HGDIOBJ oldBmp = SelectObject(dc, bmp);
    RECT rc{0, 0, kWidth, kHeight};
    FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    painter(dc, rc);
    GdiFlush();
    Image img;
    const DWORD* p = static_cast<const DWORD*>(pixels);
    img.bits.assign(p, p + kWidth * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if ((img.bits[y * kWidth + x] & 0xFFFFFF) != 0xFFFFFF) {
                img.ink = {std::min<LONG>(img.ink.left, x), std::min<LONG>(img.ink.top, y),
                           std::max<LONG>(img.ink.right, x), std::max<LONG>(img.ink.bottom, y)};
            }
    SelectObject(dc, oldBmp);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return img;
}

Image render(const std::wstring& text, bool viaLabel, HFONT font = sharedFonts().regular) {
    return paintImage([&](HDC dc, RECT& rc) {
        HGDIOBJ old = SelectObject(dc, font);
        if (viaLabel) drawLabelText(dc, text, rc, kCentred);
        else DrawTextW(dc, text.c_str(), -1, &rc, kCentred);
        SelectObject(dc, old);
    });
}

// The font's own glyph for a code point, looked up in its character map
// (Windows full-repertoire subtable, format 12); 0 when it has none.
WORD cmapGlyph(HDC dc, char32_t codePoint) {
    const DWORD tag = 'c' | 'm' << 8 | 'a' << 16 | 'p' << 24;
    DWORD size = GetFontData(dc, tag, 0, nullptr, 0);
    if (size == GDI_ERROR) return 0;
    std::vector<unsigned char> t(size);
    GetFontData(dc, tag, 0, t.data(), size);
    auto u16 = [&](std::size_t o) -> std::uint32_t { return o + 2 <= t.size() ? t[o] << 8 | t[o + 1] : 0; };
    auto u32 = [&](std::size_t o) -> std::uint32_t { return u16(o) << 16 | u16(o + 2); };
    for (std::uint32_t i = 0, tables = u16(2); i < tables; ++i) {
        std::size_t record = 4 + 8 * i, sub = u32(record + 4);
        if (u16(record) != 3 || u16(record + 2) != 10 || u16(sub) != 12) continue;
        for (std::uint32_t g = 0, groups = u32(sub + 12); g < groups; ++g) {
            std::size_t at = sub + 16 + 12 * g;
            if (codePoint >= u32(at) && codePoint <= u32(at + 4)) return WORD(u32(at + 8) + codePoint - u32(at));
        }
    }
    return 0;
}

// The ink of an image, cut out by its bounding box.
std::vector<DWORD> inkOf(const Image& img) {
    std::vector<DWORD> out;
    for (LONG y = img.ink.top; y <= img.ink.bottom; ++y)
        for (LONG x = img.ink.left; x <= img.ink.right; ++x) out.push_back(img.bits[y * kWidth + x]);
    return out;
}

TEST(LabelText, SymbolsAreSymbolasOwnGlyphs) {
    for (HFONT font : {sharedFonts().regular, sharedFonts().bold})
        for (char32_t cp : {U'\U0001F4CB', U'\U0001F4C1'}) {
            LOGFONTW lf{};
            GetObjectW(font, sizeof(lf), &lf);
            lstrcpynW(lf.lfFaceName, L"Symbola", LF_FACESIZE);
            HFONT symbola = CreateFontIndirectW(&lf);
            bool installed = false;
            Image expected = paintImage([&](HDC dc, RECT&) {
                HGDIOBJ old = SelectObject(dc, symbola);
                wchar_t face[LF_FACESIZE] = {};
                GetTextFaceW(dc, LF_FACESIZE, face);
                installed = lstrcmpiW(face, L"Symbola") == 0;
                WORD glyph = cmapGlyph(dc, cp);
                if (installed && glyph) ExtTextOutW(dc, 4, 4, ETO_GLYPH_INDEX, nullptr, reinterpret_cast<LPCWSTR>(&glyph), 1, nullptr);
                SelectObject(dc, old);
            });
            DeleteObject(symbola);
            if (!installed) GTEST_SKIP() << "Symbola is not installed";
            ASSERT_GE(expected.ink.right, 0);
            std::wstring text{wchar_t(0xD800 + ((cp - 0x10000) >> 10)), wchar_t(0xDC00 + ((cp - 0x10000) & 0x3FF))};
            EXPECT_EQ(inkOf(render(text, true, font)), inkOf(expected)) << std::hex << std::uint32_t(cp);
        }
}

TEST(LabelText, LabelsWithoutSymbolsDrawExactlyAsDrawText) {
    for (const wchar_t* text : {L"获取数据", L"go", L"▶ 运行", L"&Save", L""})
        for (HFONT font : {sharedFonts().regular, sharedFonts().bold})
            EXPECT_TRUE(render(text, true, font) == render(text, false, font)) << text;
}

TEST(LabelText, SymbolsBeyondTheBasicPlaneDrawAsDistinctGlyphs) {
    // Missing-glyph boxes look alike; the clipboard and the folder do not.
    Image clipboard = render(L"\U0001F4CB", true), folder = render(L"\U0001F4C1", true);
    ASSERT_GE(clipboard.ink.right, 0);
    ASSERT_GE(folder.ink.right, 0);
    EXPECT_FALSE(clipboard == folder);
    // One symbol is one glyph, not one box per UTF-16 unit: narrower than the font's height.
    TEXTMETRICW tm{};
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, sharedFonts().regular);
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    for (const Image* img : {&clipboard, &folder}) EXPECT_LE(img->ink.right - img->ink.left + 1, tm.tmHeight + 2);
}

TEST(LabelText, MixedLabelsStayCentredAndKeepTheirText) {
    for (const wchar_t* text : {L"\U0001F4CB 获取数据", L"\U0001F4C1 浏览", L"\U0001F4CB获取数据 1", L"\U0001F4C1 转换并导出"})
        for (HFONT font : {sharedFonts().regular, sharedFonts().bold}) {
            Image mixed = render(text, true, font);
            ASSERT_GE(mixed.ink.right, 0) << text;
            int left = mixed.ink.left, right = kWidth - 1 - mixed.ink.right;
            EXPECT_LE(std::abs(left - right), 3) << text;
            int top = mixed.ink.top, bottom = kHeight - 1 - mixed.ink.bottom;
            EXPECT_LE(std::abs(top - bottom), 4) << text;
            // The text after the symbol is the same words, drawn in the label's font.
            std::wstring rest = std::wstring(text).substr(2);
            Image words = render(rest, false, font);
            EXPECT_GT(mixed.ink.right - mixed.ink.left, words.ink.right - words.ink.left) << text;
        }
}

}  // namespace
}  // namespace kit::test
