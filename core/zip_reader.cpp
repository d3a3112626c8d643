#include "core/zip_reader.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <optional>

#include "core/byte_order.h"

namespace kit {

namespace {

constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr size_t kEndSize = 22;
constexpr size_t kCentralSize = 46;
constexpr size_t kLocalSize = 30;

struct Zip64End {
    uint64_t count, dirSize, dirOffset;
};

// The ZIP64 end record, found through the locator just before the classic
// end record; archives too large for 16/32-bit fields keep them there.
std::optional<Zip64End> readZip64End(std::string_view b, size_t endRecord) {
    constexpr size_t kLocatorSize = 20, kRecordSize = 56;
    if (endRecord < kLocatorSize) return std::nullopt;
    size_t locator = endRecord - kLocatorSize;
    if (readLE32(b, locator) != 0x07064b50) return std::nullopt;
    uint64_t at = readLE64(b, locator + 8);
    if (at > locator || locator - at < kRecordSize || readLE32(b, at) != 0x06064b50) return std::nullopt;
    return Zip64End{readLE64(b, at + 32), readLE64(b, at + 40), readLE64(b, at + 48)};
}

// A ZIP64 extra field holds, in this order, the 64-bit values of exactly
// those sizes and offsets whose 32-bit fields are all ones.
void applyZip64Extra(std::string_view extra, ZipEntry& e) {
    size_t pos = 0;
    while (extra.size() - pos >= 4) {
        uint16_t id = readLE16(extra, pos);
        size_t size = readLE16(extra, pos + 2);
        pos += 4;
        if (extra.size() - pos < size) return;
        if (id == 0x0001) {
            std::string_view field = extra.substr(pos, size);
            size_t at = 0;
            for (uint64_t* value : {&e.uncompressedSize, &e.compressedSize, &e.localHeaderOffset}) {
                if (*value != 0xFFFFFFFF) continue;
                if (field.size() - at < 8) return;
                *value = readLE64(field, at);
                at += 8;
            }
            return;
        }
        pos += size;
    }
}

// The end-of-central-directory record: the last one whose comment reaches
// exactly to the end of the bytes, searched backwards over at most the
// largest possible comment.
std::optional<size_t> findEndRecord(std::string_view b) {
    if (b.size() < kEndSize) return std::nullopt;
    size_t last = b.size() - kEndSize;
    size_t first = last > 0xFFFF ? last - 0xFFFF : 0;
    for (size_t at = last + 1; at-- > first;) {
        if (readLE32(b, at) == kEndSignature && at + kEndSize + readLE16(b, at + 20) == b.size()) return at;
    }
    return std::nullopt;
}

// Inflates raw deflate data into exactly `size` bytes; false when the data is
// broken, ends early, or holds more than `size` bytes.
bool inflateExactly(std::string_view in, size_t size, std::string& out) {
    out.assign(size, '\0');
    z_stream zs{};
    if (inflateInit2(&zs, -MAX_WBITS) != Z_OK) return false;
    bool ok = false;
    size_t consumed = 0;
    size_t produced = 0;
    for (;;) {
        // zlib counts in uInt: feed and drain in pieces that fit.
        if (zs.avail_in == 0 && consumed < in.size()) {
            size_t piece = std::min<size_t>(in.size() - consumed, UINT_MAX);
            zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data() + consumed));
            zs.avail_in = static_cast<uInt>(piece);
            consumed += piece;
        }
        if (zs.avail_out == 0 && produced < size) {
            size_t piece = std::min<size_t>(size - produced, UINT_MAX);
            zs.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
            zs.avail_out = static_cast<uInt>(piece);
            produced += piece;
        }
        if (zs.avail_out == 0) {
            // The declared size is reached: the stream must end here. One
            // spare byte shows whether it would go on.
            unsigned char spare;
            zs.next_out = &spare;
            zs.avail_out = 1;
            int r = inflate(&zs, Z_NO_FLUSH);
            ok = r == Z_STREAM_END && zs.avail_out == 1;
            break;
        }
        uInt before = zs.avail_out;
        uInt inBefore = zs.avail_in;
        int r = inflate(&zs, Z_NO_FLUSH);
        if (r == Z_STREAM_END) {
            ok = zs.avail_out == 0 && produced == size;
            break;
        }
        if (r != Z_OK && r != Z_BUF_ERROR) break;
        // No progress with input exhausted: truncated data.
        if (zs.avail_out == before && zs.avail_in == inBefore && consumed >= in.size()) break;
    }
    inflateEnd(&zs);
    if (!ok) out.clear();
    return ok;
}

