#pragma once
// Shared by the fuzz targets: the libFuzzer entry point's signature, a check
// that stops the run with a message (under libFuzzer and in the replay driver
// alike), and helpers to cut one input into several.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

#define FUZZ_CHECK(cond)                                                                  \
    do {                                                                                  \
        if (!(cond)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (0)

namespace kit::fuzz {

inline std::string_view asText(const uint8_t* data, size_t size) {
    return std::string_view(reinterpret_cast<const char*>(data), size);
}

// Two inputs from one: the first four bytes (little-endian) give the length
// of the first part, modulo what remains; the rest is the second part.
inline std::pair<std::string_view, std::string_view> splitInTwo(std::string_view in) {
    if (in.size() < 4) return {in, {}};
    uint32_t n = 0;
    for (int i = 3; i >= 0; --i) n = n << 8 | static_cast<uint8_t>(in[i]);
    in.remove_prefix(4);
    size_t first = n % (in.size() + 1);
    return {in.substr(0, first), in.substr(first)};
}

}  // namespace kit::fuzz
