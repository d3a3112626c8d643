#pragma once
// Path-loss models, the received power of a link and the cell radius where it
// falls to a threshold. Distances in km (the short-range model alone takes
// metres), frequencies in MHz, heights in m, powers in dBm, losses in dB.
namespace kit {

enum Environment { kUrban = 0, kSuburban = 1, kRural = 2, kOpen = 3 };

// Which model a run uses: the automatic choice by frequency and distance, or
// one model forced for every distance.
enum class PathModel { Automatic, FreeSpace, OkumuraHata, Cost231 };

struct LinkParams {
    double frequencyMhz = 1800;
    double txHeightM = 30.0;
    double rxHeightM = 1.5;
    double txPowerDbm = 43.0;
    double txGainDb = 15.0;
    double rxGainDb = 0.0;
    double feederLossDb = 2.0;
    int environment = kUrban;
    PathModel model = PathModel::Automatic;
};

LinkParams makeLinkParams(double frequencyMhz);

double pathLossFspl(double distanceKm, double frequencyMhz);
double pathLossHata(double distanceKm, double frequencyMhz, double txHeightM, double rxHeightM, int environment);
double pathLossCost231(double distanceKm, double frequencyMhz, double txHeightM, double rxHeightM);
double pathLossShortRange(double distanceM, double frequencyMhz, int environment);

// The model of params.model at this distance (0 for a distance <= 0). The
// automatic choice: below 1500 MHz Okumura-Hata; 1500..2000 MHz the
// short-range model under 1 km and COST-231 from 1 km on; above 2000 MHz
// free space.
double pathLoss(double distanceKm, const LinkParams& params);

double receivedPowerDbm(double pathLossDb, const LinkParams& params);

// Bisection over 0.01..100 km for the distance where the received power falls
// below the threshold (a power exactly at it counts as covered).
double solveCellRadiusKm(double thresholdDbm, const LinkParams& params, double toleranceKm);

}  // namespace kit
