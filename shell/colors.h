#pragma once
// Colours shared by every panel, named once.
#include <windows.h>

namespace kit::colors {

inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kStatusOk = RGB(39, 174, 96);
inline constexpr COLORREF kStatusNeutral = RGB(140, 140, 140);
inline constexpr COLORREF kFrame = RGB(200, 200, 200);
inline constexpr COLORREF kTitleBar = RGB(44, 62, 80);
inline constexpr COLORREF kCloseHot = RGB(231, 76, 60);

}  // namespace kit::colors
