#pragma once
// Integers and doubles stored byte by byte in a file format (ZIP, Shapefile,
// dBASE), read from a byte string whatever the machine's own order. The
// caller checks that the bytes are there.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kit {

inline uint8_t byteAt(std::string_view s, size_t at) { return static_cast<uint8_t>(s[at]); }

inline uint16_t readLE16(std::string_view s, size_t at) {
    return static_cast<uint16_t>(byteAt(s, at) | byteAt(s, at + 1) << 8);
}

inline uint32_t readLE32(std::string_view s, size_t at) {
    return uint32_t(readLE16(s, at)) | uint32_t(readLE16(s, at + 2)) << 16;
}

inline uint64_t readLE64(std::string_view s, size_t at) {
    return uint64_t(readLE32(s, at)) | uint64_t(readLE32(s, at + 4)) << 32;
}

inline uint32_t readBE32(std::string_view s, size_t at) {
    return uint32_t(byteAt(s, at)) << 24 | uint32_t(byteAt(s, at + 1)) << 16 | uint32_t(byteAt(s, at + 2)) << 8 |
           uint32_t(byteAt(s, at + 3));
}

inline double readLEDouble(std::string_view s, size_t at) { return std::bit_cast<double>(readLE64(s, at)); }

}  // namespace kit
