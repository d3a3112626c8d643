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

TEST(LteConversion, EdgesAreNotValidatedOnlySigns) {
    EXPECT_EQ(lteChannelToFrequencyText("1300", 1), "下行: 2240.0 MHz\r\n上行: 2050.0 MHz");
    EXPECT_EQ(lteChannelToFrequencyText("-1", 1), "频点超出 Band 1 范围");
    // Bad text reads as channel 0, which lies below band 41's frequencies.
    EXPECT_EQ(lteChannelToFrequencyText("abc", 41), "频点超出 Band 41 范围");
    EXPECT_EQ(lteChannelToFrequencyText("2147483647", 1), "下行: 214750474.7 MHz\r\n上行: 214750284.7 MHz");
    EXPECT_EQ(lteFrequencyToChannelText("100", 3), "频率超出 Band 3 范围");
    // Not above 0 MHz is out of range even where the formula stays positive.
    EXPECT_EQ(dlMhzToEarfcn(0, 41), -1);
    EXPECT_EQ(lteFrequencyToChannelText("-5", 41), "频率超出 Band 41 范围");
    EXPECT_EQ(lteFrequencyToChannelText("nan", 1), "频率超出 Band 1 范围");
}

TEST(LteConversion, FrequenciesBeyondAnyChannelNumberAreOutOfRange) {
    EXPECT_EQ(dlMhzToEarfcn(1e300, 1), -1);
    EXPECT_EQ(lteFrequencyToChannelText("1e9", 1), "频率超出 Band 1 范围");
    EXPECT_EQ(lteFrequencyToChannelText("inf", 1), "频率超出 Band 1 范围");
    EXPECT_EQ(dlMhzToEarfcn(2e8, 1), 1999978900);
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

TEST(NrConversion, RasterEdges) {
    EXPECT_EQ(nrArfcnToMhz(0), 0.0);
    EXPECT_DOUBLE_EQ(nrArfcnToMhz(599999), 599999 * 0.005);
    EXPECT_EQ(nrArfcnToMhz(600000), -1.0);
    EXPECT_EQ(nrArfcnToMhz(2016666), -1.0);
    EXPECT_DOUBLE_EQ(nrArfcnToMhz(2016667), 24250.08);
    EXPECT_DOUBLE_EQ(nrArfcnToMhz(3279167), 24250.08 + 0.06 * (3279167 - 2016667));
    EXPECT_EQ(nrArfcnToMhz(3279168), -1.0);
    EXPECT_EQ(nrArfcnToMhz(-1), -1.0);
    EXPECT_EQ(nrArfcnToMhz(INT_MIN), -1.0);

    EXPECT_EQ(nrChannelToFrequencyText("599999"), "频率: 2999.9950 MHz");
    EXPECT_EQ(nrChannelToFrequencyText("2016667"), "频率: 24250.0800 MHz");
    EXPECT_EQ(nrChannelToFrequencyText("3279167"), "频率: 100000.0800 MHz");
    EXPECT_EQ(nrChannelToFrequencyText("3279168"), "ARFCN 超出有效范围");
    EXPECT_EQ(nrChannelToFrequencyText("0"), "ARFCN 超出有效范围");  // 0 MHz is no frequency
}

TEST(NrConversion, FrequencyToChannel) {
    EXPECT_EQ(nrFrequencyToChannelText("1842.5"), "NR-ARFCN: 368500");
    EXPECT_EQ(nrChannelToFrequencyText("368500"), "频率: 1842.5000 MHz");
    EXPECT_EQ(nrFrequencyToChannelText("28000"), "NR-ARFCN: 2079166");
    EXPECT_EQ(mhzToNrArfcn(0), 0);
    EXPECT_EQ(mhzToNrArfcn(7125), 1425000);
    EXPECT_EQ(mhzToNrArfcn(7125.01), -1);
    EXPECT_EQ(mhzToNrArfcn(24249.99), -1);
    EXPECT_EQ(mhzToNrArfcn(24250), 2016666);  // 0.08 MHz below the raster's first point
    EXPECT_EQ(mhzToNrArfcn(52600), 2016667 + 472499);
    EXPECT_EQ(mhzToNrArfcn(52600.01), -1);
    EXPECT_EQ(nrFrequencyToChannelText("-1"), "频率超出 NR 有效范围");
    EXPECT_EQ(nrFrequencyToChannelText("nan"), "频率超出 NR 有效范围");
}

TEST(NrConversion, FiveKilohertzRasterAbove3GHzDoesNotComeBack) {
    EXPECT_EQ(nrFrequencyToChannelText("3500"), "NR-ARFCN: 700000");
    EXPECT_EQ(nrChannelToFrequencyText("700000"), "ARFCN 超出有效范围");
}
