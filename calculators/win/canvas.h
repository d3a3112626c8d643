#pragma once
// A drawing canvas: a child window with a sunken edge that, on every paint,
// asks its owner for the picture of its client size and draws the portable
// primitives with GDI. The geometry is all in the picture.
#include <windows.h>

#include <functional>

#include "calculators/drawing.h"

namespace kit {

using Picture = std::function<Drawing(int width, int height)>;

struct CanvasCreateArgs {
    HWND parent = nullptr;
    const wchar_t* className = nullptr;  // registered on first use
    int id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    const Picture* picture = nullptr;  // must outlive the window
};
HWND createCanvas(const CanvasCreateArgs& args);

// Draws a picture onto a device context: background, then the primitives in
// order (pens for lines and outlines, dashed where asked; solid brushes; labels
// in "Microsoft YaHei" on a transparent background).
void paintDrawing(HDC dc, const Drawing& drawing);

}  // namespace kit
