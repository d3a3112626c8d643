#pragma once
// GDI+ (flat API) for the PNG icons: start-up, loading below the executable's
// folder, scaled drawing, and icons made from PNGs.
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

namespace kit {

// GDI+ for the life of the object.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool ok() const { return token_ != 0; }

private:
    ULONG_PTR token_ = 0;
};

// The executable's folder with its trailing separator.
std::wstring exeDirectory();
// exeDirectory() + a relative path such as L"resources\\icons\\dian.png".
std::wstring resourcePath(std::wstring_view relative);

// A GDI+ bitmap; empty when the file could not be loaded.
struct GdipBitmapFree {
    void operator()(void* bitmap) const;
};
using Image = std::unique_ptr<void, GdipBitmapFree>;

Image loadImageFile(const std::wstring& fullPath);
Image loadTabIcon(std::wstring_view relativePath);
// A size x size icon drawn from the PNG (bicubic), or nullptr.
HICON loadIconFromPng(std::wstring_view relativePath, int size);

// Draws the image scaled into the rectangle (high-quality bicubic, anti-aliased).
void drawImage(HDC dc, const Image& image, int x, int y, int width, int height);
// Fills an anti-aliased ellipse in an opaque colour.
void fillEllipse(HDC dc, COLORREF color, int x, int y, int width, int height);
// The header of a top-down 32-bit device-independent bitmap.
BITMAPINFO topDownArgbInfo(int width, int height);

// Draws an icon with its alpha channel kept, scaled into the rectangle.
void drawIconScaled(HDC dc, HICON icon, int x, int y, int width, int height);

}  // namespace kit
