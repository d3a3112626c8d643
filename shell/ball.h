#pragma once
// The floating ball: a small round always-on-top button that stands in for
// the hidden main window. A click restores the window next to it, a drag moves
// it, and its menu restores the window or ends the program.
#include <windows.h>

#include <string>

namespace kit {

inline constexpr int kBallSize = 35;
inline constexpr int kShowWindowCommand = 2001;
inline constexpr int kQuitCommand = 2002;

struct BallColors {
    COLORREF normal = RGB(0, 103, 192);
    COLORREF hovered = RGB(26, 115, 201);
    COLORREF pressed = RGB(0, 90, 158);
};

// Loads the logo, registers the class and creates the (still invisible) ball.
HWND createBall(HINSTANCE instance, const std::wstring& title = L"Plotvane");
// Places the ball at a screen point, shows and draws it.
void showBall(int x, int y, HWND mainWindow);
void hideBall();
// Destroys the ball window and its logo icon.
void destroyBall();
HWND ballWindow();
// Whether a logo (ICO, else the PNG fallback) was loaded.
bool ballHasLogo();

}  // namespace kit
