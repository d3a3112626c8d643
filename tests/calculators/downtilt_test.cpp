#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "calculators/downtilt.h"

using namespace kit;

TEST(Downtilt, StartUpValues) {
    const auto& f = kDowntiltDefaultFields;
    DowntiltResult r = runDowntilt(f[0], f[1], f[2], f[3]);
    EXPECT_NEAR(r.nearM, 179.27, 0.01);
    EXPECT_NEAR(r.farM, 687.11, 0.01);
    EXPECT_NEAR(r.mainM, 285.43, 0.01);
    EXPECT_EQ(r.text, "合成倾角: 6.0°  (3dB角: 3.5°)\r\n覆盖距离: 179m ~ 687m\r\n3dB点: 285m");
}

TEST(Downtilt, ElectricalTiltAddsToMechanical) {
    DowntiltResult r = runDowntilt("30", "2", "4", "7");
    EXPECT_EQ(r.text, "合成倾角: 6.0°  (3dB角: 3.5°)\r\n覆盖距离: 179m ~ 687m\r\n3dB点: 285m");
}

TEST(Downtilt, LowerEdgeAboveHorizon) {
    DowntiltResult r = runDowntilt("30", "3", "0", "7");
    EXPECT_EQ(r.farM, kBeyondHorizonM);
    EXPECT_EQ(r.text, "合成倾角: 3.0°  (3dB角: 3.5°)\r\n覆盖距离: 263m ~ 超水平线\r\n3dB点: 572m");
}

TEST(Downtilt, NoPositiveTilt) {
    DowntiltResult level = runDowntilt("30", "0", "0", "7");
    EXPECT_EQ(level.text, "合成倾角: 0.0°\r\n请输入正的下倾角");
    EXPECT_EQ(level.mainM, kBeyondHorizonM);
    EXPECT_NEAR(level.nearM, 30 / std::tan(3.5 * std::numbers::pi / 180), 1e-9);  // the upper edge still lands

    DowntiltResult up = runDowntilt("30", "-2", "-3", "4");
    EXPECT_EQ(up.text, "合成倾角: -5.0°\r\n请输入正的下倾角");
    EXPECT_EQ(up.nearM, 0);  // even the upper edge points up
    EXPECT_EQ(up.farM, kBeyondHorizonM);
}

TEST(Downtilt, AnglesAtOrBelowAMilliradianNeverLand) {
    // 0.05 degrees is below 0.001 rad: positive, but drawn and counted as level.
    DowntiltResult r = computeDowntilt({30, 0.05, 0, 0});
    EXPECT_EQ(r.mainM, kBeyondHorizonM);
    EXPECT_EQ(r.nearM, 0);
    EXPECT_EQ(r.text, "合成倾角: 0.1°  (3dB角: 0.0°)\r\n覆盖距离: 0m ~ 超水平线\r\n3dB点: 99999m");
    DowntiltResult just = computeDowntilt({30, 0.06, 0, 0});
    EXPECT_NEAR(just.mainM, 30 / std::tan(0.06 * std::numbers::pi / 180), 1e-6);
}

TEST(Downtilt, UnreadableFieldsReadAsZero) {
    DowntiltResult r = runDowntilt("abc", "6", "", "7");
    EXPECT_EQ(r.input.heightM, 0);
    EXPECT_EQ(r.text, "合成倾角: 6.0°  (3dB角: 3.5°)\r\n覆盖距离: 0m ~ 0m\r\n3dB点: 0m");
}
