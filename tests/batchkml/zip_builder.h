#pragma once
// Builds small ZIP archives in memory for the importer tests: stored or
// deflated members, with sizes that can be made to lie.
#include <zlib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kit::test {

struct ZipMember {
    ZipMember(std::string n, std::string d, bool deflated = true, std::optional<uint32_t> declared = {})
        : name(std::move(n)), data(std::move(d)), deflate(deflated), declaredSize(declared) {}
    std::string name;
    std::string data;
    bool deflate = true;
    std::optional<uint32_t> declaredSize;  // what the headers claim instead of data.size()
};

inline std::string rawDeflate(std::string_view data) {
    z_stream zs{};
    deflateInit2(&zs, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&zs, static_cast<uLong>(data.size())), '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

inline void put16(std::string& s, uint32_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
inline void put32(std::string& s, uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

// An archive from members already compressed: compressed bytes, CRC and the
// size to declare are given directly.
struct RawMember {
    std::string name;
    std::string payload;
    uint16_t method;
    uint32_t crc;
    uint32_t declaredSize;
};

inline void put64(std::string& s, uint64_t v) {
    put32(s, static_cast<uint32_t>(v));
    put32(s, static_cast<uint32_t>(v >> 32));
}

// zip64: the central directory keeps sizes, offsets and counts only in the
// ZIP64 fields, as writers do for very large archives.
inline std::string buildZipRaw(const std::vector<RawMember>& members, bool zip64 = false) {
    std::string out, dir;
    for (const RawMember& m : members) {
        uint32_t offset = static_cast<uint32_t>(out.size());
        auto header = [&](std::string& s, bool central) {
            bool big = central && zip64;
            put32(s, central ? 0x02014b50 : 0x04034b50);
            if (central) put16(s, 45);
            put16(s, 45);
            put16(s, 0);
            put16(s, m.method);
            put32(s, 0);  // time and date
            put32(s, m.crc);
            put32(s, big ? 0xFFFFFFFF : static_cast<uint32_t>(m.payload.size()));
            put32(s, big ? 0xFFFFFFFF : m.declaredSize);
            put16(s, static_cast<uint32_t>(m.name.size()));
            put16(s, big ? 28 : 0);
            if (central) {
                put16(s, 0);
                put16(s, 0);
                put16(s, 0);
                put32(s, 0);
                put32(s, big ? 0xFFFFFFFF : offset);
            }
            s += m.name;
            if (big) {
                put16(s, 1);
                put16(s, 24);
                put64(s, m.declaredSize);
                put64(s, m.payload.size());
                put64(s, offset);
            }
        };
        header(out, false);
        out += m.payload;
        header(dir, true);
    }
    uint32_t dirOffset = static_cast<uint32_t>(out.size());
    out += dir;
    if (zip64) {
        uint64_t record = out.size();
        put32(out, 0x06064b50);
        put64(out, 44);
        put16(out, 45);
        put16(out, 45);
        put32(out, 0);
        put32(out, 0);
        put64(out, members.size());
        put64(out, members.size());
        put64(out, dir.size());
        put64(out, dirOffset);
        put32(out, 0x07064b50);
        put32(out, 0);
        put64(out, record);
        put32(out, 1);
    }
    put32(out, 0x06054b50);
    put32(out, 0);
    put16(out, zip64 ? 0xFFFF : static_cast<uint32_t>(members.size()));
    put16(out, zip64 ? 0xFFFF : static_cast<uint32_t>(members.size()));
    put32(out, zip64 ? 0xFFFFFFFF : static_cast<uint32_t>(dir.size()));
    put32(out, zip64 ? 0xFFFFFFFF : dirOffset);
    put16(out, 0);
    return out;
}

inline std::string buildZip(const std::vector<ZipMember>& members, bool zip64 = false) {
    std::vector<RawMember> raw;
    for (const ZipMember& m : members) {
        uint32_t crc = static_cast<uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(m.data.data()), static_cast<uInt>(m.data.size())));
        raw.push_back({m.name, m.deflate ? rawDeflate(m.data) : m.data, static_cast<uint16_t>(m.deflate ? 8 : 0),
                       crc, m.declaredSize.value_or(static_cast<uint32_t>(m.data.size()))});
    }
    return buildZipRaw(raw, zip64);
}

// A workbook archive with the given sheet members (name -> XML) and, when
// not empty, shared strings.
inline std::string buildWorkbook(const std::vector<std::pair<std::string, std::string>>& sheets,
                                 const std::string& sharedStrings = {}) {
    std::vector<ZipMember> members{{"[Content_Types].xml", "<Types/>"}, {"xl/workbook.xml", "<workbook/>"}};
    if (!sharedStrings.empty()) members.push_back({"xl/sharedStrings.xml", sharedStrings});
    for (const auto& [name, xml] : sheets) members.push_back({name, xml});
    return buildZip(members);
}

inline std::string sheetXml(std::string_view rows) {
    return "<?xml version=\"1.0\"?><worksheet><sheetData>" + std::string(rows) + "</sheetData></worksheet>";
}

}  // namespace kit::test
