#include "batchkml/kml_text.h"

#include "core/file_io.h"

namespace kit {

namespace {

size_t afterLastSeparator(std::string_view path) {
    size_t cut = path.find_last_of("\\/");
    return cut == std::string_view::npos ? 0 : cut + 1;
}

}  // namespace

bool writeTextFileUtf8(const std::string& path, std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size() + 3);
    bytes += "\xEF\xBB\xBF";
    bytes += text;
    return writeFileBytes(path, bytes);
}

bool writeTextFileUtf8(const std::string& path, const std::function<bool(const TextSink&)>& produce) {
    FileWriter file(path);
    if (!file.isOpen() || !file.write("\xEF\xBB\xBF")) return false;
    const bool produced = produce([&file](std::string_view piece) { return file.write(piece); });
    return file.close() && produced;
}

namespace {
constexpr size_t kPieceSize = size_t{1} << 20;
}  // namespace

KmlPieces::KmlPieces(const TextSink& sink) : sink_(sink) { out_.reserve(kPieceSize + 8192); }

bool KmlPieces::flushWhenFull() {
    if (out_.size() < kPieceSize) return true;
    const bool taken = sink_(out_);
    out_.clear();
    return taken;
}

bool KmlPieces::finish() {
    const bool taken = sink_(out_);
    out_.clear();
    return taken;
}

std::string wholeDocument(const std::function<bool(const TextSink&)>& produce) {
    std::string whole;
    produce([&whole](std::string_view piece) {
        whole += piece;
        return true;
    });
    return whole;
}

std::string fileStem(std::string_view path) {
    std::string_view name = path.substr(afterLastSeparator(path));
    size_t dot = name.rfind('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::string folderOf(std::string_view path) {
    size_t cut = path.find_last_of("\\/");
    return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut));
}

void appendXmlEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
}

std::string xmlEscaped(std::string_view text) {
    std::string out;
    appendXmlEscaped(out, text);
    return out;
}

void appendKmlHead(std::string& out, std::string_view sourcePath) {
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
           "<Document>\n"
           "  <name>";
    appendXmlEscaped(out, fileStem(sourcePath));
    out += "</name>\n";
}

void appendKmlTail(std::string& out) { out += "</Document>\n</kml>\n"; }

}  // namespace kit
