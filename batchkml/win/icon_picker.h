#pragma once
// The icon catalogue on screen: the modal picker with one button per
// catalogue entry, and the preview control of the icon-map tab.
#include <windows.h>

#include <optional>
#include <string>

namespace kit {

struct IconChoice {
    std::string iconUrl;    // the address the KML refers to
    std::string iconName;   // the local file without its extension ("ylw-pushpin")
    std::string localFile;  // "ylw-pushpin.png"
};

// The modal picker (class "IconPickerDlgClass", titled "选择图标"): the
// clicked icon, or nothing on cancel, Escape or closing.
std::optional<IconChoice> pickIcon(HWND owner);

inline constexpr int kIconPickerFirstId = 2000;
inline constexpr wchar_t kIconPickerClass[] = L"IconPickerDlgClass";

// The full path of a catalogue picture beside the executable.
std::wstring kmlIconPath(const std::string& localFile);

// An owner-drawn static that notifies its parent of clicks; the parent
// forwards WM_DRAWITEM to drawIconPreview.
HWND createIconPreview(HWND parent, int id, int x, int y, int width, int height);
// White, a one-pixel frame of 180, 200, 230 and the picture centred in the
// largest square that fits (nothing when the file is missing).
void drawIconPreview(const DRAWITEMSTRUCT& d, const std::wstring& picturePath);

}  // namespace kit
