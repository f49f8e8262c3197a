#pragma once

#include "platform/HotkeyModifier.h"

// Key codes and modifier bits as settings, projects and the row key handler store them. The key codes are the
// classic virtual-key numbers (letters and digits are their upper-case ASCII codes), so settings.ini files stay
// exchangeable between installations.
namespace KeyCode {

constexpr int Backspace = 8;
constexpr int Tab = 9;
constexpr int Return = 13;
constexpr int Shift = 16;
constexpr int Control = 17;
constexpr int Alt = 18;
constexpr int Escape = 27;
constexpr int Space = 32;
constexpr int PageUp = 33;
constexpr int PageDown = 34;
constexpr int End = 35;
constexpr int Home = 36;
constexpr int Left = 37;
constexpr int Up = 38;
constexpr int Right = 39;
constexpr int Down = 40;
constexpr int Insert = 45;
constexpr int Delete = 46;
constexpr int Digit0 = 48; // '0'..'9' are 48..57
constexpr int Digit9 = 57;
constexpr int A = 65; // 'A'..'Z' are 65..90
constexpr int Z = 90;
constexpr int F1 = 112; // F1..F24 are 112..135
constexpr int F2 = 113;
constexpr int F3 = 114;
constexpr int F4 = 115;
constexpr int F8 = 119;
constexpr int F9 = 120;
constexpr int F12 = 123;
constexpr int F24 = 135;

} // namespace KeyCode

// Modifier bits a key handler of a clip row receives: the other order, Shift first.
namespace RowKeyModifier {
constexpr int Shift = 1;
constexpr int Control = 2;
constexpr int Alt = 4;
} // namespace RowKeyModifier
