// Saving a generated layer from a panel: the dialog, the file, the boxes.
#include <windows.h>

#include <gtest/gtest.h>


#include "layers/win/save_layer_panel.h"
#include "shell/recording_dialogs.h"
#include "shell/wide.h"
#include "win_test_support.h"

namespace kit::test {
namespace {

const char kLayer[] = "{\"type\":\"FeatureCollection\",\"features\":[]}";

TEST(SaveLayerPanel, CancelledDialogWritesNothingAndSaysNothing) {
    RecordingDialogs dialogs;
    EXPECT_FALSE(saveLayerText(nullptr, kLayer, L"保存点图层", L"output_points.geojson"));
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].kind, "save");
    EXPECT_EQ(dialogs.calls[0].title, L"保存点图层");
    EXPECT_EQ(dialogs.calls[0].text, L"output_points.geojson");
}

TEST(SaveLayerPanel, WritesGeoJsonThenShowsAndRevealsTheFile) {
    RecordingDialogs dialogs;
    std::wstring chosen = tempFolder() + L"kit_图层_test";  // no extension: GeoJSON
    std::wstring written = chosen + L".geojson";
    DeleteFileW(written.c_str());
    dialogs.pathAnswers = {chosen};
    EXPECT_TRUE(saveLayerText(nullptr, kLayer, L"保存图层文件", L"output.geojson"));
    EXPECT_EQ(fileBytes(written), std::string("\xEF\xBB\xBF") + kLayer);
    ASSERT_EQ(dialogs.of("success").size(), 1u);
    EXPECT_EQ(dialogs.of("success")[0].text, L"创建完成！\n文件已保存到：" + written);
    ASSERT_EQ(dialogs.of("reveal").size(), 1u);
    EXPECT_EQ(dialogs.of("reveal")[0].text, written);
    DeleteFileW(written.c_str());
}

TEST(SaveLayerPanel, UnwritablePathGivesTheErrorBoxOnly) {
    RecordingDialogs dialogs;
    dialogs.pathAnswers = {tempFolder() + L"no_such_folder_kit\\out.geojson"};
    EXPECT_FALSE(saveLayerText(nullptr, kLayer, L"保存图层文件", L"output.geojson"));
    EXPECT_EQ(dialogs.lastKind(), "error");
    EXPECT_EQ(dialogs.onlyMessage(), L"无法创建文件");
    EXPECT_TRUE(dialogs.of("reveal").empty());
}

}  // namespace
}  // namespace kit::test
