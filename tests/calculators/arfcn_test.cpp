#include <gtest/gtest.h>

#include <climits>

#include "calculators/arfcn.h"
#include "calculators/band_tables.h"

using namespace kit;

TEST(BandTables, ListsAndStartUpSelections) {
    ASSERT_EQ(lteBands().size(), 9u);
    ASSERT_EQ(nrBands().size(), 6u);
    EXPECT_EQ(lteBands()[kDefaultLteBandIndex].name, "B3 (FDD 1800)");
    EXPECT_EQ(nrBands()[kDefaultNrBandIndex].name, "n78 (TDD 3500)");
    EXPECT_EQ(bandNumberAt(false, 0), 1);
    EXPECT_EQ(bandNumberAt(false, 8), 41);
    EXPECT_EQ(bandNumberAt(true, 4), 78);
    EXPECT_EQ(bandNumberAt(true, 5), 79);
    // No selection, or an index past either table.
    EXPECT_EQ(bandNumberAt(false, -1), -1);
    EXPECT_EQ(bandNumberAt(false, 9), -1);
    EXPECT_EQ(bandNumberAt(true, 6), -1);
    EXPECT_EQ(bandNumberAt(true, 1000), -1);
}

TEST(BandTables, LteDownlinkChannelRangesDoNotOverlap) {
    // Each band's downlink channels (100 kHz apart) end before the next band's
    // N_Offs-DL, as in the standard's table.
    auto bands = lteBands();
    for (size_t i = 0; i + 1 < bands.size(); ++i) {
        int last = bands[i].nOffsDl + static_cast<int>((bands[i].dlHighMhz - bands[i].dlLowMhz) * 10) - 1;
        EXPECT_LT(last, bands[i + 1].nOffsDl) << "band " << bands[i].band;
        EXPECT_EQ(bands[i].fDlLowMhz, bands[i].dlLowMhz);
    }
}

TEST(LteConversion, StartUpValuesInBand3) {
    int band = bandNumberAt(false, kDefaultLteBandIndex);
    EXPECT_EQ(lteChannelToFrequencyText("1300", band), "下行: 1815.0 MHz\r\n上行: 1720.0 MHz");
    EXPECT_EQ(lteFrequencyToChannelText("1842.5", band), "EARFCN: 1575");
}

TEST(LteConversion, UplinkOnlyForFddBands) {
    EXPECT_EQ(lteChannelToFrequencyText("0", 1), "下行: 2110.0 MHz\r\n上行: 1920.0 MHz");
    EXPECT_EQ(lteChannelToFrequencyText("2525", 5), "下行: 881.5 MHz\r\n上行: 836.5 MHz");
    EXPECT_EQ(lteChannelToFrequencyText("3590", 8), "下行: 939.0 MHz\r\n上行: 894.0 MHz");
    EXPECT_EQ(lteChannelToFrequencyText("38000", 38), "下行: 2595.0 MHz");
    EXPECT_EQ(lteChannelToFrequencyText("40936", 41), "下行: 2624.6 MHz");
}

TEST(LteConversion, Band34UsesItsStandardOffset) {
    // Band 34 downlink channels are 36200-36349 from 2010 MHz.
    EXPECT_EQ(earfcnToDlMhz(36200, 34), 2010.0);
    EXPECT_EQ(lteChannelToFrequencyText("36275", 34), "下行: 2017.5 MHz");
    EXPECT_EQ(lteFrequencyToChannelText("2024.9", 34), "EARFCN: 36349");
}

// TS 36.101 Table 5.7.3-1 for the tab's bands, frequencies in tenths of a MHz.
struct StandardBand {
    int band, nFirst, nLast;
    int dlLow, ulLow;  // F_DL_low, F_UL_low (0 for TDD)
};
constexpr StandardBand kStandardBands[] = {
    {1, 0, 599, 21100, 19200},       {3, 1200, 1949, 18050, 17100},   {5, 2400, 2649, 8690, 8240},
    {8, 3450, 3799, 9250, 8800},     {34, 36200, 36349, 20100, 0},    {38, 37750, 38249, 25700, 0},
    {39, 38250, 38649, 18800, 0},    {40, 38650, 39649, 23000, 0},    {41, 39650, 41589, 24960, 0},
};