uint32_t crcOf(const std::string& data) {
    uLong crc = crc32(0L, Z_NULL, 0);
    size_t pos = 0;
    while (pos < data.size()) {
        size_t piece = std::min<size_t>(data.size() - pos, UINT_MAX);
        crc = crc32(crc, reinterpret_cast<const Bytef*>(data.data() + pos), static_cast<uInt>(piece));
        pos += piece;
    }
    return static_cast<uint32_t>(crc);
}

}  // namespace

ZipArchive::ZipArchive(std::string_view bytes) : bytes_(bytes) {
    auto end = findEndRecord(bytes);
    if (!end) return;
    uint64_t count = readLE16(bytes, *end + 10);
    uint64_t dirSize = readLE32(bytes, *end + 12);
    uint64_t dirOffset = readLE32(bytes, *end + 16);
    if (count == 0xFFFF || dirSize == 0xFFFFFFFF || dirOffset == 0xFFFFFFFF) {
        if (auto z = readZip64End(bytes, *end)) {
            count = z->count;
            dirSize = z->dirSize;
            dirOffset = z->dirOffset;
        }
    }
    if (dirOffset > *end || dirSize > *end - dirOffset) return;
    size_t at = static_cast<size_t>(dirOffset);
    const size_t dirEnd = static_cast<size_t>(dirOffset + dirSize);
    entries_.reserve(static_cast<size_t>(std::min<uint64_t>(count, dirSize / kCentralSize)));
    // Each record takes at least kCentralSize bytes of the directory, so a
    // lying count ends the loop as soon as the directory does.
    for (uint64_t i = 0; i < count; ++i) {
        if (dirEnd - at < kCentralSize || readLE32(bytes, at) != kCentralSignature) return;
        size_t nameLen = readLE16(bytes, at + 28);
        size_t extraLen = readLE16(bytes, at + 30);
        size_t commentLen = readLE16(bytes, at + 32);
        size_t recordSize = kCentralSize + nameLen + extraLen + commentLen;
        if (dirEnd - at < recordSize) return;
        ZipEntry e;
        uint16_t flags = readLE16(bytes, at + 8);
        e.method = readLE16(bytes, at + 10);
        // Encrypted members cannot be read; mark them with a method we refuse.
        if (flags & 1) e.method = 0xFFFF;
        e.crc32 = readLE32(bytes, at + 16);
        e.compressedSize = readLE32(bytes, at + 20);
        e.uncompressedSize = readLE32(bytes, at + 24);
        e.localHeaderOffset = readLE32(bytes, at + 42);
        e.name.assign(bytes.data() + at + kCentralSize, nameLen);
        applyZip64Extra(bytes.substr(at + kCentralSize + nameLen, extraLen), e);
        entries_.push_back(std::move(e));
        at += recordSize;
    }
    ok_ = true;
}

ZipStatus ZipArchive::extract(std::string_view name, uint64_t sizeLimit, std::string& out) const {
    out.clear();
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const ZipEntry& e) { return e.name == name; });
    if (it == entries_.end()) return ZipStatus::Missing;
    const ZipEntry& e = *it;
    if (e.uncompressedSize >= sizeLimit) return ZipStatus::TooLarge;
    // The member's data follows its local header, whose name and extra
    // lengths may differ from the central directory's.
    uint64_t at = e.localHeaderOffset;
    if (at > bytes_.size() || bytes_.size() - at < kLocalSize || readLE32(bytes_, at) != kLocalSignature)
        return ZipStatus::Corrupt;
    uint64_t dataStart = at + kLocalSize + readLE16(bytes_, at + 26) + readLE16(bytes_, at + 28);
    if (dataStart > bytes_.size() || bytes_.size() - dataStart < e.compressedSize) return ZipStatus::Corrupt;
    std::string_view data = bytes_.substr(dataStart, e.compressedSize);
    const size_t size = static_cast<size_t>(e.uncompressedSize);
    if (e.method == 0) {
        if (e.compressedSize != e.uncompressedSize) return ZipStatus::Corrupt;
        out.assign(data);
    } else if (e.method == 8) {
        if (!inflateExactly(data, size, out)) return ZipStatus::Corrupt;
    } else {
        return ZipStatus::Corrupt;
    }
    if (crcOf(out) != e.crc32) {
        out.clear();
        return ZipStatus::Corrupt;
    }
    return ZipStatus::Ok;
}

}  // namespace kit
