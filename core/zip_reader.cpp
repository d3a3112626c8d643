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

// Inflates raw deflate data to the sink a piece at a time, with the running
// CRC; false when the data is broken, ends early, or holds other than `size`
// bytes (inflating stops as soon as it passes `size`). Stopping once upTo
// bytes are out is success.
bool inflateTo(std::string_view in, uint64_t size, const ZipSink& sink, uLong& crc, uint64_t upTo) {
    z_stream zs{};
    if (inflateInit2(&zs, -MAX_WBITS) != Z_OK) return false;
    bool ok = false;
    size_t consumed = 0;
    uint64_t produced = 0;
    unsigned char buf[1 << 16];
    for (;;) {
        // zlib counts in uInt: feed in pieces that fit.
        if (zs.avail_in == 0 && consumed < in.size()) {
            size_t piece = std::min<size_t>(in.size() - consumed, UINT_MAX);
            zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data() + consumed));
            zs.avail_in = static_cast<uInt>(piece);
            consumed += piece;
        }
        zs.next_out = buf;
        zs.avail_out = sizeof buf;
        const uInt inBefore = zs.avail_in;
        const int r = inflate(&zs, Z_NO_FLUSH);
        const size_t got = sizeof buf - zs.avail_out;
        if (got > 0) {
            produced += got;
            if (produced > size) break;
            crc = crc32(crc, buf, static_cast<uInt>(got));
            sink(std::string_view(reinterpret_cast<const char*>(buf), got));
            if (produced >= upTo && produced < size) {
                ok = true;
                break;
            }
        }
        if (r == Z_STREAM_END) {
            ok = produced == size;
            break;
        }
        if (r != Z_OK && r != Z_BUF_ERROR) break;
        // No progress with input exhausted: truncated data.
        if (got == 0 && zs.avail_in == inBefore && consumed >= in.size()) break;
    }
    inflateEnd(&zs);
    return ok;
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
    if (it != entries_.end() && it->uncompressedSize < sizeLimit)
        out.reserve(static_cast<size_t>(it->uncompressedSize));
    ZipStatus status = extractTo(name, sizeLimit, [&](std::string_view piece) { out.append(piece); });
    if (status != ZipStatus::Ok) out.clear();
    return status;
}

ZipStatus ZipArchive::extractTo(std::string_view name, uint64_t sizeLimit, const ZipSink& sink, uint64_t upTo) const {
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
    uLong crc = crc32(0L, Z_NULL, 0);
    if (e.method == 0) {
        if (e.compressedSize != e.uncompressedSize) return ZipStatus::Corrupt;
        for (size_t pos = 0; pos < data.size(); pos += UINT_MAX) {
            std::string_view piece = data.substr(pos, UINT_MAX);
            crc = crc32(crc, reinterpret_cast<const Bytef*>(piece.data()), static_cast<uInt>(piece.size()));
            sink(piece);
        }
    } else if (e.method == 8) {
        if (!inflateTo(data, e.uncompressedSize, sink, crc, upTo)) return ZipStatus::Corrupt;
        if (upTo < e.uncompressedSize) return ZipStatus::Ok;
    } else {
        return ZipStatus::Corrupt;
    }
    return static_cast<uint32_t>(crc) == e.crc32 ? ZipStatus::Ok : ZipStatus::Corrupt;
}

}  // namespace kit
