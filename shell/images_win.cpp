#include "shell/images.h"

#include <objidl.h>
// objidl.h first: gdiplus.h needs its PROPID.
#include <gdiplus.h>

#include <vector>

namespace kit {

namespace gp = Gdiplus::DllExports;
using Gdiplus::GpBitmap;
using Gdiplus::GpGraphics;
using Gdiplus::GpImage;

namespace {

GpBitmap* asBitmap(const Image& image) { return static_cast<GpBitmap*>(image.get()); }

GpGraphics* graphicsFor(HDC dc) {
    GpGraphics* g = nullptr;
    if (gp::GdipCreateFromHDC(dc, &g) != Gdiplus::Ok) return nullptr;
    gp::GdipSetInterpolationMode(g, Gdiplus::InterpolationModeHighQualityBicubic);
    gp::GdipSetSmoothingMode(g, Gdiplus::SmoothingModeAntiAlias);
    gp::GdipSetPixelOffsetMode(g, Gdiplus::PixelOffsetModeHighQuality);
    return g;
}

// An icon from a 32-bit colour bitmap and an all-zero mask: the colour
// bitmap's alpha decides what shows.
HICON iconFromBitmap(HBITMAP color, int size) {
    std::vector<BYTE> zeros(static_cast<size_t>((size + 15) / 16 * 2 * size), 0);
    HBITMAP mask = CreateBitmap(size, size, 1, 1, zeros.data());
    ICONINFO ii{};
    ii.fIcon = TRUE;
    ii.hbmMask = mask;
    ii.hbmColor = color;
    HICON icon = CreateIconIndirect(&ii);
    DeleteObject(mask);
    return icon;
}

}  // namespace

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
}

GdiplusSession::~GdiplusSession() {
    if (token_) Gdiplus::GdiplusShutdown(token_);
}

std::wstring exeDirectory() {
    std::vector<wchar_t> buf(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n < buf.size()) {
            std::wstring path(buf.data(), n);
            size_t cut = path.find_last_of(L"\\/");
            return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
        }
        buf.resize(buf.size() * 2);
    }
}

std::wstring resourcePath(std::wstring_view relative) { return exeDirectory() + std::wstring(relative); }

void GdipBitmapFree::operator()(void* bitmap) const {
    if (bitmap) gp::GdipDisposeImage(static_cast<GpImage*>(bitmap));
}

Image loadImageFile(const std::wstring& fullPath) {
    GpBitmap* bmp = nullptr;
    if (gp::GdipCreateBitmapFromFile(fullPath.c_str(), &bmp) != Gdiplus::Ok) return Image();
    return Image(bmp);
}

Image loadTabIcon(std::wstring_view relativePath) { return loadImageFile(resourcePath(relativePath)); }

HICON loadIconFromPng(std::wstring_view relativePath, int size) {
    Image png = loadTabIcon(relativePath);
    if (!png) return nullptr;
    GpBitmap* canvas = nullptr;
    if (gp::GdipCreateBitmapFromScan0(size, size, 0, PixelFormat32bppARGB, nullptr, &canvas) != Gdiplus::Ok)
        return nullptr;
    Image owned(canvas);
    GpGraphics* g = nullptr;
    if (gp::GdipGetImageGraphicsContext(canvas, &g) == Gdiplus::Ok) {
        gp::GdipSetInterpolationMode(g, Gdiplus::InterpolationModeHighQualityBicubic);
        gp::GdipDrawImageRectI(g, asBitmap(png), 0, 0, size, size);
        gp::GdipDeleteGraphics(g);
    }
    HBITMAP color = nullptr;
    if (gp::GdipCreateHBITMAPFromBitmap(canvas, &color, 0) != Gdiplus::Ok) return nullptr;
    HICON icon = iconFromBitmap(color, size);
    DeleteObject(color);
    return icon;
}

void drawImage(HDC dc, const Image& image, int x, int y, int width, int height) {
    if (!image) return;
    GpGraphics* g = graphicsFor(dc);
    if (!g) return;
    gp::GdipDrawImageRectI(g, asBitmap(image), x, y, width, height);
    gp::GdipDeleteGraphics(g);
}

void fillEllipse(HDC dc, COLORREF color, int x, int y, int width, int height) {
    GpGraphics* g = graphicsFor(dc);
    if (!g) return;
    Gdiplus::GpSolidFill* brush = nullptr;
    Gdiplus::ARGB argb = 0xFF000000u | (static_cast<Gdiplus::ARGB>(GetRValue(color)) << 16) |
                         (static_cast<Gdiplus::ARGB>(GetGValue(color)) << 8) | GetBValue(color);
    if (gp::GdipCreateSolidFill(argb, &brush) == Gdiplus::Ok) {
        gp::GdipFillEllipseI(g, brush, x, y, width, height);
        gp::GdipDeleteBrush(brush);
    }
    gp::GdipDeleteGraphics(g);
}

BITMAPINFO topDownArgbInfo(int width, int height) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

void drawIconScaled(HDC dc, HICON icon, int x, int y, int width, int height) {
    if (!icon) return;
    ICONINFO ii{};
    if (!GetIconInfo(icon, &ii)) return;
    BITMAP bm{};
    if (ii.hbmColor && GetObjectW(ii.hbmColor, sizeof(bm), &bm) && bm.bmBitsPixel == 32) {
        // GDI+ drops the alpha of icons it reads itself, so go through the bits.
        int w = bm.bmWidth, h = bm.bmHeight;
        std::vector<BYTE> bits(static_cast<size_t>(w) * h * 4);
        BITMAPINFO bi = topDownArgbInfo(w, h);
        HDC screen = GetDC(nullptr);
        GetDIBits(screen, ii.hbmColor, 0, static_cast<UINT>(h), bits.data(), &bi, DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        GpBitmap* bmp = nullptr;
        if (gp::GdipCreateBitmapFromScan0(w, h, w * 4, PixelFormat32bppARGB, bits.data(), &bmp) == Gdiplus::Ok) {
            Image owned(bmp);
            drawImage(dc, owned, x, y, width, height);
        }
    } else {
        DrawIconEx(dc, x, y, icon, width, height, 0, nullptr, DI_NORMAL);
    }
    if (ii.hbmColor) DeleteObject(ii.hbmColor);
    if (ii.hbmMask) DeleteObject(ii.hbmMask);
}

}  // namespace kit
