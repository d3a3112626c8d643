// The number parsers, checked against the C library they stand in for.
#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/number_parse.h"
#include "fuzz_support.h"
#include "layers/layer_numbers.h"

namespace {

// strtod reads up to the first NUL, as the parser reads up to the first
// byte that cannot continue a number.
void checkDouble(const std::string& s) {
    auto ours = kit::parseLeadingDouble(s);
#if defined(__GLIBC__)
    errno = 0;
    char* end = nullptr;
    const double theirs = std::strtod(s.c_str(), &end);
    const bool converted = end != s.c_str();
    const bool range = errno == ERANGE;
    // Subnormal results: whether strtod reports ERANGE differs between C
    // libraries, so only the value is compared.
    // glibc reads the digits in "nan(...)" as a number and may report
    // ERANGE for them; the value is a NaN all the same.
    if (converted && std::isnan(theirs)) {
        FUZZ_CHECK(ours && std::isnan(*ours));
        return;
    }
    if (converted && theirs != 0 && std::fabs(theirs) < DBL_MIN) {
        if (ours) FUZZ_CHECK(*ours == theirs);
        return;
    }
    if (!converted || range) {
        FUZZ_CHECK(!ours);
    } else {
        FUZZ_CHECK(ours);
        FUZZ_CHECK((std::isnan(*ours) && std::isnan(theirs)) || *ours == theirs);
        FUZZ_CHECK(std::signbit(*ours) == std::signbit(theirs));
    }
#endif
    if (auto v = kit::parseLayerNumber(s)) FUZZ_CHECK(std::isfinite(*v));
}

void checkInt(const std::string& s) {
    auto ours = kit::parseLeadingInt32(s);
    errno = 0;
    char* end = nullptr;
    const long long theirs = std::strtoll(s.c_str(), &end, 10);
    if (end == s.c_str() || errno == ERANGE || theirs < INT32_MIN || theirs > INT32_MAX) {
        FUZZ_CHECK(!ours);
    } else {
        FUZZ_CHECK(ours && *ours == theirs);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text = kit::fuzz::asText(data, size);
    // The C functions stop at a NUL byte; so does the parser, at any byte
    // that cannot continue a number.
    std::string s(text.substr(0, std::min(text.find('\0'), text.size())));
    checkDouble(s);
    checkInt(s);
    return 0;
}
