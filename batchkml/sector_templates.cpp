#include "batchkml/sector_templates.h"

#include "batchkml/template_scan.h"
#include "batchkml/named_templates.h"
#include "core/file_io.h"
#include "core/format.h"

namespace kit {

using namespace tmplscan;

namespace {

void textLine(std::string& out, std::string_view key, std::string_view value) {
    out += "    \"";
    out += key;
    out += "\": ";
    appendQuoted(out, value);
    out += ",\n";
}

bool lodEnabledIn(std::string_view text, const ObjectSpan& obj) {
    size_t pos = findKeyColon(text, "lodEnabled", obj.open, obj.close);
    if (pos == std::string_view::npos) return false;
    // Both searches stay inside the object, so a scan stays linear.
    std::string_view rest = text.substr(pos, obj.close - pos);
    return rest.substr(0, rest.find(',')).find("true") != std::string_view::npos;
}

}  // namespace

std::string sectorTemplatesPath(std::string_view exeFolder) {
    return exeFolder.empty() ? std::string("sector_templates.json") : joinPath(exeFolder, "sector_templates.json");
}

std::string formatSectorTemplates(const std::vector<SectorTemplate>& list) {
    std::string out(kUtf8Bom);
    out += "[\n";
    for (size_t i = 0; i < list.size(); ++i) {
        const SectorTemplate& t = list[i];
        out += "  {\n";
        textLine(out, "name", t.name);
        textLine(out, "siteCol", t.siteCol);
        textLine(out, "lonCol", t.lonCol);
        textLine(out, "latCol", t.latCol);
        textLine(out, "azimuthCol", t.azimuthCol);
        textLine(out, "beamwidthCol", t.beamwidthCol);
        textLine(out, "radiusCol", t.radiusCol);
        textLine(out, "azimuthFixed", t.azimuthFixed);
        textLine(out, "beamwidthFixed", t.beamwidthFixed);
        textLine(out, "radiusFixed", t.radiusFixed);
        out += "    \"color\": ";
        appendInt(out, t.color);
        out += ",\n    \"opacity\": ";
        appendInt(out, t.opacity);
        out += ",\n    \"lodEnabled\": ";
        out += t.lodEnabled ? "true" : "false";
        out += ",\n    \"lodKm\": ";
        appendFixed(out, t.lodKm, 6);
        out += i + 1 < list.size() ? "\n  },\n" : "\n  }\n";
    }
    out += "]\n";
    return out;
}

std::vector<SectorTemplate> parseSectorTemplates(std::string_view text) {
    text = dropBom(text);
    std::vector<SectorTemplate> list;
    // Counted first: growing by doubling would hold up to three times the list.
    list.reserve(countObjectsWithKey(text, "name"));
    for (ObjectSpan obj = nextFlatObject(text, 0); obj.open < text.size(); obj = nextFlatObject(text, afterObject(obj))) {
        // Every template this program writes has a "name" key; an object
        // without one (a stray "{}") could only show as a blank line in the
        // list, and keeping each cost a whole template per two bytes of file.
        if (!objectHasKey(text, obj, "name")) continue;
        SectorTemplate t;
        t.name = objectText(text, obj, "name");
        t.siteCol = objectText(text, obj, "siteCol");
        t.lonCol = objectText(text, obj, "lonCol");
        t.latCol = objectText(text, obj, "latCol");
        t.azimuthCol = objectText(text, obj, "azimuthCol");
        t.beamwidthCol = objectText(text, obj, "beamwidthCol");
        t.radiusCol = objectText(text, obj, "radiusCol");
        t.azimuthFixed = objectText(text, obj, "azimuthFixed");
        t.beamwidthFixed = objectText(text, obj, "beamwidthFixed");
        t.radiusFixed = objectText(text, obj, "radiusFixed");
        t.color = truncToInt64(objectNumber(text, obj, "color"));
        t.opacity = truncToInt64(objectNumber(text, obj, "opacity"));
        t.lodEnabled = lodEnabledIn(text, obj);
        t.lodKm = objectNumber(text, obj, "lodKm");
        list.push_back(std::move(t));
    }
    return list;
}

std::vector<SectorTemplate> loadSectorTemplates(const std::string& path) {
    auto bytes = readFileBytes(path);
    if (!bytes) return {};
    return parseSectorTemplates(*bytes);
}

bool saveSectorTemplates(const std::string& path, const std::vector<SectorTemplate>& list) {
    return writeFileBytes(path, formatSectorTemplates(list));
}

int storeSectorTemplate(std::vector<SectorTemplate>& list, SectorTemplate t) { return storeByName(list, std::move(t)); }

}  // namespace kit
