#include <gtest/gtest.h>

#include "cli_harness.h"

using CliRun = kit::test::CliResult;

namespace {

CliRun varnick(const std::vector<std::string>& args) { return kit::test::runCli("varnick-cli", args); }

void expectText(const CliRun& r, const std::string& text) {
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, text);
    EXPECT_EQ(r.err, "");
}

void expectWarning(const CliRun& r, const std::string& warning) {
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, warning + "\n");
}

void expectUsageError(const CliRun& r) {
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;  // one line
}

}  // namespace

TEST(VarnickCli, ArfcnBothStandardsBothWays) {
    expectText(varnick({"arfcn", "lte", "--band", "3", "--earfcn", "1300"}), "下行: 1815.0 MHz\n上行: 1720.0 MHz\n");
    expectText(varnick({"arfcn", "lte", "--mhz", "1842.5", "--band", "3"}), "EARFCN: 1575\n");
    expectText(varnick({"arfcn", "lte", "--band=38", "--earfcn=38000"}), "下行: 2595.0 MHz\n");
    expectText(varnick({"arfcn", "nr", "--mhz", "3500"}), "NR-ARFCN: 633333\n");
    expectText(varnick({"arfcn", "nr", "--arfcn", "620000"}), "频率: 3300.0000 MHz\n");
    expectText(varnick({"arfcn", "nr", "--arfcn", "2016667"}), "频率: 24250.0800 MHz\n");
}

TEST(VarnickCli, ArfcnValuesReadAsTheTabReadsThem) {
    expectText(varnick({"arfcn", "lte", "--band", "1", "--earfcn", "junk"}), "下行: 2110.0 MHz\n上行: 1920.0 MHz\n");
    expectText(varnick({"arfcn", "nr", "--mhz", "junk"}), "NR-ARFCN: 0\n");
}

TEST(VarnickCli, ArfcnOutsideTheBandOrRasterIsTheTabsWarning) {
    expectWarning(varnick({"arfcn", "lte", "--band", "1", "--earfcn", "1300"}), "频点超出 Band 1 范围");
    expectWarning(varnick({"arfcn", "lte", "--band", "1", "--earfcn", "-5"}), "频点超出 Band 1 范围");
    expectWarning(varnick({"arfcn", "lte", "--band", "3", "--mhz", "1880"}), "频率超出 Band 3 范围");
    expectWarning(varnick({"arfcn", "lte", "--band", "3", "--mhz", "100"}), "频率超出 Band 3 范围");
    expectText(varnick({"arfcn", "lte", "--band", "41", "--earfcn", "41589"}), "下行: 2689.9 MHz\n");
    expectWarning(varnick({"arfcn", "lte", "--band", "41", "--earfcn", "41590"}), "频点超出 Band 41 范围");
    expectWarning(varnick({"arfcn", "nr", "--arfcn", "3279168"}), "ARFCN 超出有效范围");
    expectWarning(varnick({"arfcn", "nr", "--mhz", "60000"}), "频率超出 NR 有效范围");
}

TEST(VarnickCli, ArfcnUsageErrors) {
    expectUsageError(varnick({"arfcn", "lte", "--earfcn", "1300"}));                       // no band
    expectUsageError(varnick({"arfcn", "lte", "--band", "7", "--earfcn", "1300"}));        // not in the table
    expectUsageError(varnick({"arfcn", "lte", "--band", "3x", "--earfcn", "1300"}));
    expectUsageError(varnick({"arfcn", "lte", "--band", "3", "--earfcn", "1", "--mhz", "1"}));
    expectUsageError(varnick({"arfcn", "lte", "--band", "3"}));
    expectUsageError(varnick({"arfcn", "nr", "--earfcn", "1"}));
    expectUsageError(varnick({"arfcn", "nr", "--band", "78", "--arfcn", "1"}));
    expectUsageError(varnick({"arfcn", "gsm", "--arfcn", "1"}));
    expectUsageError(varnick({"arfcn"}));
}

