#include "batchkml/iconmap_kml.h"

#include <algorithm>
#include <cmath>

#include "batchkml/data_table.h"
#include "batchkml/kml_text.h"
#include "batchkml/template_scan.h"
#include "batchkml/named_templates.h"
#include "core/file_io.h"
#include "core/format.h"
#include "core/number_parse.h"

namespace kit {

using namespace tmplscan;

namespace {

double coordinate(std::string_view cell) {
    auto v = parseLeadingDouble(cell);
    return v && std::isfinite(*v) ? *v : 0;
}

}  // namespace

bool writeIconMapKml(std::string_view sourcePath, const DataTable& table, int lonCol, int latCol, int idCol,
                     std::string_view iconUrl, const TextSink& sink) {
    KmlPieces pieces(sink);
    std::string& out = pieces.text();
    appendKmlHead(out, sourcePath);
    out += "  <Style id=\"defaultIcon\">\n    <IconStyle>\n      <Icon><href>";
    appendXmlEscaped(out, iconUrl);
    out += "</href></Icon>\n      <scale>1.0</scale>\n    </IconStyle>\n"
           "    <LabelStyle><scale>0.9</scale></LabelStyle>\n  </Style>\n";
    size_t n = 0;
    for (const auto& row : table.rows) {
        ++n;  // skipped rows use up their number too
        const auto lonCell = cellAt(row, lonCol);
        const auto latCell = cellAt(row, latCol);
        if (!lonCell || !latCell) continue;
        const double lon = coordinate(*lonCell), lat = coordinate(*latCell);
        if (lon == 0 && lat == 0) continue;
        out += "  <Placemark>\n    <name>";
        if (const auto id = idCol >= 0 ? cellAt(row, idCol) : std::nullopt) {
            appendXmlEscaped(out, *id);
        } else {
            out += "Point";
            appendUnsigned(out, n);
        }
        out += "</name>\n    <styleUrl>#defaultIcon</styleUrl>\n    <ExtendedData>\n";
        for (size_t k = 0; k < row.size(); ++k) {
            out += "      <Data name=\"";
            if (k < table.headers.size()) {
                appendXmlEscaped(out, table.headers[k]);
            } else {
                out += "col";
                appendUnsigned(out, k);
            }
            out += "\">\n        <value>";
            appendXmlEscaped(out, row[k]);
            out += "</value>\n      </Data>\n";
        }
        out += "    </ExtendedData>\n    <Point>\n      <coordinates>";
        appendFixed(out, lon, 8);
        out += ',';
        appendFixed(out, lat, 8);
        out += ",0</coordinates>\n  </Point>\n  </Placemark>\n";
        if (!pieces.flushWhenFull()) return false;
    }
    appendKmlTail(out);
    return pieces.finish();
}

std::string writeIconMapKml(std::string_view sourcePath, const DataTable& table, int lonCol, int latCol, int idCol,
                            std::string_view iconUrl) {
    return wholeDocument([&](const TextSink& sink) {
        return writeIconMapKml(sourcePath, table, lonCol, latCol, idCol, iconUrl, sink);
    });
}

std::string iconMapTemplatesPath(std::string_view exeFolder) {
    return exeFolder.empty() ? std::string("iconmap_templates.json") : joinPath(exeFolder, "iconmap_templates.json");
}

std::string formatIconMapTemplates(const std::vector<IconMapTemplate>& list) {
    std::string out(kUtf8Bom);
    out += "[\n";
    for (size_t i = 0; i < list.size(); ++i) {
        const IconMapTemplate& t = list[i];
        const std::pair<std::string_view, const std::string*> fields[] = {
            {"name", &t.name},         {"lonCol", &t.lonCol},     {"latCol", &t.latCol},      {"idCol", &t.idCol},
            {"iconUrl", &t.iconUrl}, {"iconName", &t.iconName}, {"localFile", &t.localFile}};
        out += "  {\n";
        for (size_t f = 0; f < std::size(fields); ++f) {
            out += "    \"";
            out += fields[f].first;
            out += "\": ";
            appendQuoted(out, *fields[f].second);
            out += f + 1 < std::size(fields) ? ",\n" : "\n";
        }
        out += i + 1 < list.size() ? "  },\n" : "  }\n";
    }
    out += "]\n";
    return out;
}

std::vector<IconMapTemplate> parseIconMapTemplates(std::string_view text) {
    text = dropBom(text);
    std::vector<IconMapTemplate> list;
    // Counted first: growing by doubling could hold up to three times the list.
    list.reserve(countObjectsWithKey(text, "name"));
    for (ObjectSpan obj = nextFlatObject(text, 0); obj.open < text.size(); obj = nextFlatObject(text, afterObject(obj))) {
        // As for the sector templates: an object without a "name" key is passed over.
        if (!objectHasKey(text, obj, "name")) continue;
        list.push_back({objectText(text, obj, "name"), objectText(text, obj, "lonCol"), objectText(text, obj, "latCol"),
                        objectText(text, obj, "idCol"), objectText(text, obj, "iconUrl"),
                        objectText(text, obj, "iconName"), objectText(text, obj, "localFile")});
    }
    return list;
}

void loadIconMapTemplates(const std::string& path, std::vector<IconMapTemplate>& list) {
    auto bytes = readFileBytes(path);
    if (!bytes || bytes->empty()) return;
    list = parseIconMapTemplates(*bytes);
}

bool saveIconMapTemplates(const std::string& path, const std::vector<IconMapTemplate>& list) {
    return writeFileBytes(path, formatIconMapTemplates(list));
}

int storeIconMapTemplate(std::vector<IconMapTemplate>& list, IconMapTemplate t) { return storeByName(list, std::move(t)); }

}  // namespace kit
