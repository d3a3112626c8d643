#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "coverage/propagation.h"

using namespace kit;

// Okumura-Hata, small/medium city, against the worked example of the Hata
// path-loss calculator at rfwireless-world.com ("Hata Model Path Loss
// Calculator and Formula"): 900 MHz, base 100 m, mobile 2 m, 4 km ->
// a(hm) = 1.29 dB, path loss 137.05 dB.
TEST(PathLoss, HataMatchesThePublishedExample) {
    EXPECT_NEAR(pathLossHata(4, 900, 100, 2, kUrban), 137.05, 0.005);
}

// COST-231 Hata worked by hand from the model's published formula (COST
// Action 231 final report, 1999, section 4.4.1, medium city, C = 0):
// 1800 MHz, 30 m, 1.5 m: 46.3 + 110.3537 - 20.4138 - 0.0430 = 136.197 dB at
// 1 km; + 35.2249 * log 5 = 160.818 dB at 5 km.
TEST(PathLoss, Cost231MatchesTheHandWorkedFormula) {
    EXPECT_NEAR(pathLossCost231(1, 1800, 30, 1.5), 136.197, 0.001);
    EXPECT_NEAR(pathLossCost231(5, 1800, 30, 1.5), 160.818, 0.001);
}

// Free space against its definition 20·log10(4πdf/c) (ITU-R P.525); the
// rounded constant 32.44 stays within 0.01 dB of it.
TEST(PathLoss, FreeSpaceMatchesItsDefinition) {
    for (double f : {900.0, 2400.0, 3500.0})
        for (double d : {0.1, 1.0, 25.0}) {
            double exact = 20 * std::log10(4 * std::numbers::pi * d * 1000 * f * 1e6 / 299792458.0);
            EXPECT_NEAR(pathLossFspl(d, f), exact, 0.01);
        }
    EXPECT_NEAR(pathLossFspl(1, 2400), 100.04, 0.005);
    EXPECT_EQ(pathLossFspl(0, 2400), 0);
    EXPECT_EQ(pathLossFspl(1, 0), 0);
}

TEST(PathLoss, ModelsEvaluateInsideTheirRanges) {
    EXPECT_EQ(pathLossHata(5, 100, 30, 1.5, kUrban), pathLossHata(5, 150, 30, 1.5, kUrban));
    EXPECT_EQ(pathLossHata(5, 1400, 10, 1.5, kUrban), pathLossHata(5, 1400, 30, 1.5, kUrban));
    EXPECT_EQ(pathLossHata(5, 900, 300, 20, kUrban), pathLossHata(5, 900, 200, 10, kUrban));
    // Hata never sees less than 10 m; COST-231 replaces only d <= 0.
    EXPECT_EQ(pathLossHata(0, 900, 30, 1.5, kUrban), pathLossHata(0.01, 900, 30, 1.5, kUrban));
    EXPECT_EQ(pathLossHata(0.002, 900, 30, 1.5, kUrban), pathLossHata(0.01, 900, 30, 1.5, kUrban));
    EXPECT_EQ(pathLossCost231(-1, 1800, 30, 1.5), pathLossCost231(0.01, 1800, 30, 1.5));
    EXPECT_LT(pathLossCost231(0.005, 1800, 30, 1.5), pathLossCost231(0.01, 1800, 30, 1.5));
    EXPECT_EQ(pathLossCost231(3, 2500, 10, 0.5), pathLossCost231(3, 2000, 30, 1));
}

TEST(PathLoss, EnvironmentCorrections) {
    double urban = pathLossHata(5, 900, 30, 1.5, kUrban);
    double l = std::log10(900.0 / 28);
    EXPECT_NEAR(urban - pathLossHata(5, 900, 30, 1.5, kSuburban), 2 * l * l + 5.4, 1e-9);
    EXPECT_EQ(pathLossHata(5, 900, 30, 1.5, kRural), pathLossHata(5, 900, 30, 1.5, kOpen));
    EXPECT_EQ(pathLossHata(5, 900, 30, 1.5, 9), urban);
    EXPECT_LT(pathLossHata(5, 900, 30, 1.5, kOpen), pathLossHata(5, 900, 30, 1.5, kSuburban));
}