std::string tenthsMhz(int tenths) { return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10); }

// The warning's text, or what came instead.
std::string warningOf(const Outcome& o) { return o.status == Status::Warning ? o.message : "no warning: " + o.text; }

TEST(LteConversion, EveryBandConvertsItsOwnChannelsAndFrequenciesOnly) {
    ASSERT_EQ(lteBands().size(), std::size(kStandardBands));
    for (const StandardBand& s : kStandardBands) {
        SCOPED_TRACE("band " + std::to_string(s.band));
        const int lastDl = s.dlLow + (s.nLast - s.nFirst);
        const std::string badChannel = "频点超出 Band " + std::to_string(s.band) + " 范围";
        const std::string badFrequency = "频率超出 Band " + std::to_string(s.band) + " 范围";
        auto frequencies = [&](int n) {
            std::string text = "下行: " + tenthsMhz(s.dlLow + n - s.nFirst) + " MHz";
            if (s.ulLow) text += "\r\n上行: " + tenthsMhz(s.ulLow + n - s.nFirst) + " MHz";
            return text;
        };
        for (int n : {s.nFirst, s.nLast})
            EXPECT_EQ(lteChannelToFrequencyText(std::to_string(n), s.band), frequencies(n));
        for (int n : {s.nFirst - 1, s.nLast + 1})
            EXPECT_EQ(warningOf(lteChannelToFrequency(std::to_string(n), s.band)), badChannel);
        EXPECT_EQ(lteFrequencyToChannelText(tenthsMhz(s.dlLow), s.band), "EARFCN: " + std::to_string(s.nFirst));
        EXPECT_EQ(lteFrequencyToChannelText(tenthsMhz(lastDl), s.band), "EARFCN: " + std::to_string(s.nLast));
        for (int t : {s.dlLow - 1, lastDl + 1})
            EXPECT_EQ(warningOf(lteFrequencyToChannel(tenthsMhz(t), s.band)), badFrequency);
    }
}

TEST(LteConversion, NumbersOfAnotherBandAreRefused) {
    EXPECT_EQ(lteChannelToFrequencyText("1300", 1), "频点超出 Band 1 范围");  // a band 3 channel
    EXPECT_EQ(lteFrequencyToChannelText("2200", 1), "频率超出 Band 1 范围");
    EXPECT_EQ(lteFrequencyToChannelText("100", 3), "频率超出 Band 3 范围");
    // Between the last channel and the band edge is outside too, though it
    // would round to a channel of the band.
    EXPECT_EQ(lteFrequencyToChannelText("2169.91", 1), "频率超出 Band 1 范围");
    EXPECT_EQ(lteFrequencyToChannelText("2109.99", 1), "频率超出 Band 1 范围");
    EXPECT_EQ(lteFrequencyToChannelText("2110.04", 1), "EARFCN: 0");
    // Bad text reads as channel 0, which band 41 does not hold.
    EXPECT_EQ(lteChannelToFrequencyText("abc", 41), "频点超出 Band 41 范围");
    EXPECT_EQ(earfcnToDlMhz(INT_MAX, 1), -1.0);
    EXPECT_EQ(earfcnToDlMhz(INT_MIN, 1), -1.0);
    EXPECT_EQ(dlMhzToEarfcn(0, 41), -1);
    EXPECT_EQ(lteFrequencyToChannelText("-5", 41), "频率超出 Band 41 范围");
    EXPECT_EQ(lteFrequencyToChannelText("nan", 1), "频率超出 Band 1 范围");
    EXPECT_EQ(lteFrequencyToChannelText("inf", 1), "频率超出 Band 1 范围");
    EXPECT_EQ(dlMhzToEarfcn(1e300, 1), -1);
}

TEST(LteConversion, UnknownBandOrNoSelection) {
    EXPECT_EQ(earfcnToDlMhz(100, 7), -1.0);
    EXPECT_EQ(dlMhzToEarfcn(2110, 7), -1);
    EXPECT_EQ(lteChannelToFrequencyText("1300", -1), "频点超出 Band -1 范围");
    EXPECT_EQ(lteFrequencyToChannelText("1842.5", -1), "频率超出 Band -1 范围");
}

