#pragma once
// What an edit field lets the user type. A count takes digits only; a
// distance, angle, size or buffer also takes one decimal point ("12.5"); a
// rotation, where a negative value means something, also one leading minus
// ("-15"). Typed keys and pasted text alike are held to it, so the field never
// shows what the run would refuse to read as the number the user meant.
#include <windows.h>

#include <string_view>

namespace kit {

enum class EditInput { Text, Digits, Decimal, SignedDecimal };

// Whether the whole text may stand in a field of that kind (also half typed:
// "", "-", "12." are on the way to a number).
bool acceptsInput(EditInput kind, std::wstring_view text);

// Holds the edit's typing and pasting to its kind (nothing for Text).
void limitEditInput(HWND edit, EditInput kind);

}  // namespace kit
