#pragma once
// Line of sight between two stations over a synthetic terrain profile: first
// Fresnel zone clearance and knife-edge diffraction loss, and the CSV report.
#include <string>
#include <vector>

namespace kit {

inline constexpr int kTerrainSamples = 100;
inline constexpr double kStationGroundM = 100.0;

struct TerrainSample {
    double lon = 0, lat = 0;
    double distanceM = 0;
    double elevationM = 0;
    double losHeightM = 0;
    double fresnelRadiusM = 0;
    bool obstructed = false;  // terrain reaches into the inner 60 % of the first Fresnel zone
};

struct LosResult {
    bool los = true;
    double clearanceRatio = 1;
    double knifeEdgeLossDb = 0;
    double maxTerrainM = -9999;
    double maxTerrainDistanceM = 0;
    std::vector<TerrainSample> samples;
};

// A bell-shaped hill of 80 m over 100 m ground, peaking at sample count/2,
// lowered by the Earth's curvature along a path of pathKm.
std::vector<double> hillProfile(double pathKm, int count);

double fresnelRadiusM(double d1M, double d2M, double totalM, double frequencyMhz);
double clearanceRatio(double losHeightM, double elevationM, double fresnelRadiusM);

LosResult analyseLos(double lat0, double lon0, double ground0, double lat1, double lon1, double ground1,
                     double height0, double height1, double frequencyMhz, const std::vector<double>& terrain);

// Loss of one knife edge standing obstacleM above the line of sight, d1M and
// d2M from the two ends (Lee's piecewise approximation).
double diffractionLossDb(double obstacleM, double d1M, double d2M, double frequencyMhz);
// The main edge's loss plus, for every further obstructing sample, what it
// adds beyond 6 dB.
double knifeEdgeLossDb(const std::vector<TerrainSample>& samples, double frequencyMhz);

std::string writeTerrainReport(const LosResult& result);

}  // namespace kit
