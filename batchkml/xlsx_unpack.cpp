#include "batchkml/xlsx_unpack.h"

#include <utility>

#include "core/zip_reader.h"
#include "core/file_io.h"
#include "core/text.h"

namespace kit {

namespace {

// A workbook larger than this is not read into memory at all.
constexpr uint64_t kArchiveLimit = uint64_t{1} << 30;

XlsxUnpacker& systemUnpacker() {
    static XlsxUnpacker unpacker;
    return unpacker;
}

}  // namespace

bool collectXlsxParts(const PartReader& read, XlsxParts& parts) {
    parts = {};
    switch (read("xl/sharedStrings.xml", parts.sharedStrings)) {
    case PartStatus::Found: break;
    case PartStatus::Missing: parts.sharedStrings.clear(); break;
    // Reading on without the strings would show their indices as cell text.
    case PartStatus::Unusable: return false;
    }
    for (int k = 1; k <= 10; ++k) {
        std::string name = "xl/worksheets/sheet" + std::to_string(k) + ".xml";
        switch (read(name, parts.sheet)) {
        case PartStatus::Found: return true;
        case PartStatus::Missing: continue;
        case PartStatus::Unusable: return false;
        }
    }
    parts.sheet.clear();
    return false;
}

bool unpackXlsxBuiltIn(const std::string& utf8Path, XlsxParts& parts) {
    bool tooLarge = false;
    auto bytes = readFileBytesLimited(utf8Path, kArchiveLimit, &tooLarge);
    if (!bytes) return false;
    ZipArchive archive(*bytes);
    if (!archive.ok()) return false;
    // Unpacked on disk the names would be found whatever their case.
    auto read = [&](std::string_view name, std::string& out) {
        const std::string wanted = asciiLower(name);
        for (const ZipEntry& e : archive.entries()) {
            if (e.name.size() != wanted.size() || asciiLower(e.name) != wanted) continue;
            switch (archive.extract(e.name, kXlsxPartLimit, out)) {
            case ZipStatus::Ok: return PartStatus::Found;
            case ZipStatus::Missing: return PartStatus::Missing;
            case ZipStatus::TooLarge:
            case ZipStatus::Corrupt: return PartStatus::Unusable;
            }
        }
        return PartStatus::Missing;
    };
    return collectXlsxParts(read, parts);
}

void setSystemXlsxUnpacker(XlsxUnpacker unpacker) { systemUnpacker() = std::move(unpacker); }

bool unpackXlsx(const std::string& utf8Path, XlsxParts& parts) {
    if (const XlsxUnpacker& system = systemUnpacker(); system && system(utf8Path, parts)) return true;
    parts = {};
    return unpackXlsxBuiltIn(utf8Path, parts);
}

}  // namespace kit
