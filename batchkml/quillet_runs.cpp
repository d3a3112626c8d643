#include "batchkml/quillet_runs.h"

#include <cmath>

#include "batchkml/csv_reader.h"
#include "batchkml/data_table.h"
#include "batchkml/drivetest_kml.h"
#include "batchkml/icon_catalog.h"
#include "batchkml/iconmap_kml.h"
#include "batchkml/kml_text.h"
#include "batchkml/table_reader.h"
#include "core/file_io.h"
#include "core/format.h"
#include "core/number_parse.h"
#include "core/text.h"

namespace kit {

namespace {

constexpr std::string_view kCannotSave = "无法保存KML文件";
constexpr std::string_view kExportFailed = "导出失败";

// An edit's text as the tab reads it through a 32-character buffer.
std::optional<double> editNumber(std::string_view text) {
    auto v = parseLeadingDouble(utf16Prefix(text, 31));
    if (v && !std::isfinite(*v)) return std::nullopt;
    return v;
}

SingleRunResult singleResult(bool written, const std::string& outPath, std::string_view doneMessage) {
    if (!written) return {Outcome::error(std::string(kCannotSave)), std::string(kExportFailed)};
    return {Outcome::success(std::string(doneMessage), {}), fileStem(outPath) + ".kml"};
}

// Each document goes to its file in pieces: a long drive or site list makes
// a file of hundreds of megabytes.
bool writeDriveTestFile(const std::string& path, const DataTable& table, const DriveTestParams& p) {
    const ColorTemplate current{std::string(kWorkingTemplateName), p.ranges};
    return writeTextFileUtf8(path, [&](const TextSink& sink) {
        return writeDriveTestKml(table, p.lonCol, p.latCol, p.valueCol, current, p.sizeMetres, sink);
    });
}

bool writeSectorFile(const std::string& path, const DataTable& table, const SectorRunParams& p) {
    return writeTextFileUtf8(path, [&](const TextSink& sink) { return writeSectorKml(table.sourcePath, table, p.kml, sink); });
}

bool writeIconMapFile(const std::string& path, const DataTable& table, const IconMapParams& p) {
    return writeTextFileUtf8(path, [&](const TextSink& sink) {
        return writeIconMapKml(table.sourcePath, table, p.lonCol, p.latCol, p.idCol, p.iconUrl, sink);
    });
}

// write(path, table) -> whether the file was written.
template <typename Write>
BatchRunResult runBatch(const std::vector<std::string>& files, const std::string& outFolder, bool csvOnly,
                        const BatchProgress& progress, Write write) {
    BatchRunResult result;
    createDirectories(outFolder);  // an existing folder is fine; a failure shows up as unwritten files
    for (size_t i = 0; i < files.size(); ++i) {
        if (progress) progress(batchProgressText(i + 1, files.size()));
        DataTable table;
        if (!readDataFile(files[i], table, csvOnly)) {
            result.unreadable.push_back(files[i]);
            continue;
        }
        const std::string out = batchOutputPath(outFolder, files[i]);
        if (write(out, table))
            ++result.written;
        else
            result.unwritable.push_back(out);
    }
    result.statusText = format("已生成%d个KML", result.written);
    result.message = format("已成功生成 %d 个KML文件", result.written);
    return result;
}

}  // namespace

bool readDataFile(const std::string& path, DataTable& table, bool csvOnly) {
    table = DataTable{};
    bool ok = csvOnly ? readCsv(path, table) : readDataTable(path, table);
    if (ok) table.sourcePath = path;
    return ok;
}

std::string defaultKmlName(std::string_view currentPath, std::string_view fallback) {
    return currentPath.empty() ? std::string(fallback) : fileStem(currentPath) + ".kml";
}

std::string proposedBatchFolder(std::string_view firstFile) { return joinPath(folderOf(firstFile), "输出kml"); }

std::string batchOutputPath(std::string_view folder, std::string_view inputPath) {
    return joinPath(folder, fileStem(inputPath) + ".kml");
}

std::string batchChosenText(size_t files) { return format("批量: %zu个文件", files); }
std::string batchProgressText(size_t i, size_t n) { return format("处理中 %zu/%zu...", i, n); }

// ---- Drive test ----

double driveTestSizeFromText(std::string_view text) { return editNumber(text).value_or(5); }

Outcome checkDriveTest(bool dataLoaded, const DriveTestParams& p) {
    if (!dataLoaded) return Outcome::warning("请先导入CSV文件");
    if (p.lonCol < 0 || p.latCol < 0 || p.valueCol < 0) return Outcome::warning("请选择经度、纬度和电平列");
    if (p.ranges.empty()) return Outcome::warning("请至少添加一个模板范围");
    return Outcome::success({}, {});
}

std::string driveTestDocument(const DataTable& table, const DriveTestParams& p) {
    const ColorTemplate current{std::string(kWorkingTemplateName), p.ranges};
    return writeDriveTestKml(table, p.lonCol, p.latCol, p.valueCol, current, p.sizeMetres);
}

SingleRunResult runDriveTestSingle(const DataTable& table, const DriveTestParams& p, const std::string& outPath) {
    return singleResult(writeDriveTestFile(outPath, table, p), outPath, kDriveTestDone);
}

BatchRunResult runDriveTestBatch(const std::vector<std::string>& files, const DriveTestParams& p,
                                 const std::string& outFolder, const BatchProgress& progress) {
    return runBatch(files, outFolder, false, progress,
                    [&](const std::string& out, const DataTable& t) { return writeDriveTestFile(out, t, p); });
}

// ---- Sectors ----

bool applyColumnOrValue(int kind, double value, int& col, double& fixed) {
    if (kind >= 0) {
        col = kind;
        return true;
    }
    col = -1;
    if (kind == kFixedValue) {
        fixed = value;
        return true;
    }
    return false;
}

bool applyColumnOrValue(const ColumnOrValue& given, int& col, double& fixed) {
    return applyColumnOrValue(given.kind, given.value, col, fixed);
}

double lodKmFromText(std::string_view text) {
    if (text.empty()) return 5;
    return editNumber(text).value_or(0);
}

std::string sectorsLoadedText(size_t rows) { return format("%zu 个基站加载", rows); }

Outcome checkSectors(bool dataLoaded, const SectorRunParams& p) {
    if (!dataLoaded) return Outcome::warning("请先导入基站CSV文件");
    if (p.kml.lonCol < 0 || p.kml.latCol < 0) return Outcome::warning("请选择经度和纬度列");
    if (!p.azimuthGiven) return Outcome::warning("请选择方位角列或输入固定值");
    if (!p.beamwidthGiven) return Outcome::warning("请选择波宽列或输入固定值");
    if (!p.radiusGiven) return Outcome::warning("请输入半径值");
    return Outcome::success({}, {});
}

SingleRunResult runSectorSingle(const DataTable& table, const SectorRunParams& p, const std::string& outPath) {
    return singleResult(writeSectorFile(outPath, table, p), outPath, kSectorDone);
}

BatchRunResult runSectorBatch(const std::vector<std::string>& files, const SectorRunParams& p,
                              const std::string& outFolder, const BatchProgress& progress) {
    return runBatch(files, outFolder, true, progress,
                    [&](const std::string& out, const DataTable& t) { return writeSectorFile(out, t, p); });
}

// ---- Icon map ----

std::string defaultIconUrl() { return iconUrl(iconCatalog()[kDefaultIcon]); }

std::string pointsLoadedText(size_t rows) { return format("%zu 个点位加载", rows); }

Outcome checkIconMap(bool dataLoaded, const IconMapParams& p) {
    if (!dataLoaded) return Outcome::warning("请先导入数据文件");
    if (p.lonCol < 0 || p.latCol < 0) return Outcome::warning("请选择经度和纬度列");
    return Outcome::success({}, {});
}

SingleRunResult runIconMapSingle(const DataTable& table, const IconMapParams& p, const std::string& outPath) {
    return singleResult(writeIconMapFile(outPath, table, p), outPath, kIconMapDone);
}

BatchRunResult runIconMapBatch(const std::vector<std::string>& files, const IconMapParams& p,
                               const std::string& outFolder, const BatchProgress& progress) {
    return runBatch(files, outFolder, false, progress,
                    [&](const std::string& out, const DataTable& t) { return writeIconMapFile(out, t, p); });
}

}  // namespace kit
