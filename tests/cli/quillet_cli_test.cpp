#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "cli_harness.h"

using kit::test::CliResult;

namespace {

// A folder of its own, removed when the test ends.
class Scratch {
public:
    explicit Scratch(const std::string& name)
        : dir_(kit::test::tempPath("quillet_cli_" + std::to_string(::getpid()) + "_" + name)) {
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    ~Scratch() { std::filesystem::remove_all(dir_); }
    std::string operator/(const std::string& name) const { return dir_ + "/" + name; }
    const std::string& path() const { return dir_; }

private:
    std::string dir_;
};

CliResult quillet(const std::vector<std::string>& args) { return kit::test::runCli("quillet-cli", args); }

std::string readAll(const std::string& path) { return kit::readFileBytes(path).value_or(""); }

size_t countOf(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t p = 0; (p = text.find(what, p)) != std::string::npos; p += what.size()) ++n;
    return n;
}

const std::string kDriveCsv = kit::test::fixture("drivetest.csv");
const std::string kDriveXlsx = kit::test::fixture("drivetest.xlsx");
const std::string kSitesCsv = kit::test::fixture("sites_utf8bom.csv");

}  // namespace

TEST(QuilletCli, DriveTestSingleFileFromCsvOrWorkbook) {
    Scratch dir("drive");
    CliResult csv = quillet({"drivetest", kDriveCsv, "-o", dir / "a.kml"});
    EXPECT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.err, "KML文件导出成功\n");
    std::filesystem::create_directories(dir / "into");
    CliResult xlsx = quillet({"drivetest", kDriveXlsx, "-o", dir / "into"});
    EXPECT_EQ(xlsx.status, 0) << xlsx.err;
    const std::string kml = readAll(dir / "a.kml");
    EXPECT_EQ(readAll(dir / "into/drivetest.kml"), kml);
    EXPECT_EQ(kml.rfind("\xEF\xBB\xBF<?xml", 0), 0u);
    EXPECT_EQ(countOf(kml, "<Placemark>"), 600u);

    // A template file of our own; --template picks by name, else last_used.
    ASSERT_TRUE(kit::writeFileBytes(dir / "t.json", R"({"last_used": "绿", "templates": [
        {"name": "绿", "ranges": [{"min": -200, "max": 0, "color": [0, 255, 0]}]},
        {"name": "红", "ranges": [{"min": -200, "max": 0, "color": [255, 0, 0]}]}]})"));
    EXPECT_EQ(quillet({"drivetest", kDriveCsv, "-o", dir / "g.kml", "--templates", dir / "t.json", "--size", "9"}).status, 0);
    EXPECT_NE(readAll(dir / "g.kml").find("<color>ff00ff00</color>"), std::string::npos);
    EXPECT_EQ(quillet({"drivetest", kDriveCsv, "-o", dir / "r.kml", "--templates", dir / "t.json", "--template", "红"}).status, 0);
    EXPECT_NE(readAll(dir / "r.kml").find("<color>ff0000ff</color>"), std::string::npos);
}

TEST(QuilletCli, BatchSkipsUnreadableInputsAndReportsTheCount) {
    Scratch dir("batch");
    ASSERT_TRUE(kit::writeFileBytes(dir / "bad.xlsx", "PK not really"));
    CliResult r = quillet({"drivetest", kDriveCsv, dir / "bad.xlsx", kDriveXlsx, dir / "gone.csv", "-o", dir / "out/新"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("bad.xlsx"), std::string::npos);
    EXPECT_NE(r.err.find("gone.csv"), std::string::npos);
    EXPECT_TRUE(r.err.ends_with("已生成2个KML\n")) << r.err;
    EXPECT_EQ(countOf(readAll(dir / "out/新/drivetest.kml"), "<Placemark>"), 600u);

    CliResult none = quillet({"iconmap", dir / "bad.xlsx", dir / "gone.csv", "-o", dir / "none"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(quillet({"iconmap", dir / "gone.csv", "-o", dir / "x.kml"}).status, 1);
}

TEST(QuilletCli, SectorOptionsAndWarnings) {
    Scratch dir("sectors");
    ASSERT_TRUE(kit::writeFileBytes(dir / "no_azimuth.csv", "站名,经度,纬度\nA,116,40\nB,116.1,40.1\n"));
    CliResult warn = quillet({"sectors", dir / "no_azimuth.csv", "-o", dir / "w.kml"});
    EXPECT_EQ(warn.status, 2);
    EXPECT_EQ(warn.err, "请选择方位角列或输入固定值\n");

    CliResult fixed = quillet({"sectors", dir / "no_azimuth.csv", "-o", dir / "f.kml", "--azimuth", "30", "--beam", "90",
                               "--color", "00FF00", "--opacity", "50", "--no-lod"});
    EXPECT_EQ(fixed.status, 0) << fixed.err;
    EXPECT_EQ(fixed.err, "扇区KML已生成\n");
    const std::string kml = readAll(dir / "f.kml");
    EXPECT_EQ(countOf(kml, "<description>方位角:30° 波宽:90° 半径:500m</description>"), 2u);
    EXPECT_EQ(countOf(kml, "<color>7f00ff00</color>"), 4u);
    EXPECT_EQ(countOf(kml, "<Region>"), 0u);

    CliResult detected = quillet({"sectors", kSitesCsv, "-o", dir / "d.kml", "--lod", "10"});
    EXPECT_EQ(detected.status, 0) << detected.err;
    EXPECT_NE(readAll(dir / "d.kml").find("<minLodPixels>64</minLodPixels>"), std::string::npos);

    for (auto bad : std::vector<std::vector<std::string>>{{"--color", "red"}, {"--opacity", "101"}, {"--lon", "nope"}}) {
        std::vector<std::string> args{"sectors", kSitesCsv, "-o", dir / "x.kml"};
        args.insert(args.end(), bad.begin(), bad.end());
        EXPECT_EQ(quillet(args).status, 2) << bad[0];
    }
}

TEST(QuilletCli, IconMapIconsAndUsage) {
    Scratch dir("icons");
    CliResult r = quillet({"iconmap", kDriveXlsx, "-o", dir / "i.kml", "--icon", "E"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "KML已生成\n");
    EXPECT_NE(readAll(dir / "i.kml").find("<href>http://maps.google.com/mapfiles/kml/paddle/grn-E.png</href>"),
              std::string::npos);
    EXPECT_EQ(quillet({"iconmap", kDriveXlsx, "-o", dir / "i.kml", "--icon", "67"}).status, 2);
    EXPECT_EQ(quillet({"iconmap", kDriveXlsx}).status, 2);
    EXPECT_EQ(quillet({"drivetest", kDriveCsv, "-o", dir / "t.kml", "--template", "没有"}).status, 2);
    CliResult help = quillet({"--help"});
    for (const char* cmd : {"drivetest", "sectors", "iconmap"}) EXPECT_NE(help.out.find(cmd), std::string::npos);
}
