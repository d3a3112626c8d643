#pragma once
// The great-circle path between two stations sampled over elevation tiles:
// one sample per tile cell crossed (at least kTerrainSamples), the stations'
// ground heights read from the tiles too.
#include <optional>
#include <string>

#include "coverage/dem.h"
#include "coverage/terrain.h"

namespace kit {

struct DemPath {
    PathProfile profile;
    double ground0 = 0, ground1 = 0;
    std::string source;  // the tiles used, for the report
};

// Nothing when the tiles do not cover the whole path or a station stands on
// a void; why then says which tile was missing or unusable.
std::optional<DemPath> demPath(ElevationModel& dem, double lat0, double lon0, double lat1, double lon1,
                               std::string& why);

// The point a fraction f of the way along the great circle.
void greatCirclePoint(double lat0, double lon0, double lat1, double lon1, double f, double& lat, double& lon);

}  // namespace kit
