#include "coverage/coverage_run.h"

#include <cmath>
#include <vector>

#include "core/columns.h"
#include "core/edit_text.h"
#include "core/file_io.h"
#include "core/geodesy.h"
#include "core/number_parse.h"
#include "coverage/dem_path.h"
#include "coverage/density.h"
#include "coverage/prediction.h"
#include "coverage/terrain.h"

namespace kit {

const char* const kCoverageHelpText =
    "覆盖分析引擎 - 技术深度模块\n"
    "\n"
    "功能说明：\n"
    "1. H3密度分析 - 六边形网格索引，基站空间聚类\n"
    "2. 覆盖预测 - Okumura-Hata/COST-231/FSPL传播模型\n"
    "3. LOS分析 - 视距判断与路径损耗计算\n"
    "4. 地形剖面 - Fresnel区分析+刀刃绕射损耗\n"
    "\n"
    "参数说明：\n"
    "频率(MHz): 150-2000 (自动选择模型)\n"
    "发射功率(dBm): 默认43dBm=20W\n"
    "天线高度(m): 发射端高度，默认30m\n"
    "环境类型: 影响传播模型参数\n"
    "H3分辨率: 3-12级，越高格子越小\n"
    "\n"
    "地形数据: 程序旁 dem 文件夹中的 SRTM 高程瓦片\n"
    "(N39E116.hgt 或 N39E116.hgt.zip，1″或3″)，\n"
    "无瓦片覆盖全路径时使用模拟山丘";

namespace {

constexpr const char* kNoData = "请先获取数据";
constexpr const char* kNoColumns = "请选择经度列和纬度列";
constexpr const char* kNoMode = "请选择分析模式";
constexpr const char* kTooFewStations = "LOS地形分析至少需要2个站点";
constexpr const char* kNotFinite = "频率、功率和高度必须是有效数值";
constexpr const char* kFsplFrequency = "FSPL模型要求频率大于0";
constexpr const char* kSavedPrefix = "分析完成！\n文件已保存到：";

PathModel modelForItem(int item) {
    switch (item) {
        case 1: return PathModel::FreeSpace;
        case 2: return PathModel::OkumuraHata;
        case 3: return PathModel::Cost231;
        default: return PathModel::Automatic;
    }
}

std::vector<LonLat> readStations(const Table& t, const LonLatColumns& c) {
    const ColumnRef lon = t.column(*c.lon), lat = t.column(*c.lat);
    std::vector<LonLat> stations(t.rowCount());
    for (size_t r = 0; r < stations.size(); ++r)
        stations[r] = {toNumberOr(t.cellOr(r, lon, "0"), 0), toNumberOr(t.cellOr(r, lat, "0"), 0)};
    return stations;
}

std::string terrainReport(const std::vector<LonLat>& s, const LinkParams& p, const std::string& demFolder) {
    const LonLat a = s[0], b = s[1];
    std::string why = "no elevation tiles";
    if (!demFolder.empty()) {
        ElevationModel dem(demFolder);
        if (auto path = demPath(dem, a.lat, a.lon, b.lat, b.lon, why)) {
            LosResult r = analysePath(path->profile, {path->ground0, path->ground1, p.txHeightM, p.rxHeightM},
                                      p.frequencyMhz);
            r.terrainSource = path->source;
            return writeTerrainReport(r);
        }
    }
    const double metres = haversineDistance(a.lat, a.lon, b.lat, b.lon);
    std::vector<double> terrain = hillProfile(metres / 1000, kTerrainSamples);
    LosResult r = analyseLos(a.lat, a.lon, kStationGroundM, b.lat, b.lon, kStationGroundM, p.txHeightM, p.rxHeightM,
                             p.frequencyMhz, terrain);
    r.terrainSource = "synthetic hill (" + why + ")";
    return writeTerrainReport(r);
}

}  // namespace

std::string demFolderBeside(const std::string& programFolder) {
    return programFolder.empty() ? std::string("dem") : joinPath(programFolder, "dem");
}

CoverageRows rowsForMode(int mode) {
    switch (mode) {
        case kModeDensity: return {false, false, false, false, false, true};
        case kModeTerrain: return {true, false, true, false, false, false};
        default: return {true, true, true, true, true, false};
    }
}

int resolutionForLevelItem(int item) {
    if (item < 0 || item >= static_cast<int>(kLevelItems.size())) return 7;
    return 2 * item + 3;
}

Outcome runCoverage(const Table* table, const LonLatColumns& columns, const CoverageRequest& req) {
    if (!table || table->empty()) return Outcome::warning(kNoData);
    if (!columns.lon || !columns.lat) return Outcome::warning(kNoColumns);
    if (req.mode < kModeDensity || req.mode > kModeTerrain) return Outcome::warning(kNoMode);

    const double frequency = editNumberOr(req.frequencyText, 1800);
    const double power = editNumberOr(req.powerText, 43);
    const double height = editNumberOr(req.heightText, 30);
    LinkParams params = makeLinkParams(frequency);
    params.txHeightM = height;
    params.txPowerDbm = power;
    params.environment = req.environmentItem >= kUrban && req.environmentItem <= kOpen ? req.environmentItem : kUrban;
    params.model = modelForItem(req.modelItem);

    const std::vector<LonLat> stations = readStations(*table, columns);
    std::string text;
    if (req.mode == kModeDensity) {
        std::vector<CellCount> cells = aggregateDensity(stations, req.resolution);
        std::vector<CellId> ids(cells.size());
        std::vector<double> counts(cells.size());
        for (size_t i = 0; i < cells.size(); ++i) {
            ids[i] = cells[i].id;
            counts[i] = cells[i].count;
        }
        text = writeDensityGeoJson(ids, counts);
    } else {
        // "nan" or "inf" typed into a box would otherwise be written into the
        // file as numbers no reader accepts.
        const bool usesPower = req.mode != kModeTerrain;
        if (!std::isfinite(frequency) || !std::isfinite(height) || (usesPower && !std::isfinite(power)))
            return Outcome::warning(kNotFinite);
        if (req.mode == kModeTerrain) {
            if (stations.size() < 2) return Outcome::warning(kTooFewStations);
            text = terrainReport(stations, params, req.demFolder);
        } else {
            // Free space takes the logarithm of the frequency unclamped.
            if (params.model == PathModel::FreeSpace && frequency <= 0) return Outcome::warning(kFsplFrequency);
            text = req.mode == kModePrediction ? writeCoverageGeoJson(stations, params)
                                               : writeStationBudgetCsv(stations, params);
        }
    }
    return Outcome::success(kSavedPrefix, std::move(text));
}

}  // namespace kit
