#pragma once
// Quillet's drive-test tab: measurements from CSV/XLSX drawn as circles
// coloured by a template's value ranges, one KML or a batch.
#include <windows.h>

#include <string>
#include <vector>

#include "batchkml/data_table.h"
#include "shell/control_ids.h"

namespace kit {

namespace drivetest_id {
inline constexpr int kStatus = kStatusId;
inline constexpr int kOpen = 200;
inline constexpr int kLonCombo = 202;
inline constexpr int kLatCombo = 203;
inline constexpr int kValueCombo = 204;
inline constexpr int kSizeEdit = 207;
inline constexpr int kSizeLabel = 208;
inline constexpr int kGenerate = 210;
inline constexpr int kBatch = 211;
inline constexpr int kLonLabel = 212;  // 213 latitude, 214 value
}  // namespace drivetest_id

// The panel (class "TabPreviewClass") at the main window's tab rectangle.
HWND createDriveTestTab(HWND main);

// Where the tab keeps its templates (UTF-8); empty: templates.json beside
// the executable. Read when the tab is created.
void setDriveTestTemplatesFile(const std::string& utf8Path);

// The tab's state, for tests.
const DataTable& driveTestTable();
const std::vector<std::string>& driveTestBatchFiles();

}  // namespace kit
