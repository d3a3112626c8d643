#pragma once
// The coverage tab's run, shared by the panel and the CLI: the station table,
// the column choices and the field texts in; the file bytes to write (or the
// tab's warning) out. Also the tab's lists, proposed file names and filters,
// so the panel holds no data of its own.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/lonlat_columns.h"
#include "core/outcome.h"
#include "core/table.h"

namespace kit {

enum CoverageMode { kModeDensity = 0, kModePrediction = 1, kModeBudget = 2, kModeTerrain = 3 };

// One entry of the save dialog's file-type list.
struct SaveFileType {
    const char* name;
    const char* pattern;
};

struct CoverageModeInfo {
    const char* item;          // the mode list's text
    const char* proposedName;  // the save dialog's file name
    std::array<SaveFileType, 2> filters;
};

inline constexpr std::array<CoverageModeInfo, 4> kCoverageModes{{
    {"H3密度分析", "h3_density.geojson", {{{"GeoJSON", "*.geojson"}, {"所有文件", "*.*"}}}},
    {"覆盖预测", "coverage_prediction.geojson", {{{"GeoJSON", "*.geojson"}, {"所有文件", "*.*"}}}},
    // Named after the mode, although it holds the per-station link budget.
    {"LOS分析", "los_analysis.csv", {{{"CSV", "*.csv"}, {"所有文件", "*.*"}}}},
    {"地形剖面", "terrain_profile.csv", {{{"CSV", "*.csv"}, {"所有文件", "*.*"}}}},
}};

inline constexpr const char* kSaveResultTitle = "保存分析结果";

inline constexpr std::array<const char*, 4> kModelItems{"自动选择", "FSPL", "Okumura-Hata", "COST-231"};
inline constexpr std::array<const char*, 4> kEnvironmentItems{"城市", "郊区", "农村", "开阔"};
inline constexpr std::array<const char*, 5> kLevelItems{"3(~60km)", "5(~8km)", "7(~1.2km)", "9(~170m)", "11(~25m)"};
inline constexpr int kDefaultLevelItem = 2;

// Which parameter rows a mode shows (mode, longitude and latitude always are).
struct CoverageRows {
    bool frequency, power, height, model, environment, level;
};
CoverageRows rowsForMode(int mode);

// Level item 0..4 -> resolution 3, 5, 7, 9, 11; no selection -> 7.
int resolutionForLevelItem(int item);

inline constexpr const char* kCoverageHelpTitle = "覆盖分析使用说明";
extern const char* const kCoverageHelpText;

struct CoverageRequest {
    int mode = kModeDensity;  // mode list index; -1 when nothing is selected
    std::string frequencyText = "1800";
    std::string powerText = "43";
    std::string heightText = "30";
    int modelItem = 0;        // model list index; -1 reads as automatic
    int environmentItem = 0;  // environment list index; anything else is urban
    int resolution = 7;       // density mode only; clamped into 0..12
    // Terrain mode: the folder of SRTM tiles (UTF-8); empty or without tiles
    // for the whole path, the synthetic hill.
    std::string demFolder;
};

// The folder of elevation tiles beside a program in programFolder.
std::string demFolderBeside(const std::string& programFolder);

// On success the outcome's text is the file's bytes (8-bit text, no
// byte-order mark) and its message the success text up to the saved path:
// the front end shows message + path once the file is written. table is null
// until a fetch has succeeded.
Outcome runCoverage(const Table* table, const LonLatColumns& columns, const CoverageRequest& request);

}  // namespace kit
