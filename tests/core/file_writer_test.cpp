// A file written in pieces: it appears whole at close, never half-written,
// and an abandoned or failed one leaves the earlier file as it was.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/file_io.h"
#include "tests/temp_folder.h"

namespace {

using kit::test::TempFolder;

size_t entriesIn(const TempFolder& folder) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(kit::test::pathOf(folder.path()))) ++n;
    return n;
}

}  // namespace

TEST(FileWriter, PiecesAppearWholeAtClose) {
    TempFolder folder;
    const std::string target = folder.file("路测.kml");
    ASSERT_TRUE(kit::writeFileBytes(target, "old"));
    {
        kit::FileWriter w(target);
        ASSERT_TRUE(w.isOpen());
        EXPECT_TRUE(w.write("new "));
        EXPECT_TRUE(w.write(""));
        EXPECT_TRUE(w.write("text"));
        EXPECT_EQ(kit::readFileBytes(target), "old");  // not yet
        EXPECT_TRUE(w.close());
        EXPECT_FALSE(w.close());
        EXPECT_FALSE(w.write("late"));
    }
    EXPECT_EQ(kit::readFileBytes(target), "new text");
    EXPECT_EQ(entriesIn(folder), 1u);
}

TEST(FileWriter, AbandonedOrUnopenableFilesChangeNothing) {
    TempFolder folder;
    const std::string target = folder.file("a.kml");
    ASSERT_TRUE(kit::writeFileBytes(target, "kept"));
    {
        kit::FileWriter w(target);
        EXPECT_TRUE(w.write("half"));
    }  // never closed
    EXPECT_EQ(kit::readFileBytes(target), "kept");
    EXPECT_EQ(entriesIn(folder), 1u);

    kit::FileWriter nowhere(folder.file("missing/a.kml"));
    EXPECT_FALSE(nowhere.isOpen());
    EXPECT_FALSE(nowhere.write("x"));
    EXPECT_FALSE(nowhere.close());
}
