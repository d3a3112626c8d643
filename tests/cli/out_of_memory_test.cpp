// Running out of memory ends a companion with the message "内存不足" and exit
// status 1, never a signal; the file it was writing stays as it was. The
// runs are given a small address space (ulimit -v) so that they run out
// quickly; sanitizers need more than that, so those builds skip these.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_harness.h"
#include "core/file_io.h"

using kit::test::CliResult;
using kit::test::shellQuote;

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// plotvane-cli with its arguments (already quoted) in 300 MB of address space.
CliResult runSmall(const std::string& args) {
    return kit::test::runShell("(ulimit -v 300000; " + shellQuote(std::string(KIT_BIN_DIR) + "/plotvane-cli") + " " +
                               args + ")");
}

size_t filesIn(const std::string& folder) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}

}  // namespace

TEST(OutOfMemory, IsAMessageAndTheOldFileStays) {
    if (kSanitized) GTEST_SKIP() << "sanitizers reserve more address space than the limit";
    // 160 KB that group turns into 3 GB: 100 000 empty columns over 30 000
    // rows (it once asked for 36 GB at once and aborted).
    const std::string input = kit::test::fixture("fuzz-cases/group_100k_empty_cols_30k_rows_bad_alloc.tsv");
    const std::string folder = kit::test::tempPath("oom");
    std::filesystem::create_directories(folder);
    const std::string out = folder + "/grouped.tsv";
    ASSERT_TRUE(kit::writeFileBytes(out, "earlier result\n"));
    CliResult r = runSmall("group " + shellQuote(input) + " -o " + shellQuote(out));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "内存不足\n");
    EXPECT_EQ(kit::readFileBytes(out).value_or(""), "earlier result\n");
    EXPECT_EQ(filesIn(folder), 1u);  // no temporary left beside it

    // A device that never ends grows the table text until memory runs out.
    r = runSmall("nearest /dev/zero");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "内存不足\n");
    EXPECT_EQ(r.out, "");
}
