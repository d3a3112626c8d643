#pragma once
// Colour-range templates for the drive-test tab: the model, the four built-in
// templates, the value look-up, and the editing rules that keep a working
// range list contiguous (the editor panel calls these; they hold no UI).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kit {

// 0x00BBGGRR, red in the low byte (the Windows COLORREF layout).
using RangeColor = uint32_t;
constexpr RangeColor rangeColor(int r, int g, int b) {
    return static_cast<RangeColor>((r & 255) | ((g & 255) << 8) | ((b & 255) << 16));
}
constexpr int colorRed(RangeColor c) { return static_cast<int>(c & 255); }
constexpr int colorGreen(RangeColor c) { return static_cast<int>((c >> 8) & 255); }
constexpr int colorBlue(RangeColor c) { return static_cast<int>((c >> 16) & 255); }

struct ColorRange {
    double min = 0;
    double max = 0;
    RangeColor color = 0;
    bool operator==(const ColorRange&) const = default;
};

struct ColorTemplate {
    std::string name;  // UTF-8; unique by exact comparison
    std::vector<ColorRange> ranges;
    bool operator==(const ColorTemplate&) const = default;
};

inline constexpr std::string_view kDefaultLastUsed = "4G城区";
// The name the drive-test run gives the working list it hands to the writer.
inline constexpr std::string_view kWorkingTemplateName = "当前";
inline constexpr size_t kMaxRanges = 7;

// "4G城区", "4G农村", "5G模板", "SINR模板", in that order.
std::vector<ColorTemplate> builtinTemplates();

// Index of the range holding the value: min <= v < max, the last range
// including its max; first match wins; no match gives 0; no ranges gives -1.
int findRange(const std::vector<ColorRange>& ranges, double value);

// Index of the template with exactly this name, or -1.
int findTemplate(const std::vector<ColorTemplate>& list, std::string_view name);
// The combo's selection for last_used: its exact match, else 0 (-1 for an empty list).
int templateIndexForLastUsed(const std::vector<ColorTemplate>& list, std::string_view lastUsed);

// ---- Editing a working range list ----

// Appends a grey range after the last one (-100..-90 for an empty list).
// False, and nothing changes, when the list already holds kMaxRanges.
bool addRange(std::vector<ColorRange>& ranges);
// Removes range k. False, and nothing changes, when it is the only range
// left (the editor warns "至少需要保留一个范围") or k is out of range.
bool deleteRange(std::vector<ColorRange>& ranges, size_t k);
// The text of a min/max edit as a value: up to 31 characters read as a
// decimal, unreadable text giving 0.
double rangeEditValue(std::string_view text);
// New max for range k: at least min + 1; the next range's min follows it.
// Returns the indices whose edits must be refreshed (k, and k+1 if any).
std::vector<size_t> setRangeMax(std::vector<ColorRange>& ranges, size_t k, double value);
// New min for range k: below max (else max - 1); for k > 0 raised to at
// least the previous max, and the previous max follows it.
std::vector<size_t> setRangeMin(std::vector<ColorRange>& ranges, size_t k, double value);
// Save-as: replaces the ranges of the template of that exact name or appends
// a new one. Returns its index. An empty name changes nothing and gives -1.
int storeTemplate(std::vector<ColorTemplate>& list, std::string_view name, const std::vector<ColorRange>& ranges);
// Removes template k when at least two exist; false otherwise.
bool removeTemplate(std::vector<ColorTemplate>& list, size_t k);

// "%.0f" as the range rows show values.
std::string rangeValueText(double value);

}  // namespace kit
