#include "calculators/downtilt.h"

#include <cmath>
#include <numbers>

#include "calculators/field_number.h"
#include "core/format.h"

namespace kit {

namespace {

constexpr double kRad = std::numbers::pi / 180.0;

// Distance at which a ray of the given downward angle from height h meets the
// ground, or the marker when the ray is level or points upwards.
double groundDistance(double heightM, double angleRad, double marker) {
    return angleRad > kMinDownAngleRad ? heightM / std::tan(angleRad) : marker;
}

}  // namespace

DowntiltResult computeDowntilt(const DowntiltInput& input) {
    DowntiltResult r;
    r.input = input;
    double theta = r.tiltDeg() * kRad;
    double half = r.halfBeamDeg() * kRad;
    r.mainM = groundDistance(input.heightM, theta, kBeyondHorizonM);
    r.nearM = groundDistance(input.heightM, theta + half, 0);
    r.farM = groundDistance(input.heightM, theta - half, kBeyondHorizonM);

    double thetaDeg = r.tiltDeg();
    if (thetaDeg <= 0) {
        r.text = format("合成倾角: %.1f°\r\n请输入正的下倾角", thetaDeg);
    } else if (r.farM < kBeyondHorizonM) {
        r.text = format("合成倾角: %.1f°  (3dB角: %.1f°)\r\n覆盖距离: %.0fm ~ %.0fm\r\n3dB点: %.0fm", thetaDeg,
                        r.halfBeamDeg(), r.nearM, r.farM, r.mainM);
    } else {
        r.text = format("合成倾角: %.1f°  (3dB角: %.1f°)\r\n覆盖距离: %.0fm ~ 超水平线\r\n3dB点: %.0fm", thetaDeg,
                        r.halfBeamDeg(), r.nearM, r.mainM);
    }
    return r;
}

DowntiltResult runDowntilt(std::string_view height, std::string_view mechanical, std::string_view electrical,
                           std::string_view beam) {
    return computeDowntilt({readFieldDouble(height), readFieldDouble(mechanical), readFieldDouble(electrical),
                            readFieldDouble(beam)});
}

}  // namespace kit
