#pragma once

// Modifier bits of a global hotkey (settings "…Mod" values, clip hotkeys).
namespace HotkeyModifier {
constexpr int Alt = 1;
constexpr int Control = 2;
constexpr int Shift = 4;
} // namespace HotkeyModifier
