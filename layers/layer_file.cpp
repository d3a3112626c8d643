#include "layers/layer_file.h"

#include "core/file_io.h"
#include "core/format.h"
#include "core/text.h"
#include "layers/geojson_reader.h"
#include "layers/kml.h"
#include "layers/shapefile.h"

namespace kit {

Outcome loadLayerFile(const std::string& utf8Path, Layer& layer) {
    bool tooLarge = false;
    auto bytes = readFileBytesLimited(utf8Path, kMaxLayerFileBytes, &tooLarge);
    if (!bytes) return Outcome::error(tooLarge ? kLayerFileTooLarge : "无法打开文件");
    std::string_view text = *bytes;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);

    const std::string ext = asciiLower(extensionOf(utf8Path));
    if (ext == ".shp") {
        // Decoded before the layer is emptied, so a foreign file leaves the
        // previous layer loaded as the other failures do.
        // The table beside it obeys the same size limit; one that cannot be
        // read leaves the shapes without attributes, as a missing one does.
        bool dbfTooLarge = false;
        auto dbf = readFileBytesLimited(siblingPath(utf8Path, "dbf"), kMaxLayerFileBytes, &dbfTooLarge);
        if (dbfTooLarge) return Outcome::error(kLayerFileTooLarge);
        Layer read;
        Outcome o = appendShapefile(*bytes, dbf ? std::string_view(*dbf) : std::string_view(),
                                    readCodePageFile(utf8Path), read);
        if (!o.ok()) return o;
        layer = std::move(read);
        return Outcome::success();
    }
    layer.clear();
    if (ext == ".kml")
        readKml(text, layer);
    else
        readGeoJson(text, layer);
    return Outcome::success();
}

Outcome saveLayer(const std::string& utf8Path, std::string_view geojson, size_t nameProperty,
                  std::string_view runNote) {
    // The type goes by the extension in any case; the name is completed
    // unless it already ends in the extension exactly.
    const std::string ext = extensionOf(utf8Path), lower = asciiLower(ext);
    std::string path = utf8Path, writerNote;
    if (lower == ".shp") {
        if (ext != ".shp") path += ".shp";
        Outcome o = writeShapefile(geojson, path);
        if (!o.ok()) return o;
        writerNote = o.message;
    } else if (lower == ".kml") {
        if (ext != ".kml") path += ".kml";
        Outcome o = writeKml(geojson, path, nameProperty);
        if (!o.ok()) return o;
    } else {
        if (ext != ".geojson" && ext != ".json") path += ".geojson";
        std::string bytes;
        bytes.reserve(geojson.size() + 3);
        bytes += "\xEF\xBB\xBF";
        bytes += geojson;
        if (!writeFileBytes(path, bytes)) return Outcome::error("无法创建文件");
    }
    // The message names the file actually written (".shp"/".kml" may have
    // been appended to the chosen name).
    std::string message = format("创建完成！\n文件已保存到：%s", path);
    for (std::string_view note : {std::string_view(writerNote), runNote})
        if (!note.empty()) message += "\n" + std::string(note);
    return Outcome::success(message, path);
}

}  // namespace kit