TEST(PathLoss, ShortRangeModel) {
    double base500 = 23.9 + 18.5 * std::log10(0.5) + 20 * std::log10(1800.0);
    double u = std::log10(5.0);
    EXPECT_NEAR(pathLossShortRange(500, 1800, kUrban), base500 + u * (20 * u + 25), 1e-9);
    EXPECT_NEAR(pathLossShortRange(500, 1800, kOpen), base500 + u * (12 * u + 10), 1e-9);
    EXPECT_NEAR(pathLossShortRange(50, 1800, kUrban), 23.9 + 18.5 * std::log10(0.05) + 20 * std::log10(1800.0), 1e-9);
    EXPECT_NEAR(pathLossShortRange(100, 1800, kUrban), 23.9 + 18.5 * std::log10(0.1) + 20 * std::log10(1800.0), 1e-9);
    EXPECT_EQ(pathLossShortRange(0, 1800, kUrban), pathLossShortRange(1, 1800, kUrban));
    EXPECT_NEAR(pathLossShortRange(1000, 1800, kUrban), 134.0, 0.05);
}

TEST(PathLoss, AutomaticChoiceBoundaries) {
    LinkParams p = makeLinkParams(1800);
    EXPECT_EQ(pathLoss(0, p), 0);
    EXPECT_EQ(pathLoss(-3, p), 0);
    EXPECT_EQ(pathLoss(0.5, p), pathLossShortRange(500, 1800, kUrban));
    EXPECT_EQ(pathLoss(1, p), pathLossCost231(1, 1800, 30, 1.5));
    p.frequencyMhz = 1499.9;
    EXPECT_EQ(pathLoss(0.5, p), pathLossHata(0.5, 1499.9, 30, 1.5, kUrban));
    p.frequencyMhz = 1500;
    EXPECT_EQ(pathLoss(0.999, p), pathLossShortRange(999, 1500, kUrban));
    EXPECT_EQ(pathLoss(2, p), pathLossCost231(2, 1500, 30, 1.5));
    p.frequencyMhz = 2000;
    EXPECT_EQ(pathLoss(2, p), pathLossCost231(2, 2000, 30, 1.5));
    p.frequencyMhz = 2000.1;
    EXPECT_EQ(pathLoss(2, p), pathLossFspl(2, 2000.1));
}

TEST(PathLoss, AForcedModelHoldsForEveryDistance) {
    LinkParams p = makeLinkParams(1800);
    p.model = PathModel::Cost231;
    EXPECT_EQ(pathLoss(0.3, p), pathLossCost231(0.3, 1800, 30, 1.5));
    p.model = PathModel::OkumuraHata;
    p.environment = kSuburban;
    EXPECT_EQ(pathLoss(3, p), pathLossHata(3, 1800, 30, 1.5, kSuburban));
    p.model = PathModel::FreeSpace;
    EXPECT_EQ(pathLoss(3, p), pathLossFspl(3, 1800));
    EXPECT_EQ(pathLoss(0, p), 0);
}

TEST(CellRadius, BisectionEndsWhereThePowerMeetsTheThreshold) {
    LinkParams p = makeLinkParams(1800);
    EXPECT_EQ(receivedPowerDbm(100, p), 43 + 13 - 100);
    double r = solveCellRadiusKm(-100, p, 0.01);
    EXPECT_GT(r, 1);
    EXPECT_LT(r, 5);
    EXPECT_GE(receivedPowerDbm(pathLoss(r - 0.01, p), p), -100);
    EXPECT_LT(receivedPowerDbm(pathLoss(r + 0.01, p), p), -100);

    p.txPowerDbm = 200;
    double far = solveCellRadiusKm(-100, p, 0.01);
    EXPECT_LT(far, 100);
    EXPECT_GT(far, 99.99);
    p.txPowerDbm = -200;
    double near = solveCellRadiusKm(-100, p, 0.01);
    EXPECT_GT(near, 0.01);
    EXPECT_LT(near, 0.02);
    // Free space at 2100 MHz still reaches -100 dBm at 100 km.
    EXPECT_GT(solveCellRadiusKm(-100, makeLinkParams(2100), 0.01), 99.99);
    // A tolerance that can never be met still ends.
    EXPECT_GT(solveCellRadiusKm(-100, makeLinkParams(1800), 0), 1);
}
