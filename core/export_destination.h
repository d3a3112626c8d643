#pragma once
// Where a run's result goes, as its success message names it ("…已导出到剪贴板"):
// the tabs put it on the clipboard, the companions write it to a file or to
// standard output. The runs count and phrase; the front end names the place.
#include <string_view>

namespace kit {

inline constexpr std::string_view kToClipboard = "剪贴板";

}  // namespace kit
