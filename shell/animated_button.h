#pragma once
// Self-painted push buttons that fade towards their hover colour and shrink
// while pressed. A button sends its command (BN_CLICKED) to its parent when
// the left button is released over it.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace kit {

enum class ButtonKind { Blue, Green, Help, Sky, Red };

struct ButtonStyle {
    COLORREF normal, hover, disabled;
    bool bold;
    int width, height;  // default size
};
const ButtonStyle& buttonStyle(ButtonKind kind);

struct ButtonCreateArgs {
    HWND parent = nullptr;
    int id = 0;
    std::wstring text;  // L"?" for the help button when empty
    ButtonKind kind = ButtonKind::Blue;
    int x = 0, y = 0;
    int width = 0, height = 0;  // 0: the kind's default size
    bool enabled = true;
    // Run when the button is pressed; the parent must then be a panel
    // (createPanel), which calls it on the button's command.
    std::function<void()> onClicked;
};
HWND createButton(const ButtonCreateArgs& args);
// Gives a button the colours and font of another kind (its size stays), e.g.
// to show which of two mode buttons is selected.
void setButtonKind(HWND button, ButtonKind kind);

inline constexpr UINT_PTR kButtonTimerId = 20481;
inline constexpr UINT kButtonTimerMs = 16;
inline constexpr float kPressedScale = 0.88f;

// Painting rules, kept apart from the window so they can be checked alone.
// Per channel ((255 - p) * base + p * hover) / 255.
COLORREF mixColor(COLORREF base, COLORREF hover, int progress);
// The client rectangle shrunk about its centre to floor(w * s) x floor(h * s);
// the odd pixel goes to the right/bottom.
RECT scaledRect(const RECT& client, float scale);
// Grey when disabled; white on dark fills (R*3 + G*4 + B < 1128), else dark grey.
COLORREF buttonTextColor(COLORREF fill, bool enabled);

// The animation state of a button (empty for any other window).
struct ButtonAnimation {
    bool hovered;
    int progress, progressTarget;
    float scale, scaleTarget;
};
std::optional<ButtonAnimation> buttonAnimation(HWND button);

}  // namespace kit