TEST(VarnickCli, DowntiltAndBuildingDefaultsAreTheTabsStartUpValues) {
    expectText(varnick({"downtilt"}), "合成倾角: 6.0°  (3dB角: 3.5°)\n覆盖距离: 179m ~ 687m\n3dB点: 285m\n");
    expectText(varnick({"downtilt", "--mech", "3"}), "合成倾角: 3.0°  (3dB角: 3.5°)\n覆盖距离: 263m ~ 超水平线\n3dB点: 572m\n");
    expectText(varnick({"downtilt", "--mech", "-2", "--elec", "1"}), "合成倾角: -1.0°\n请输入正的下倾角\n");
    expectText(varnick({"building"}), "最大下倾角: 26.66°\narctan(H/L) = 38.66°\n");
    expectText(varnick({"building", "--height", "1", "--distance", "50"}),
               "最大下倾角: -10.85°\n注意：计算结果为负值，\n说明波束无法避开楼面反射。\n");
    expectText(varnick({"building", "--distance", "0"}), "请输入有效的正数值\n");
    expectUsageError(varnick({"downtilt", "40"}));
    expectUsageError(varnick({"building", "--tilt", "3"}));
}

TEST(VarnickCli, UnitConverters) {
    expectText(varnick({"power", "43"}), "dBm:  43.00 dBm\nW:    19.952623 W\nmW:   19952.62 mW\n");
    expectText(varnick({"power", "--unit", "W", "0"}), "dBm:  -999.00 dBm\nW:    0.000000 W\nmW:   0.00 mW\n");
    expectText(varnick({"power", "-10"}), "dBm:  -10.00 dBm\nW:    0.000100 W\nmW:   0.10 mW\n");
    expectText(varnick({"rate", "100"}), "Gbps:  0.100000\nMbps:  100.0000\nKbps:  100000.0000\nMB/s:  12.5000\n");
    expectText(varnick({"rate", "2", "--unit", "Gbps"}),
               "Gbps:  2.0000\nMbps:  2000.0000\nKbps:  2000000.000\nMB/s:  250.0000\n");
    expectText(varnick({"rate", "1", "--unit", "MB/s"}), "Gbps:  0.008000\nMbps:  8.0000\nKbps:  8000.0000\nMB/s:  1.0000\n");
    expectUsageError(varnick({"power"}));
    expectUsageError(varnick({"power", "1", "--unit", "kW"}));
    expectUsageError(varnick({"rate", "1", "2"}));
}

TEST(VarnickCli, Base) {
    expectText(varnick({"base", "1A2F"}), "十六进制:  1A2F\n十进制:  6703\n八进制:  15057\n二进制:  1 1010 0010 1111\n");
    expectText(varnick({"base", "F F"}), "十六进制:  FF\n十进制:  255\n八进制:  377\n二进制:  1111 1111\n");
    expectText(varnick({"base", "--from", "dec", "9223372036854775807"}),
               "十六进制:  7FFFFFFFFFFFFFFF\n十进制:  9223372036854775807\n八进制:  777777777777777777777\n"
               "二进制:  111 1111 1111 1111 1111 1111 1111 1111 1111 1111 1111 1111 1111 1111 1111 1111\n");
    expectText(varnick({"base", "--from", "dec", "9223372036854775808"}), "输入格式错误\n");
    expectText(varnick({"base", "-5", "--from", "dec"}), "输入格式错误\n");
    expectText(varnick({"base", "--", "-FF"}), "输入格式错误\n");
    expectText(varnick({"base", ""}), "输入格式错误\n");
    expectUsageError(varnick({"base", "1", "--from", "hexadecimal"}));
}

TEST(VarnickCli, HelpAndVersion) {
    CliRun help = varnick({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* cmd : {"arfcn", "downtilt", "building", "power", "base", "rate"})
        EXPECT_NE(help.out.find(std::string("  ") + cmd), std::string::npos) << cmd;
    CliRun sub = varnick({"arfcn", "--help"});
    EXPECT_EQ(sub.status, 0);
    EXPECT_NE(sub.out.find("--earfcn"), std::string::npos);
    CliRun version = varnick({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("varnick-cli ", 0), 0u);
}
