// The KML files the runs write, read back by independent tools: xmllint for
// well-formedness and GDAL's two KML drivers for the placemarks. Each check
// is skipped where its tool is not installed (and on Windows).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "batchkml/column_roles.h"
#include "batchkml/drivetest_kml.h"
#include "batchkml/icon_catalog.h"
#include "batchkml/kml_text.h"
#include "batchkml/quillet_runs.h"
#include "quillet_test_util.h"
#include "tests/shell_command.h"

#ifndef _WIN32

namespace {

using kit::test::KmlScratch;

std::string fixture(const std::string& name) { return std::string(KIT_FIXTURES) + "/" + name; }

using kit::test::capture;
using kit::test::haveCommand;

// Placemarks GDAL finds with one driver (the other skipped), over all layers.
long gdalFeatureCount(const std::string& path, const std::string& driver) {
    const std::string other = driver == "KML" ? "LIBKML" : "KML";
    std::string info = capture("ogrinfo -ro -so -al --config GDAL_SKIP " + other + " '" + path + "' 2>&1");
    EXPECT_NE(info.find("using driver `" + driver + "' successful"), std::string::npos) << info.substr(0, 400);
    long total = 0;
    for (size_t at = info.find("Feature Count: "); at != std::string::npos; at = info.find("Feature Count: ", at + 1))
        total += std::atol(info.c_str() + at + 15);
    return total;
}

// Well-formed, and both GDAL drivers see the placemarks.
void expectReadable(const std::string& path, long placemarks) {
    if (haveCommand("xmllint --version")) {
        EXPECT_EQ(std::system(("xmllint --noout '" + path + "'").c_str()), 0) << path;
    }
    if (haveCommand("ogrinfo --version")) {
        EXPECT_EQ(gdalFeatureCount(path, "KML"), placemarks) << path;
        EXPECT_EQ(gdalFeatureCount(path, "LIBKML"), placemarks) << path;
    }
}

// The document without its <name> line, which carries the source's stem.
std::string withoutName(std::string kml) {
    size_t at = kml.find("  <name>");
    return kml.erase(at, kml.find('\n', at) - at);
}

kit::DataTable read(const std::string& path) {
    kit::DataTable t;
    EXPECT_TRUE(kit::readDataFile(path, t, false)) << path;
    return t;
}

}  // namespace

TEST(KmlInterop, DriveTestFromCsvAndItsWorkbookTwin) {
    if (!haveCommand("xmllint --version") && !haveCommand("ogrinfo --version")) GTEST_SKIP() << "no xmllint or ogrinfo";
    KmlScratch dir;
    const auto csv = read(fixture("drivetest.csv")), xlsx = read(fixture("drivetest.xlsx"));
    kit::DriveTestParams p;
    p.lonCol = kit::findColumn(csv.headers, kit::longitudeCandidates());
    p.latCol = kit::findColumn(csv.headers, kit::latitudeCandidates());
    p.valueCol = kit::findColumn(csv.headers, kit::signalCandidates());
    p.ranges = kit::builtinTemplates()[0].ranges;
    ASSERT_TRUE(kit::checkDriveTest(true, p).ok());
    const std::string fromCsv = kit::driveTestDocument(csv, p);
    EXPECT_EQ(kit::driveTestDocument(xlsx, p), fromCsv);

    const long points = static_cast<long>(kit::driveTestPoints(csv, p.lonCol, p.latCol, p.valueCol, p.ranges).size());
    EXPECT_EQ(points, 600);
    ASSERT_TRUE(kit::runDriveTestSingle(csv, p, dir.file("路测.kml")).outcome.ok());
    expectReadable(dir.file("路测.kml"), points);
}

TEST(KmlInterop, SectorsFromEveryEncoding) {
    if (!haveCommand("xmllint --version") && !haveCommand("ogrinfo --version")) GTEST_SKIP() << "no xmllint or ogrinfo";
    KmlScratch dir;
    const auto base = read(fixture("sites_utf8bom.csv"));
    ASSERT_FALSE(base.rows.empty());
    kit::SectorRunParams p;
    p.kml.siteCol = kit::findColumn(base.headers, kit::siteNameCandidates());
    p.kml.lonCol = kit::findColumn(base.headers, kit::longitudeCandidates());
    p.kml.latCol = kit::findColumn(base.headers, kit::latitudeCandidates());
    p.kml.azimuthCol = kit::findColumn(base.headers, kit::azimuthCandidates());
    p.kml.opacityPercent = 60;
    ASSERT_TRUE(kit::checkSectors(true, p).ok());
    const std::vector<std::string> files{fixture("sites_utf8bom.csv"), fixture("sites_gbk.csv"),
                                         fixture("sites_utf16le.csv"), fixture("sites_utf16be.csv")};
    auto r = kit::runSectorBatch(files, p, dir.path(), nullptr);
    ASSERT_EQ(r.written, 4);
    const std::string first = withoutName(kit::test::readAll(kit::batchOutputPath(dir.path(), files[0])));
    for (const auto& f : files) {
        const std::string out = kit::batchOutputPath(dir.path(), f);
        EXPECT_EQ(withoutName(kit::test::readAll(out)), first) << f;
        expectReadable(out, 2 * static_cast<long>(base.rows.size()));
    }
}

TEST(KmlInterop, IconMapsOfWorkbooksAndNastyText) {
    if (!haveCommand("xmllint --version") && !haveCommand("ogrinfo --version")) GTEST_SKIP() << "no xmllint or ogrinfo";
    KmlScratch dir;
    const auto drive = read(fixture("drivetest.xlsx"));
    kit::IconMapParams p{kit::findColumn(drive.headers, kit::longitudeCandidates()),
                         kit::findColumn(drive.headers, kit::latitudeCandidates()), -1,
                         kit::iconUrl(kit::iconCatalog()[12])};
    ASSERT_TRUE(kit::runIconMapSingle(drive, p, dir.file("drive.kml")).outcome.ok());
    expectReadable(dir.file("drive.kml"), 600);

    auto nasty = kit::test::tableOf({"名<称>", "lon", "lat", "a&b"},
                                    {{"\"引号\" & <尖>", "116", "40", "x>y"}, {"p", "117", "41", "", "多"}}, "a&b <c>.csv");
    ASSERT_TRUE(kit::runIconMapSingle(nasty, {1, 2, 0, "http://h/a.png?x=1&y=2"}, dir.file("nasty.kml")).outcome.ok());
    expectReadable(dir.file("nasty.kml"), 2);
    kit::SectorRunParams s;
    s.kml = {0, 1, 2};
    ASSERT_TRUE(kit::runSectorSingle(nasty, s, dir.file("nasty_sectors.kml")).outcome.ok());
    expectReadable(dir.file("nasty_sectors.kml"), 4);
    kit::DriveTestParams d{1, 2, 1, {{0, 200, 255}}, 3};
    ASSERT_TRUE(kit::runDriveTestSingle(nasty, d, dir.file("nasty_drive.kml")).outcome.ok());
    expectReadable(dir.file("nasty_drive.kml"), 2);
}

#endif
