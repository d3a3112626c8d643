#pragma once
// ESRI Shapefile sets (.shp, .shx, .dbf): the reader for reference layers and
// the writer for generated layers.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/outcome.h"
#include "layers/feature.h"

namespace kit {

inline constexpr const char* kCannotOpenShapefile = "无法打开 Shapefile";
inline constexpr const char* kLayerFileTooLarge = "文件过大或无效";  // past a size limit

// Appends the set's shapes to the layer; the error "无法打开 Shapefile" when
// the .shp file cannot be read or decoded.
Outcome readShapefile(const std::string& utf8ShpPath, Layer& layer);

// Converts the GeoJSON text and writes the set at the path ending in ".shp"
// (with a .cpg naming UTF-8 and a .prj for WGS 84 longitude/latitude);
// Success (path in text, a note in message when values had to be cut) or
// Error with the message to show. Every property becomes a field after the
// first, "ID".
Outcome writeShapefile(std::string_view geojson, const std::string& utf8ShpPath);

// The .prj of a WGS 84 longitude/latitude layer, as ESRI writes it.
inline constexpr const char* kWgs84Prj =
    "GEOGCS[\"GCS_WGS_1984\",DATUM[\"D_WGS_1984\",SPHEROID[\"WGS_1984\",6378137.0,298.257223563]],"
    "PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433]]";

// --- The in-memory shapefile behind both ---

struct FieldDef {
    std::string name;  // at most 10 bytes
    char fieldType = 'C';
    int width = 0;
    int decimals = 0;
};

struct ShapeRecord {
    int32_t shapeType = 0;
    std::vector<double> xs, ys;
    std::vector<int32_t> partStarts;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

struct AttrRecord {
    std::vector<std::string> values;  // one per field; missing trailing ones are empty
    bool deleted = false;
};

struct ShapeFiles {
    std::string shp, shx, dbf;
};

struct ShapeLayer {
    int32_t shapeType = 0;
    double xMin = 1e30, yMin = 1e30, xMax = -1e30, yMax = -1e30;
    std::vector<FieldDef> fields;
    std::vector<ShapeRecord> shapes;
    std::vector<AttrRecord> records;
    // Set by the reader when the .dbf holds more values than it reads
    // (kMaxDbfValues); records then stays empty.
    bool attributesTooLarge = false;

    void addField(std::string_view name, char fieldType, int width, int decimals);
    void addPoint(double x, double y, std::vector<std::string> values);
    // Closes the ring when its ends differ; stored as given, not reoriented.
    void addPolygon(std::vector<Position> ring, std::vector<std::string> values);
    // One record of several parts: a multipoint's points (type 8, one part),
    // a polyline's lines (3) or a polygon's rings (5), each stored as given.
    void addParts(int32_t type, const std::vector<std::vector<Position>>& parts, std::vector<std::string> values);

    // The three files' bytes.
    ShapeFiles encode() const;
    // Writes .shp, .shx and .dbf beside each other, with a .cpg saying
    // "UTF-8" and the WGS 84 .prj; false if any fails.
    bool save(const std::string& utf8ShpPath) const;
};

// Most attribute values (records times fields) the reader keeps.
inline constexpr uint64_t kMaxDbfValues = 20000000;

// Decodes a .shp buffer and its .dbf buffer (empty when there is none).
// Nothing when the .shp is shorter than its header or not a shapefile; a
// truncated or corrupt tail just ends the records. The .dbf's names and
// values come back in UTF-8, read in the code page that `cpg` (the .cpg
// file's text, empty when there is none) or the table itself gives; number
// fields without the blanks that pad them.
std::optional<ShapeLayer> decodeShapefile(std::string_view shp, std::string_view dbf, std::string_view cpg = {});

// Appends the decoded records as features (points; a polygon per outer ring
// with its holes; a line's parts each alone; multipoints exploded) with their
// attributes.
void appendShapeLayer(const ShapeLayer& shapes, Layer& layer);

// decodeShapefile and appendShapeLayer in one, each record's values read
// straight into its feature, so a large table is never held twice. Error
// "无法打开 Shapefile" when the .shp is no shapefile, "文件过大或无效" past
// kMaxDbfValues; the layer is touched only on success.
Outcome appendShapefile(std::string_view shp, std::string_view dbf, std::string_view cpg, Layer& layer);

// The text of the .cpg file beside a .shp path; empty when there is none.
std::string readCodePageFile(const std::string& utf8ShpPath);

// "dir/a.shp" -> "dir/a.<ext>": the text after the last '.' replaced.
std::string siblingPath(const std::string& utf8ShpPath, std::string_view ext);

}  // namespace kit
