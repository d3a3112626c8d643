#include "coverage/propagation.h"

#include <algorithm>
#include <cmath>

namespace kit {

namespace {

// Mobile antenna height correction of the Hata family (small and medium city).
double mobileCorrection(double logF, double hm) { return (1.1 * logF - 0.7) * hm - (1.56 * logF - 0.8); }

}  // namespace

LinkParams makeLinkParams(double frequencyMhz) {
    LinkParams p;
    p.frequencyMhz = frequencyMhz;
    return p;
}

double pathLossFspl(double distanceKm, double frequencyMhz) {
    // A frequency <= 0 has no loss to speak of; runs refuse it before.
    if (distanceKm <= 0 || frequencyMhz <= 0) return 0;
    return 32.44 + 20 * std::log10(frequencyMhz) + 20 * std::log10(distanceKm);
}

double pathLossHata(double distanceKm, double frequencyMhz, double txHeightM, double rxHeightM, int environment) {
    double d = distanceKm <= 0 ? 0.001 : distanceKm;
    d = std::max(d, 0.01);
    // The formula is only evaluated inside its range of validity.
    const double f = std::clamp(frequencyMhz, 150.0, 1500.0);
    const double hb = std::clamp(txHeightM, 30.0, 200.0);
    const double hm = std::clamp(rxHeightM, 1.0, 10.0);
    const double logF = std::log10(f), logHb = std::log10(hb);
    double loss = 69.55 + 26.16 * logF - 13.82 * logHb - mobileCorrection(logF, hm) +
                  (44.9 - 6.55 * logHb) * std::log10(d);
    if (environment == kSuburban) {
        double l = std::log10(f / 28);
        loss -= 2 * l * l + 5.4;
    } else if (environment == kRural || environment == kOpen) {
        loss -= 4.78 * logF * logF - 18.33 * logF + 40.94;
    }
    return loss;
}

double pathLossCost231(double distanceKm, double frequencyMhz, double txHeightM, double rxHeightM) {
    const double d = distanceKm <= 0 ? 0.01 : distanceKm;
    const double f = std::clamp(frequencyMhz, 1500.0, 2000.0);
    const double hb = std::clamp(txHeightM, 30.0, 200.0);
    const double hm = std::clamp(rxHeightM, 1.0, 10.0);
    const double logF = std::log10(f), logHb = std::log10(hb);
    return 46.3 + 33.9 * logF - 13.82 * logHb - mobileCorrection(logF, hm) + (44.9 - 6.55 * logHb) * std::log10(d);
}

double pathLossShortRange(double distanceM, double frequencyMhz, int environment) {
    const double dm = distanceM <= 0 ? 1.0 : distanceM;
    const double base = 23.9 + 18.5 * std::log10(dm / 1000) + 20 * std::log10(frequencyMhz);
    if (dm < 100) return base;
    double k, c;
    switch (environment) {
        case kUrban: k = 20, c = 25; break;
        case kSuburban: k = 18, c = 20; break;
        case kRural: k = 15, c = 15; break;
        default: k = 12, c = 10; break;
    }
    const double u = std::log10(dm / 100);
    return base + std::max(0.0, u * (k * u + c));
}

double pathLoss(double distanceKm, const LinkParams& p) {
    if (distanceKm <= 0) return 0;
    const double f = p.frequencyMhz;
    switch (p.model) {
        case PathModel::FreeSpace: return pathLossFspl(distanceKm, f);
        case PathModel::OkumuraHata: return pathLossHata(distanceKm, f, p.txHeightM, p.rxHeightM, p.environment);
        case PathModel::Cost231: return pathLossCost231(distanceKm, f, p.txHeightM, p.rxHeightM);
        case PathModel::Automatic: break;
    }
    if (f < 1500) return pathLossHata(distanceKm, f, p.txHeightM, p.rxHeightM, p.environment);
    if (f <= 2000) {
        if (distanceKm < 1) return pathLossShortRange(distanceKm * 1000, f, p.environment);
        return pathLossCost231(distanceKm, f, p.txHeightM, p.rxHeightM);
    }
    return pathLossFspl(distanceKm, f);
}

double receivedPowerDbm(double pathLossDb, const LinkParams& p) {
    return p.txPowerDbm + p.txGainDb + p.rxGainDb - p.feederLossDb - pathLossDb;
}

double solveCellRadiusKm(double thresholdDbm, const LinkParams& params, double toleranceKm) {
    double lo = 0.01, hi = 100.0;
    // The cap ends the search where a tolerance of zero or below would never
    // be met; 64 halvings exhaust a double's precision over this interval.
    for (int i = 0; i < 64 && hi - lo > toleranceKm; ++i) {
        const double mid = (lo + hi) / 2;
        if (receivedPowerDbm(pathLoss(mid, params), params) >= thresholdDbm)
            lo = mid;
        else
            hi = mid;
    }
    return (lo + hi) / 2;
}

}  // namespace kit
