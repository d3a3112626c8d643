#pragma once
// Line of sight between two stations over a terrain profile (elevation tiles,
// or a synthetic hill when none are at hand): first Fresnel zone clearance,
// diffraction loss, the mast height that clears the path, and the CSV report.
#include <cmath>
#include <string>
#include <vector>

namespace kit {

inline constexpr int kTerrainSamples = 100;
inline constexpr double kStationGroundM = 100.0;
// The standard atmosphere bends radio paths as if the Earth were 4/3 larger.
inline constexpr double kStandardEarthFactor = 4.0 / 3.0;

struct TerrainSample {
    double lon = 0, lat = 0;
    double distanceM = 0;
    double elevationM = 0;    // NaN where the elevation tiles hold no height (void)
    // The highest terrain over the stretch of path nearest the sample, which
    // may rise above the sample itself; NaN: the sample's own elevation.
    double crestM = NAN;
    double losHeightM = 0;    // above sea level, lowered by the Earth's bulge
    double fresnelRadiusM = 0;
    bool obstructed = false;  // terrain reaches into the inner 60 % of the first Fresnel zone
};

// The terrain the line of sight must pass at a sample.
inline double obstacleM(const TerrainSample& s) { return std::isnan(s.crestM) ? s.elevationM : s.crestM; }

struct LosResult {
    bool los = true;
    double clearanceRatio = 1;
    double knifeEdgeLossDb = 0;
    double maxTerrainM = -9999;
    double maxTerrainDistanceM = 0;
    std::vector<TerrainSample> samples;
    // Antenna heights above ground at the second station, the first's kept,
    // that clear all terrain and the inner 60 % of the first Fresnel zone.
    double clearTerrainHeightM = 0;
    double clearFresnelHeightM = 0;
    double earthFactor = 1;     // k of the effective Earth radius
    std::string terrainSource;  // the report's "Terrain:" line
};

// A path sampled at equal steps, first and last samples at the stations.
struct PathProfile {
    std::vector<double> lat, lon, elevationM;  // elevation NaN where void
    double totalM = 0;
    // 0: the elevations already bend with the Earth (the synthetic hill);
    // otherwise the effective radius factor k applied to the line of sight.
    double earthFactor = 0;
    // Empty, or one a sample: the highest terrain between the midpoints to
    // the neighbouring samples (NaN where all of it is void).
    std::vector<double> crestM{};
};

struct PathEnds {
    double ground0 = 0, ground1 = 0, height0 = 0, height1 = 0;
};

// A bell-shaped hill of 80 m over 100 m ground, peaking at sample count/2,
// lowered by the Earth's curvature along a path of pathKm.
std::vector<double> hillProfile(double pathKm, int count);

double fresnelRadiusM(double d1M, double d2M, double totalM, double frequencyMhz);
double clearanceRatio(double losHeightM, double elevationM, double fresnelRadiusM);

LosResult analysePath(const PathProfile& profile, const PathEnds& ends, double frequencyMhz);
// The synthetic hill's path: positions linear between the stations.
LosResult analyseLos(double lat0, double lon0, double ground0, double lat1, double lon1, double ground1,
                     double height0, double height1, double frequencyMhz, const std::vector<double>& terrain);

// Loss of one knife edge standing obstacleM above the line of sight, d1M and
// d2M from the two ends (Lee's piecewise approximation).
double diffractionLossDb(double obstacleM, double d1M, double d2M, double frequencyMhz);
// The single knife-edge loss J(nu) of ITU-R P.526; 0 for nu <= -0.78.
double knifeEdgeJ(double nu);
// Diffraction loss of the whole path by Bullington's construction: one
// equivalent edge where the steepest rays from the two ends over the terrain
// meet, or the most intruding sample when the ends see each other.
double knifeEdgeLossDb(const std::vector<TerrainSample>& samples, double frequencyMhz);

std::string writeTerrainReport(const LosResult& result);

}  // namespace kit