TEST(LteConversion, ChannelRoundTripsInEveryBand) {
    for (const LteBand& b : lteBands()) {
        int channels = static_cast<int>((b.dlHighMhz - b.dlLowMhz) * 10);
        for (int n = b.nOffsDl; n < b.nOffsDl + channels; n += 7)
            ASSERT_EQ(dlMhzToEarfcn(earfcnToDlMhz(n, b.band), b.band), n) << "band " << b.band;
    }
}

// Channel and frequency that name each other: the ranges' first and last
// numbers and real channels of n41 (5 kHz steps) and n78 / n79 (15 kHz steps),
// each computed from F = F_ref + step * (N - N_ref).
TEST(NrConversion, ChannelsAndFrequenciesBothWays) {
    struct Pair {
        int arfcn;
        const char* mhzText;  // as typed into the frequency field
        const char* shown;    // the channel's frequency as the tab shows it
    };
    const Pair pairs[] = {
        {599999, "2999.995", "2999.9950"},   {600000, "3000", "3000.0000"},
        {2016666, "24249.99", "24249.9900"}, {2016667, "24250.08", "24250.0800"},
        {499200, "2496", "2496.0000"},       {504990, "2524.95", "2524.9500"},   {538000, "2690", "2690.0000"},
        {620000, "3300", "3300.0000"},       {633333, "3499.995", "3499.9950"},  {653333, "3799.995", "3799.9950"},
        {693334, "4400.01", "4400.0100"},
    };
    for (const Pair& p : pairs) {
        EXPECT_EQ(nrChannelToFrequencyText(std::to_string(p.arfcn)), std::string("频率: ") + p.shown + " MHz");
        EXPECT_EQ(nrFrequencyToChannelText(p.mhzText), "NR-ARFCN: " + std::to_string(p.arfcn)) << p.mhzText;
    }
    // Frequencies between raster points go to the nearest one.
    EXPECT_EQ(mhzToNrArfcn(3500), 633333);
    EXPECT_EQ(mhzToNrArfcn(3800), 653333);
    EXPECT_EQ(mhzToNrArfcn(2999.999), 600000);
    EXPECT_EQ(mhzToNrArfcn(7125), 875000);
    EXPECT_EQ(mhzToNrArfcn(24249.999), 2016666);  // 24249.99 is nearer than 24250.08
    EXPECT_EQ(mhzToNrArfcn(24250), 2016666);
    EXPECT_EQ(nrFrequencyToChannelText("1842.5"), "NR-ARFCN: 368500");
    EXPECT_EQ(nrFrequencyToChannelText("28000"), "NR-ARFCN: 2079166");
}

TEST(NrConversion, OutsideTheRaster) {
    for (int n : {3279168, -1, INT_MIN, INT_MAX}) EXPECT_EQ(nrArfcnToMhz(n), -1.0) << n;
    // The 60 kHz numbers run on to 100 GHz; frequencies are taken up to 52.6 GHz.
    EXPECT_EQ(nrChannelToFrequencyText("3279167"), "频率: 100000.0800 MHz");
    EXPECT_EQ(nrChannelToFrequencyText("3279168"), "ARFCN 超出有效范围");
    EXPECT_EQ(nrChannelToFrequencyText("0"), "ARFCN 超出有效范围");  // 0 MHz is no frequency
    EXPECT_EQ(mhzToNrArfcn(0), 0);
    EXPECT_EQ(mhzToNrArfcn(52600), 2016667 + 472499);
    EXPECT_EQ(mhzToNrArfcn(52600.01), -1);
    EXPECT_EQ(nrFrequencyToChannelText("-1"), "频率超出 NR 有效范围");
    EXPECT_EQ(nrFrequencyToChannelText("nan"), "频率超出 NR 有效范围");
}

TEST(NrConversion, EveryChannelUpTo52600MhzComesBack) {
    const int last = mhzToNrArfcn(52600) - 1;  // the nearest number to 52600 MHz lies just above it
    for (int n = 0; n <= last; n += 997) ASSERT_EQ(mhzToNrArfcn(nrArfcnToMhz(n)), n) << n;
    for (int n : {599999, 600000, 2016666, 2016667, last}) EXPECT_EQ(mhzToNrArfcn(nrArfcnToMhz(n)), n) << n;
}
