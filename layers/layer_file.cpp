#include "layers/layer_file.h"

#include "core/file_io.h"
#include "core/format.h"
#include "core/text.h"
#include "layers/geojson_reader.h"
#include "layers/kml.h"
#include "layers/shapefile.h"

namespace kit {

namespace {

bool endsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

}  // namespace

std::optional<std::string> loadLayerFile(const std::string& utf8Path, Layer& layer) {
    bool tooLarge = false;
    auto bytes = readFileBytesLimited(utf8Path, kMaxLayerFileBytes, &tooLarge);
    if (!bytes) return std::string(tooLarge ? "文件过大或无效" : "无法打开文件");
    std::string_view text = *bytes;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);

    size_t dot = utf8Path.rfind('.');
    std::string ext = dot == std::string::npos ? std::string() : asciiLower(utf8Path.substr(dot + 1));
    if (ext == "shp") {
        // Decoded before the layer is emptied, so a foreign file leaves the
        // previous layer loaded as the other failures do.
        // The table beside it obeys the same size limit; one that cannot be
        // read leaves the shapes without attributes, as a missing one does.
        bool dbfTooLarge = false;
        auto dbf = readFileBytesLimited(siblingPath(utf8Path, "dbf"), kMaxLayerFileBytes, &dbfTooLarge);
        if (dbfTooLarge) return std::string("文件过大或无效");
        auto shapes = decodeShapefile(*bytes, dbf ? std::string_view(*dbf) : std::string_view());
        if (!shapes) return std::string("无法打开 Shapefile");
        if (shapes->attributesTooLarge) return std::string("文件过大或无效");
        layer.clear();
        appendShapeLayer(*shapes, layer);
        return std::nullopt;
    }
    layer.clear();
    if (ext == "kml")
        readKml(text, layer);
    else
        readGeoJson(text, layer);
    return std::nullopt;
}

Outcome saveLayer(const std::string& utf8Path, std::string_view geojson) {
    const std::string lower = asciiLower(utf8Path);
    std::string path = utf8Path;
    if (endsWith(lower, ".shp")) {
        if (!endsWith(path, ".shp")) path += ".shp";
        Outcome o = writeShapefile(geojson, path);
        if (!o.ok()) return o;
    } else if (endsWith(lower, ".kml")) {
        if (!endsWith(path, ".kml")) path += ".kml";
        Outcome o = writeKml(geojson, path);
        if (!o.ok()) return o;
    } else {
        if (!endsWith(path, ".geojson") && !endsWith(path, ".json")) path += ".geojson";
        std::string bytes;
        bytes.reserve(geojson.size() + 3);
        bytes += "\xEF\xBB\xBF";
        bytes += geojson;
        if (!writeFileBytes(path, bytes)) return Outcome::error("无法创建文件");
    }
    // The message names the file actually written (".shp"/".kml" may have
    // been appended to the chosen name).
    return Outcome::success(format("创建完成！\n文件已保存到：%s", path), path);
}

}  // namespace kit
