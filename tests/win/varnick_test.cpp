// Varnick's window driven by messages: its shell, each tab's buttons against
// the portable calculation's text, the help dialogs, and what the two
// canvases paint.
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>

#include "calculators/arfcn.h"
#include "calculators/band_tables.h"
#include "calculators/downtilt.h"
#include "calculators/downtilt_canvas.h"
#include "calculators/help_texts.h"
#include "calculators/number_base.h"
#include "calculators/power_units.h"
#include "calculators/rate_units.h"
#include "calculators/roof_edge.h"
#include "calculators/roof_edge_canvas.h"
#include "calculators/win/calculator_tabs.h"
#include "shell/controls.h"
#include "shell/help_window.h"
#include "shell/wide.h"
#include "win_test_support.h"

namespace kit::test {
namespace {

using namespace calc_id;
using VarnickTest = VarnickWindowTest;

std::wstring className(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

RECT rectInParent(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// A tab's control, the tab shown first so that its buttons take clicks.
struct Tab {
    HWND panel;
    explicit Tab(int index) : panel(tabPanel(index)) { showTab(index); }
    HWND item(int id) const { return GetDlgItem(panel, id); }
    void type(int id, const wchar_t* text) const { SetWindowTextW(item(id), text); }
    void select(int id, int row) const { SendMessageW(item(id), CB_SETCURSEL, static_cast<WPARAM>(row), 0); }
    // A list's selection as the user makes it: the panel hears of the change.
    void choose(int id, int row) const {
        select(id, row);
        SendMessageW(panel, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(item(id)));
    }
    std::string press(int button, int result) const {
        click(item(button), 6, 6);
        return windowTextUtf8(item(result));
    }
    std::string text(int id) const { return windowTextUtf8(item(id)); }
};

TEST_F(VarnickTest, ShellOfItsOwn) {
    EXPECT_EQ(className(main), L"VarnickMainWindow");
    EXPECT_EQ(windowText(main), L"Varnick");
    RECT wr;
    GetWindowRect(main, &wr);
    EXPECT_EQ(wr.right - wr.left, 280);
    EXPECT_EQ(wr.bottom - wr.top, 400);
    EXPECT_EQ(GetWindowLongPtrW(main, GWL_STYLE) & WS_BORDER, 0);

    ASSERT_EQ(tabCount(), 6);
    const wchar_t* classes[] = {L"TabFreqContent", L"TabDowntiltContent", L"TabPowerContent",
                                L"TabBaseContent", L"TabSpeedContent",    L"TabBuildingContent"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(className(tabPanel(i)), classes[i]);
        RECT p = rectInParent(tabPanel(i));
        EXPECT_EQ(p.left, 28);
        EXPECT_EQ(p.top, 28);
        EXPECT_EQ(p.right, 280);
        EXPECT_EQ(p.bottom, 400);
        RECT b = rectInParent(tabButton(i));
        EXPECT_EQ(b.top, 2 + 30 * i);
        EXPECT_EQ(b.bottom - b.top, 28);
        EXPECT_EQ(GetDlgCtrlID(tabButton(i)), 1010 + i);
    }
    EXPECT_EQ(rectInParent(tabStrip()).bottom - rectInParent(tabStrip()).top, 372);
    EXPECT_EQ(rectInParent(closeBox()).left, 254);

    // The wheel cycles through the six tabs both ways.
    EXPECT_EQ(currentTab(), 0);
    sendWheel(main, 120);
    EXPECT_EQ(currentTab(), 5);
    sendWheel(tabPanel(5), -120);
    EXPECT_EQ(currentTab(), 0);
    sendWheel(main, -120);
    EXPECT_EQ(currentTab(), 1);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(IsWindowVisible(tabPanel(i)) != 0, i == 1) << i;

    // No outer frame: the strip reaches the left edge, the panel the right one.
    Capture c(main);
    EXPECT_EQ(c.pixel(0, 380), RGB(229, 231, 235));
    EXPECT_EQ(c.pixel(279, 380), RGB(255, 255, 255));
    EXPECT_EQ(c.pixel(140, 399), RGB(255, 255, 255));
}

TEST(VarnickClose, CloseBoxAndCloseRequestEndTheLoop) {
    RecordingDialogs dialogs;
    const std::function<void(HWND)> closers[] = {
        [](HWND) { click(closeBox(), 10, 10); },
        [](HWND main) { SendMessageW(main, WM_CLOSE, 0, 0); },
    };
    for (const auto& close : closers) {
        HWND main = createMainWindow(GetModuleHandleW(nullptr), varnickWindowConfig());
        ASSERT_NE(main, nullptr);
        pump();
        close(main);
        EXPECT_FALSE(IsWindow(main));
        EXPECT_EQ(runMessageLoop(), 0);
        destroyMainWindow();
    }
    EXPECT_TRUE(dialogs.calls.empty());
}

TEST_F(VarnickTest, ChannelNumberTab) {
    Tab t(0);
    EXPECT_EQ(t.text(kFreqResult), "输入参数后点击按钮转换");  // nothing computed before a press
    EXPECT_EQ(comboItems(t.item(kStandard)), (std::vector<std::wstring>{L"LTE", L"NR"}));
    EXPECT_EQ(comboSelection(t.item(kStandard)), 0);
    EXPECT_EQ(comboItems(t.item(kBand)).size(), lteBands().size());
    EXPECT_EQ(windowText(t.item(kBand)), L"B3 (FDD 1800)");
    EXPECT_EQ(t.text(kChannel), "1300");
    EXPECT_EQ(t.text(kFrequency), "1842.5");

    EXPECT_EQ(t.press(kToFrequency, kFreqResult), "下行: 1815.0 MHz\r\n上行: 1720.0 MHz");
    EXPECT_EQ(t.press(kToChannel, kFreqResult), "EARFCN: 1575");

    // Band 38 is TDD: the downlink alone; the band comes from the list.
    t.select(kBand, 5);
    t.type(kChannel, L"38000");
    EXPECT_EQ(t.press(kToFrequency, kFreqResult), lteChannelToFrequencyText("38000", 38));
    EXPECT_EQ(t.text(kFreqResult).find("上行"), std::string::npos);
    t.select(kBand, -1);
    EXPECT_EQ(t.press(kToChannel, kFreqResult), "频率超出 Band -1 范围");

    // NR: its own bands, n78 selected; the fields convert without a band.
    t.choose(kStandard, 1);
    EXPECT_EQ(comboItems(t.item(kBand)).size(), nrBands().size());
    EXPECT_EQ(windowText(t.item(kBand)), L"n78 (TDD 3500)");
    EXPECT_EQ(t.press(kToChannel, kFreqResult), "NR-ARFCN: 368500");
    t.type(kChannel, L"368500");
    EXPECT_EQ(t.press(kToFrequency, kFreqResult), "频率: 1842.5000 MHz");
    t.type(kFrequency, L"28000");
    EXPECT_EQ(t.press(kToChannel, kFreqResult), nrFrequencyToChannelText("28000"));
    t.type(kChannel, L"3279168");
    EXPECT_EQ(t.press(kToFrequency, kFreqResult), "ARFCN 超出有效范围");

    t.choose(kStandard, 0);
    EXPECT_EQ(windowText(t.item(kBand)), L"B3 (FDD 1800)");
}

TEST_F(VarnickTest, DowntiltTabComputesOnCreateAndOnEachPress) {
    Tab t(1);
    EXPECT_EQ(t.text(kDowntiltResult), "合成倾角: 6.0°  (3dB角: 3.5°)\r\n覆盖距离: 179m ~ 687m\r\n3dB点: 285m");
    t.type(kMechanical, L"3");
    EXPECT_EQ(t.press(kDowntiltCompute, kDowntiltResult), runDowntilt("30", "3", "0", "7").text);
    EXPECT_NE(t.text(kDowntiltResult).find("超水平线"), std::string::npos);
    t.type(kHeight, L" 45.5m");
    t.type(kElectrical, L"2");
    t.type(kBeam, L"x");
    EXPECT_EQ(t.press(kDowntiltCompute, kDowntiltResult), runDowntilt(" 45.5m", "3", "2", "x").text);
}

TEST_F(VarnickTest, BuildingTabComputesOnCreateAndOnEachPress) {
    Tab t(5);
    EXPECT_EQ(t.text(kRoofResult), "最大下倾角: 26.66°\r\narctan(H/L) = 38.66°");
    t.type(kRoofDistance, L"0");
    EXPECT_EQ(t.press(kRoofCompute, kRoofResult), "请输入有效的正数值");
    t.type(kRoofHeight, L"1");
    t.type(kRoofDistance, L"50");
    EXPECT_EQ(t.press(kRoofCompute, kRoofResult), runRoofEdge("1", "50", "24").text);
}

TEST_F(VarnickTest, ConverterTabs) {
    struct Case {
        int tab, field, list, convert, result;
        std::string initial;
        const wchar_t* typed;
        int row;
        std::string expected;
    };
    const Case cases[] = {
        {2, kPowerField, kPowerUnit, kPowerConvert, kPowerResult, convertPower(kPowerDefaultField, 0), L"1", 1,
         "dBm:  30.00 dBm\r\nW:    1.000000 W\r\nmW:   1000.00 mW"},
        {3, kBaseField, kBaseList, kBaseConvert, kBaseResult, convertBase(kBaseDefaultField, 0), L"F F", 0,
         convertBase("F F", 0)},
        {4, kRateField, kRateUnit, kRateConvert, kRateResult, convertRate(kRateDefaultField, kDefaultRateUnit),
         L"2", 0, convertRate("2", 0)},
    };
    for (const Case& c : cases) {
        Tab t(c.tab);
        // Converted once on creation, with the start-up field and unit.
        EXPECT_EQ(t.text(c.result), c.initial) << c.tab;
        t.type(c.field, c.typed);
        t.select(c.list, c.row);
        EXPECT_EQ(t.press(c.convert, c.result), c.expected) << c.tab;
    }
    EXPECT_NE(Tab(3).text(kBaseResult).find("十进制:  255\r\n"), std::string::npos);

    Tab base(3);
    base.type(kBaseField, L"-1");
    EXPECT_EQ(base.press(kBaseConvert, kBaseResult), "输入格式错误");
    base.type(kBaseField, L"7FFFFFFFFFFFFFFF");
    EXPECT_NE(base.press(kBaseConvert, kBaseResult).find("9223372036854775807"), std::string::npos);
    // No selection in the list reads as decimal.
    base.type(kBaseField, L"1A2F");
    base.select(kBaseList, -1);
    EXPECT_EQ(base.press(kBaseConvert, kBaseResult), "输入格式错误");
}

TEST_F(VarnickTest, EachHelpButtonTogglesItsDialog) {
    struct Case {
        int tab, button;
        HelpText help;
    };
    const Case cases[] = {{0, kFreqHelp, arfcnHelp()},    {1, kDowntiltHelp, downtiltHelp()},
                          {2, kPowerHelp, powerHelp()},   {3, kBaseHelp, baseHelp()},
                          {4, kRateHelp, rateHelp()},     {5, kRoofHelp, roofEdgeHelp()}};
    for (const Case& c : cases) {
        Tab t(c.tab);
        click(t.item(c.button), 6, 6);
        HWND help = helpWindow();
        ASSERT_NE(help, nullptr) << c.tab;
        EXPECT_EQ(className(help), L"VarnickHelpDlg");
        EXPECT_EQ(windowText(help), toWide(c.help.title));
        RECT r;
        GetClientRect(help, &r);
        EXPECT_EQ(r.right, 500);
        EXPECT_EQ(r.bottom, 320);
        // The text arrives with its CR LF line breaks as they are.
        EXPECT_EQ(windowText(FindWindowExW(help, nullptr, L"EDIT", nullptr)), toWide(c.help.text)) << c.tab;
        click(t.item(c.button), 6, 6);
        EXPECT_EQ(helpWindow(), nullptr) << c.tab;
    }
}

// --- the canvases, captured from the screen ---

// A canvas's client area as painted on screen.
struct CanvasShot {
    Capture capture;
    int ox, oy;  // client origin inside the capture (the sunken edge around it)
    explicit CanvasShot(HWND canvas) : capture(canvas) {
        RECT wr;
        GetWindowRect(canvas, &wr);
        POINT o{0, 0};
        ClientToScreen(canvas, &o);
        ox = o.x - wr.left;
        oy = o.y - wr.top;
    }
    COLORREF at(int x, int y) const { return capture.pixel(ox + x, oy + y); }
    // Whether the colour is within a pixel of (x, y).
    bool closeTo(int x, int y, COLORREF c) const {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (at(x + dx, y + dy) == c) return true;
        return false;
    }
    // Steps along a segment (the first `skip` and the last four left out)
    // whose pixel, or one beside it across the line, has the colour; and
    // those where none has.
    std::pair<int, int> along(Point a, Point b, COLORREF c, int skip = 4) const {
        const int dx = b.x - a.x, dy = b.y - a.y;
        const int n = std::max(std::abs(dx), std::abs(dy));
        const bool steep = std::abs(dy) > std::abs(dx);
        int hits = 0, gaps = 0;
        for (int i = skip; i <= n - 4; ++i) {
            int x = a.x + dx * i / n, y = a.y + dy * i / n;
            bool hit = false;
            for (int k = -1; k <= 1; ++k) hit |= steep ? at(x + k, y) == c : at(x, y + k) == c;
            (hit ? hits : gaps) += 1;
        }
        return {hits, gaps};
    }
    int count(COLORREF c) const {
        int n = 0;
        for (int y = 0; y < capture.height(); ++y)
            for (int x = 0; x < capture.width(); ++x) n += capture.pixel(x, y) == c;
        return n;
    }
};

SIZE clientSize(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    return SIZE{r.right, r.bottom};
}

// The first primitive of a kind that matches.
template <typename T>
T find(const Drawing& d, const std::function<bool(const T&)>& match) {
    for (const Primitive& p : d.items)
        if (const T* t = std::get_if<T>(&p); t && match(*t)) return *t;
    ADD_FAILURE() << "primitive not in the drawing";
    return T{};
}

TEST_F(VarnickTest, DowntiltCanvasPaintsGroundMastAndRays) {
    Tab t(1);
    HWND canvas = t.item(kDowntiltCanvas);
    EXPECT_EQ(className(canvas), L"DowntiltCanvas");
    EXPECT_TRUE(GetWindowLongPtrW(canvas, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    SIZE s = clientSize(canvas);
    EXPECT_EQ(s.cx, 232);  // 236 x 150 less the sunken edge
    EXPECT_EQ(s.cy, 146);

    // Where things are comes from the portable picture; what colour lands
    // there is the painter's doing.
    using namespace downtilt_colours;
    Drawing d = drawDowntiltCanvas(runDowntilt("30", "6", "0", "7"), s.cx, s.cy);
    CanvasShot shot(canvas);
    EXPECT_EQ(shot.at(5, 5), RGB(255, 255, 255));
    const int groundY = s.cy - 22;
    EXPECT_TRUE(shot.closeTo(s.cx - 8, groundY, kGround));
    // The rays leave from inside the antenna: its top-left corner is clear of them.
    Box antenna = find<Box>(d, [](const Box& b) { return b.fill == kAntenna; });
    EXPECT_EQ(shot.at(antenna.left + 1, antenna.top + 1), kAntenna);
    EXPECT_EQ(shot.at(kDowntiltMastX, groundY - 8), kMastFill);

    Polyline main = find<Polyline>(d, [](const Polyline& l) { return l.colour == kMainBeam && l.width == 2; });
    auto [mainHits, mainGaps] = shot.along(main.points[0], main.points[1], kMainBeam);
    EXPECT_GT(mainHits, 40);
    EXPECT_EQ(mainGaps, 0);  // solid
    Polyline upper =
        find<Polyline>(d, [](const Polyline& l) { return l.colour == kUpperEdge && l.stroke == Stroke::Dashed; });
    auto [upperHits, upperGaps] = shot.along(upper.points[0], upper.points[1], kUpperEdge);
    EXPECT_GT(upperHits, 10);
    EXPECT_GT(upperGaps, 3);  // dashed
    // The main tick stands on the ground line where the main ray lands.
    EXPECT_TRUE(shot.closeTo(main.points[1].x, groundY + 3, kMainBeam));

    // A press repaints from the new result: a 100 m mast is taller.
    t.type(kHeight, L"100");
    click(t.item(kDowntiltCompute), 6, 6);
    Drawing tall = drawDowntiltCanvas(runDowntilt("100", "6", "0", "7"), s.cx, s.cy);
    Box high = find<Box>(tall, [](const Box& b) { return b.fill == kAntenna; });
    ASSERT_LT(high.bottom, antenna.top);
    CanvasShot after(canvas);
    EXPECT_EQ(after.at(high.left + 1, high.top + 1), kAntenna);
    EXPECT_NE(after.at(antenna.left + 1, antenna.top + 1), kAntenna);
}

TEST_F(VarnickTest, BuildingCanvasDrawsTheBeamOnlyForAPositiveTilt) {
    Tab t(5);
    HWND canvas = t.item(kRoofCanvas);
    EXPECT_EQ(className(canvas), L"BuildingCanvas");
    SIZE s = clientSize(canvas);
    EXPECT_EQ(s.cy, 151);

    namespace colours = roof_edge_colours;
    Drawing d = drawRoofEdgeCanvas(runRoofEdge("4", "5", "24"), s.cx, s.cy);
    CanvasShot shot(canvas);
    EXPECT_TRUE(shot.closeTo(4, s.cy - 18, colours::kGround));
    Box antenna = find<Box>(d, [](const Box& b) { return b.fill == colours::kAntenna; });
    EXPECT_EQ(shot.at(antenna.left + 1, antenna.top + 1), colours::kAntenna);
    Polyline beam = find<Polyline>(d, [](const Polyline& l) { return l.stroke == Stroke::Dashed; });
    EXPECT_GT(shot.along(beam.points[0], beam.points[1], colours::kBeam).first, 20);

    // Dashed: a steep beam, clear of the arc and of the angle's label that
    // share its colour.
    t.type(kRoofHeight, L"20");
    t.type(kRoofDistance, L"10");
    t.type(kRoofBeam, L"10");
    click(t.item(kRoofCompute), 6, 6);
    Drawing steep = drawRoofEdgeCanvas(runRoofEdge("20", "10", "10"), s.cx, s.cy);
    beam = find<Polyline>(steep, [](const Polyline& l) { return l.stroke == Stroke::Dashed; });
    CanvasShot steepShot(canvas);
    auto [hits, gaps] = steepShot.along(beam.points[0], beam.points[1], colours::kBeam, 35);
    EXPECT_GT(hits, 30);
    EXPECT_GT(gaps, 5);

    // A negative largest tilt: building and antenna, no beam at all.
    t.type(kRoofHeight, L"1");
    t.type(kRoofDistance, L"50");
    click(t.item(kRoofCompute), 6, 6);
    CanvasShot flat(canvas);
    EXPECT_EQ(flat.count(colours::kBeam), 0);
    EXPECT_GT(flat.count(colours::kAntenna), 40);
    EXPECT_GT(flat.count(colours::kBuildingFill), 200);
}

}  // namespace
}  // namespace kit::test
