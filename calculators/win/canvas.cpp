#include "calculators/win/canvas.h"

#include <map>
#include <set>
#include <string>
#include <vector>

#include "shell/fonts.h"
#include "shell/wide.h"

namespace kit {

namespace {

// Label fonts by pixel height, created on first use and kept until exit.
HFONT labelFont(int px) {
    static std::map<int, HFONT> fonts;
    HFONT& f = fonts[px];
    if (!f) f = createFont(L"Microsoft YaHei", px, FW_NORMAL);
    return f;
}

HPEN createPen(int width, Colour colour, Stroke stroke) {
    if (stroke == Stroke::Solid) return CreatePen(PS_SOLID, width, colour);
    if (width <= 1) return CreatePen(PS_DASH, 1, colour);
    // Dashes wider than a pixel need a geometric pen.
    LOGBRUSH brush{BS_SOLID, colour, 0};
    return ExtCreatePen(PS_GEOMETRIC | PS_DASH | PS_ENDCAP_FLAT, static_cast<DWORD>(width), &brush, 0, nullptr);
}

std::vector<POINT> toPoints(const std::vector<Point>& points) {
    std::vector<POINT> out;
    out.reserve(points.size());
    for (const Point& p : points) out.push_back(POINT{p.x, p.y});
    return out;
}

// Selects a pen and a brush for one primitive and frees them afterwards.
class Tools {
public:
    Tools(HDC dc, HPEN pen, HBRUSH brush) : dc_(dc), pen_(pen), brush_(brush) {
        oldPen_ = SelectObject(dc, pen ? static_cast<HGDIOBJ>(pen) : GetStockObject(NULL_PEN));
        oldBrush_ = SelectObject(dc, brush ? static_cast<HGDIOBJ>(brush) : GetStockObject(NULL_BRUSH));
    }
    ~Tools() {
        SelectObject(dc_, oldPen_);
        SelectObject(dc_, oldBrush_);
        if (pen_) DeleteObject(pen_);
        if (brush_) DeleteObject(brush_);
    }
    Tools(const Tools&) = delete;
    Tools& operator=(const Tools&) = delete;

private:
    HDC dc_;
    HPEN pen_;
    HBRUSH brush_;
    HGDIOBJ oldPen_, oldBrush_;
};

struct Painter {
    HDC dc;

    void operator()(const Polyline& l) const {
        if (l.points.size() < 2) return;
        Tools t(dc, createPen(l.width, l.colour, l.stroke), nullptr);
        std::vector<POINT> pts = toPoints(l.points);
        ::Polyline(dc, pts.data(), static_cast<int>(pts.size()));
    }
    void operator()(const Polygon& p) const {
        if (p.points.size() < 3) return;
        Tools t(dc, CreatePen(PS_SOLID, p.outlineWidth, p.outline), CreateSolidBrush(p.fill));
        std::vector<POINT> pts = toPoints(p.points);
        ::Polygon(dc, pts.data(), static_cast<int>(pts.size()));
    }
    void operator()(const Box& b) const {
        if (b.outlineWidth <= 0) {
            HBRUSH brush = CreateSolidBrush(b.fill);
            RECT r{b.left, b.top, b.right, b.bottom};
            FillRect(dc, &r, brush);
            DeleteObject(brush);
            return;
        }
        Tools t(dc, CreatePen(PS_SOLID, b.outlineWidth, b.outline), CreateSolidBrush(b.fill));
        Rectangle(dc, b.left, b.top, b.right, b.bottom);
    }
    void operator()(const Label& l) const {
        std::wstring text = toWide(l.text);
        HGDIOBJ old = SelectObject(dc, labelFont(l.fontPx));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, l.colour);
        TextOutW(dc, l.at.x, l.at.y, text.c_str(), static_cast<int>(text.size()));
        SelectObject(dc, old);
    }
};

void paintInto(HDC dc, const Picture* picture, int width, int height) {
    Drawing d = picture && *picture ? (*picture)(width, height) : Drawing{width, height};
    paintDrawing(dc, d);
}

LRESULT CALLBACK canvasProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* picture = reinterpret_cast<const Picture*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
        case WM_NCCREATE: {
            auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
            break;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            // Drawn off screen and copied in one go, so a repaint never flickers.
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT rc;
            GetClientRect(hwnd, &rc);
            HDC mem = CreateCompatibleDC(dc);
            HBITMAP bmp = CreateCompatibleBitmap(dc, rc.right, rc.bottom);
            HGDIOBJ old = SelectObject(mem, bmp);
            paintInto(mem, picture, rc.right, rc.bottom);
            BitBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
            SelectObject(mem, old);
            DeleteObject(bmp);
            DeleteDC(mem);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_PRINTCLIENT: {
            RECT rc;
            GetClientRect(hwnd, &rc);
            paintInto(reinterpret_cast<HDC>(wParam), picture, rc.right, rc.bottom);
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

void paintDrawing(HDC dc, const Drawing& d) {
    HBRUSH background = CreateSolidBrush(d.background);
    RECT all{0, 0, d.width, d.height};
    FillRect(dc, &all, background);
    DeleteObject(background);
    Painter painter{dc};
    for (const Primitive& item : d.items) std::visit(painter, item);
}

HWND createCanvas(const CanvasCreateArgs& a) {
    auto inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(a.parent, GWLP_HINSTANCE));
    static std::set<std::wstring> registered;
    if (registered.insert(a.className).second) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = canvasProc;
        wc.hInstance = inst;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = a.className;
        RegisterClassExW(&wc);
    }
    return CreateWindowExW(WS_EX_CLIENTEDGE, a.className, L"", WS_CHILD | WS_VISIBLE, a.x, a.y, a.width, a.height,
                           a.parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(a.id)), inst,
                           const_cast<Picture*>(a.picture));
}

}  // namespace kit
