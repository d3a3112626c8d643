#include "calculators/roof_edge.h"

#include <cmath>
#include <numbers>

#include "calculators/field_number.h"
#include "core/format.h"

namespace kit {

RoofEdgeResult computeRoofEdge(const RoofEdgeInput& input) {
    RoofEdgeResult r;
    r.input = input;
    if (input.heightM <= 0 || input.distanceM <= 0) {
        r.text = "请输入有效的正数值";
        return r;
    }
    r.edgeAngleDeg = std::atan(input.heightM / input.distanceM) * 180.0 / std::numbers::pi;
    r.maxTiltDeg = r.edgeAngleDeg - input.beamDeg * 0.5;
    if (r.maxTiltDeg <= 0)
        r.text = format("最大下倾角: %.2f°\r\n注意：计算结果为负值，\r\n说明波束无法避开楼面反射。", r.maxTiltDeg);
    else
        r.text = format("最大下倾角: %.2f°\r\narctan(H/L) = %.2f°", r.maxTiltDeg, r.edgeAngleDeg);
    return r;
}

RoofEdgeResult runRoofEdge(std::string_view height, std::string_view distance, std::string_view beam) {
    return computeRoofEdge({readFieldDouble(height), readFieldDouble(distance), readFieldDouble(beam)});
}

}  // namespace kit
