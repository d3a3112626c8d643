#pragma once
// A button that is only a picture: a PNG below the executable's folder drawn
// on white, sending its command to the parent when the left button is
// released over it. Used for the open and save buttons of Quillet's tabs.
#include <windows.h>

#include <string>

namespace kit {

struct PictureButtonCreateArgs {
    HWND parent = nullptr;
    int id = 0;
    std::wstring icon;  // relative to the executable's folder
    int x = 0, y = 0, width = 24, height = 24;
};
HWND createPictureButton(const PictureButtonCreateArgs& args);

// The full path of the button's picture (empty for any other window).
std::wstring pictureButtonPath(HWND button);

// The side of the square the picture is drawn in: the smaller client side
// less a 2-pixel margin each way, but never below 16.
int pictureSide(int clientWidth, int clientHeight);

}  // namespace kit
