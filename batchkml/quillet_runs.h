#pragma once
// The single-file and batch runs of Quillet's three tabs, shared by the panels
// and quillet-cli so both write the same bytes. A panel reads its controls
// into a params struct, asks check...() for the warning to show, and runs;
// everything it shows afterwards (status text, message box) comes back here.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "batchkml/color_template.h"
#include "batchkml/column_roles.h"
#include "batchkml/sector_kml.h"
#include "core/outcome.h"

namespace kit {

struct DataTable;

// ---- Shared pieces ----

// Called before each batch file with "处理中 i/N..." (neutral colour).
using BatchProgress = std::function<void(const std::string& statusText)>;

struct SingleRunResult {
    // Success: the tab's success box text; Error: "无法保存KML文件".
    Outcome outcome;
    // stem + ".kml" (success colour) or "导出失败" (neutral colour).
    std::string statusText;
};

struct BatchRunResult {
    int written = 0;
    std::vector<std::string> unreadable;  // inputs that could not be read (skipped)
    std::vector<std::string> unwritable;  // outputs that could not be written
    std::string statusText;               // "已生成%d个KML" (success colour)
    std::string message;                  // "已成功生成 n 个KML文件" (success box)
};

// Reads a data file into a fresh table whose sourcePath is the path: XLSX by
// its ".xlsx" ending unless csvOnly, else CSV. False when unreadable.
bool readDataFile(const std::string& path, DataTable& table, bool csvOnly);

// fileStem(currentPath) + ".kml", or the fallback when no file was chosen.
std::string defaultKmlName(std::string_view currentPath, std::string_view fallback);
// folderOf(firstFile) + separator + "输出kml".
std::string proposedBatchFolder(std::string_view firstFile);
// Where a batch writes the KML of one input.
std::string batchOutputPath(std::string_view folder, std::string_view inputPath);

std::string batchChosenText(size_t files);     // "批量: %d个文件"
std::string batchProgressText(size_t i, size_t n);  // "处理中 %d/%d..." (i from 1)

// ---- Drive test ----

inline constexpr std::string_view kDriveTestExporting = "导出中...";
inline constexpr std::string_view kDriveTestDone = "KML文件导出成功";

struct DriveTestParams {
    int lonCol = -1;
    int latCol = -1;
    int valueCol = -1;
    std::vector<ColorRange> ranges;  // the working list
    double sizeMetres = 5;
};

// The size edit's text (31 characters at most) as metres; empty or
// unreadable text keeps 5.
double driveTestSizeFromText(std::string_view text);
// Success, or the warning the tab shows, in the tab's order.
Outcome checkDriveTest(bool dataLoaded, const DriveTestParams& p);
std::string driveTestDocument(const DataTable& table, const DriveTestParams& p);
SingleRunResult runDriveTestSingle(const DataTable& table, const DriveTestParams& p, const std::string& outPath);
BatchRunResult runDriveTestBatch(const std::vector<std::string>& files, const DriveTestParams& p,
                                 const std::string& outFolder, const BatchProgress& progress);

// ---- Sectors ----

inline constexpr std::string_view kGenerating = "生成中...";
inline constexpr std::string_view kSectorDone = "扇区KML已生成";

struct SectorRunParams {
    SectorKmlParams kml;
    // False when the editable combo holds neither a column nor a number.
    bool azimuthGiven = true;
    bool beamwidthGiven = true;
    bool radiusGiven = true;
};

// One editable combo's reading (kind >= 0: column; -1: fixed value; -2:
// nothing) into the writer's column/fixed pair. Returns whether it was given.
bool applyColumnOrValue(int kind, double value, int& col, double& fixed);
bool applyColumnOrValue(const ColumnOrValue& given, int& col, double& fixed);
// The LOD edit's text: empty gives 5, text that is not a number 0.
double lodKmFromText(std::string_view text);
std::string sectorsLoadedText(size_t rows);  // "%d 个基站加载"

Outcome checkSectors(bool dataLoaded, const SectorRunParams& p);
SingleRunResult runSectorSingle(const DataTable& table, const SectorRunParams& p, const std::string& outPath);
BatchRunResult runSectorBatch(const std::vector<std::string>& files, const SectorRunParams& p,
                              const std::string& outFolder, const BatchProgress& progress);

// ---- Icon map ----

inline constexpr std::string_view kIconMapDone = "KML已生成";

struct IconMapParams {
    int lonCol = -1;
    int latCol = -1;
    int idCol = -1;  // optional
    std::string iconUrl;
};

std::string defaultIconUrl();
std::string pointsLoadedText(size_t rows);  // "%d 个点位加载"

Outcome checkIconMap(bool dataLoaded, const IconMapParams& p);
SingleRunResult runIconMapSingle(const DataTable& table, const IconMapParams& p, const std::string& outPath);
BatchRunResult runIconMapBatch(const std::vector<std::string>& files, const IconMapParams& p,
                               const std::string& outFolder, const BatchProgress& progress);

}  // namespace kit
