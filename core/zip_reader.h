#pragma once
// Reads members of a ZIP archive held in memory: the central directory, then
// stored or deflated members on request. Nothing is written to disk. Sizes in
// the archive are never trusted beyond the bytes actually present, and a
// member is never inflated past its declared size.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kit {

struct ZipEntry {
    std::string name;
    uint16_t method = 0;            // 0 stored, 8 deflated
    uint32_t crc32 = 0;
    uint64_t compressedSize = 0;
    uint64_t uncompressedSize = 0;  // as declared by the archive
    uint64_t localHeaderOffset = 0;
};

enum class ZipStatus { Ok, Missing, TooLarge, Corrupt };

// Receives a member's bytes in order, a piece at a time.
using ZipSink = std::function<void(std::string_view)>;

class ZipArchive {
public:
    // Parses the central directory; ok() is false for anything that is not a
    // readable archive (truncated, corrupt, no end record).
    explicit ZipArchive(std::string_view bytes);

    bool ok() const { return ok_; }
    const std::vector<ZipEntry>& entries() const { return entries_; }

    // Extracts one member by exact name. TooLarge when its declared size is
    // not below the limit (checked before inflating); Corrupt when its data
    // does not inflate to exactly the declared size with the declared CRC.
    ZipStatus extract(std::string_view name, uint64_t sizeLimit, std::string& out) const;
    // As extract, the bytes handed to sink as they inflate and never held
    // whole; on Corrupt the sink may already have had some of them. With
    // upTo below the member's size, inflating stops there: the CRC covers
    // the whole member, so such a prefix is only as sound as its deflate
    // stream.
    ZipStatus extractTo(std::string_view name, uint64_t sizeLimit, const ZipSink& sink,
                        uint64_t upTo = UINT64_MAX) const;

private:
    std::string_view bytes_;
    std::vector<ZipEntry> entries_;
    bool ok_ = false;
};

}  // namespace kit
