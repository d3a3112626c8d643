// Saving over an earlier file: the new bytes arrive whole or not at all, and
// no temporary file is ever left beside the target.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "tests/temp_folder.h"

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

using kit::test::TempFolder;

std::vector<std::string> namesIn(const TempFolder& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(kit::test::pathOf(folder.path())))
        names.push_back(kit::test::utf8Of(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

std::string contentOf(const std::string& path) { return kit::readFileBytes(path).value_or("<missing>"); }

TEST(ReplaceFile, NewBytesTakeTheNameAndNothingElseStays) {
    TempFolder folder;
    const std::string target = folder.file("图层.geojson");
    ASSERT_TRUE(kit::writeFileBytes(target, "old"));
    ASSERT_TRUE(kit::writeFileBytes(target, "new and longer"));
    EXPECT_EQ(contentOf(target), "new and longer");
    ASSERT_TRUE(kit::writeFileBytes(target, ""));
    EXPECT_EQ(contentOf(target), "");
    // Large files go out in pieces; every byte lands in its place.
    std::string large(21 << 20, '\0');
    for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 2654435761u >> 24);
    ASSERT_TRUE(kit::writeFileBytes(target, large));
    EXPECT_TRUE(contentOf(target) == large);

    const std::string shp = folder.file("s.shp"), shx = folder.file("s.shx"), dbf = folder.file("s.dbf");
    ASSERT_TRUE(kit::writeFilesTogether({{shp, "1"}, {shx, "2"}, {dbf, "3"}}));
    ASSERT_TRUE(kit::writeFilesTogether({{shp, "one"}, {shx, "two"}, {dbf, "three"}}));
    EXPECT_EQ(contentOf(shp) + contentOf(shx) + contentOf(dbf), "onetwothree");
    EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"s.dbf", "s.shp", "s.shx", "图层.geojson"}));
}

// A folder standing where the second file should go: the bytes are written
// but cannot take that name. The save fails, the folder is untouched and the
// temporaries are gone.
TEST(ReplaceFile, TargetThatCannotBeReplacedFailsCleanly) {
    TempFolder folder;
    ASSERT_TRUE(kit::createDirectories(folder.file("b.shx")));
    EXPECT_FALSE(kit::writeFileBytes(folder.file("b.shx"), "x"));
    EXPECT_FALSE(kit::writeFilesTogether({{folder.file("b.shp"), "1"}, {folder.file("b.shx"), "2"}}));
    EXPECT_TRUE(kit::isDirectory(folder.file("b.shx")));
    // Only the first of the set may have been replaced.
    std::vector<std::string> names = namesIn(folder);
    std::erase(names, "b.shp");
    EXPECT_EQ(names, std::vector<std::string>{"b.shx"});
    EXPECT_FALSE(kit::writeFileBytes(folder.file("no such folder/x.txt"), "x"));
}

#ifndef _WIN32
// While alive, a file of this process cannot grow past `bytes`: a write
// beyond fails as on a full disk (the signal the kernel would send is
// ignored, so the write returns the error instead).
class DiskFullAfter {
public:
    explicit DiskFullAfter(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limited = old_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~DiskFullAfter() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    DiskFullAfter(const DiskFullAfter&) = delete;
    DiskFullAfter& operator=(const DiskFullAfter&) = delete;

private:
    rlimit old_{};
    void (*oldHandler_)(int) = SIG_DFL;
};

TEST(ReplaceFile, WriteThatRunsOutOfSpaceKeepsEveryOldFile) {
    const std::string big(64 * 1024, 'n');
    struct Case {
        const char* what;
        std::vector<std::string> names;
        size_t large;  // the file too large for the disk
    };
    for (const Case& c : {Case{"one file", {"s.geojson"}, 0}, Case{"a set, large one last", {"s.shp", "s.shx", "s.dbf"}, 2},
                          Case{"a set, large one first", {"s.shp", "s.shx", "s.dbf"}, 0}}) {
        TempFolder folder;
        std::vector<kit::FileToWrite> files;
        for (size_t i = 0; i < c.names.size(); ++i) {
            ASSERT_TRUE(kit::writeFileBytes(folder.file(c.names[i]), "old " + c.names[i]));
            files.push_back({folder.file(c.names[i]), i == c.large ? std::string_view(big) : std::string_view("small")});
        }
        const std::vector<std::string> before = namesIn(folder);
        {
            DiskFullAfter full(16 * 1024);
            EXPECT_FALSE(kit::writeFilesTogether(files)) << c.what;
        }
        for (const std::string& name : c.names) EXPECT_EQ(contentOf(folder.file(name)), "old " + name) << c.what;
        EXPECT_EQ(namesIn(folder), before) << c.what;
        // The same save with room for it replaces them all.
        EXPECT_TRUE(kit::writeFilesTogether(files)) << c.what;
        for (const kit::FileToWrite& f : files) EXPECT_EQ(contentOf(f.path), f.bytes) << c.what;
        EXPECT_EQ(namesIn(folder), before) << c.what;
    }
}

// A link keeps being a link to the file that gets the bytes, a private file
// stays private, and a device is written where it is rather than renamed over.
TEST(ReplaceFile, LinksAndDevicesAreWrittenThrough) {
    TempFolder folder;
    ASSERT_TRUE(kit::writeFileBytes(folder.file("real.tsv"), "old"));
    std::filesystem::create_symlink("real.tsv", kit::test::pathOf(folder.file("link.tsv")));
    ASSERT_TRUE(kit::writeFileBytes(folder.file("link.tsv"), "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(kit::test::pathOf(folder.file("link.tsv"))));
    EXPECT_EQ(contentOf(folder.file("real.tsv")), "new");
    EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"link.tsv", "real.tsv"}));

    namespace fs = std::filesystem;
    fs::permissions(kit::test::pathOf(folder.file("real.tsv")), fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(kit::writeFileBytes(folder.file("real.tsv"), "private"));
    EXPECT_EQ(fs::status(kit::test::pathOf(folder.file("real.tsv"))).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);

    EXPECT_TRUE(kit::writeFileBytes("/dev/null", "discarded"));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
    EXPECT_FALSE(kit::writeFileBytes("/dev/full", "no room"));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}
#endif

}  // namespace
