#pragma once
// Looking things up in a computed drawing.
#include <string>
#include <vector>

#include "calculators/drawing.h"

namespace kit::testing {

inline std::vector<Polyline> linesIn(const Drawing& d, Colour colour) {
    std::vector<Polyline> out;
    for (const Primitive& p : d.items)
        if (auto* l = std::get_if<Polyline>(&p); l && l->colour == colour) out.push_back(*l);
    return out;
}

inline std::vector<Label> labelsIn(const Drawing& d) {
    std::vector<Label> out;
    for (const Primitive& p : d.items)
        if (auto* l = std::get_if<Label>(&p)) out.push_back(*l);
    return out;
}

inline const Label* findLabel(const Drawing& d, const std::string& text) {
    for (const Primitive& p : d.items)
        if (auto* l = std::get_if<Label>(&p); l && l->text == text) return l;
    return nullptr;
}

inline std::vector<Box> boxesIn(const Drawing& d) {
    std::vector<Box> out;
    for (const Primitive& p : d.items)
        if (auto* b = std::get_if<Box>(&p)) out.push_back(*b);
    return out;
}

}  // namespace kit::testing
