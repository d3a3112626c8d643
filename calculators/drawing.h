#pragma once
// A canvas picture as a list of primitives in paint order. The calculators
// compute their drawings here, portably, and the Win32 painter only draws the
// list (lines with GDI pens, labels with TextOut on a transparent background),
// so every coordinate can be checked without a window.
#include <cmath>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace kit {

// 0x00BBGGRR, the layout of a Windows COLORREF.
using Colour = uint32_t;
constexpr Colour rgb(int r, int g, int b) {
    return static_cast<Colour>(r) | static_cast<Colour>(g) << 8 | static_cast<Colour>(b) << 16;
}

struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

enum class Stroke { Solid, Dashed };

// Connected straight segments.
struct Polyline {
    std::vector<Point> points;
    int width = 1;
    Colour colour = 0;
    Stroke stroke = Stroke::Solid;
};

// A filled polygon with an outline.
struct Polygon {
    std::vector<Point> points;
    int outlineWidth = 1;
    Colour outline = 0;
    Colour fill = 0;
};

// A filled rectangle, right and bottom edges exclusive as in GDI; no outline
// when outlineWidth is 0.
struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    Colour fill = 0;
    int outlineWidth = 0;
    Colour outline = 0;
};

// Text whose top-left corner is at `at`, in "Microsoft YaHei" of fontPx pixels.
struct Label {
    Point at;
    std::string text;
    Colour colour = 0;
    int fontPx = 10;
};

using Primitive = std::variant<Polyline, Polygon, Box, Label>;

struct Drawing {
    int width = 0, height = 0;  // client size
    Colour background = rgb(255, 255, 255);
    std::vector<Primitive> items;
};

// A coordinate from a computed length the way an int cast takes it (towards
// zero), but kept within +/-1000000 so that a near-level ray or a nonsense
// input (infinite, not a number: 0) never overflows; GDI clips the rest.
inline int toPixel(double v) {
    if (std::isnan(v)) return 0;
    if (v > 1e6) return 1000000;
    if (v < -1e6) return -1000000;
    return static_cast<int>(v);
}

}  // namespace kit
