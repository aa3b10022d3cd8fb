#pragma once
// Keys are handed to the game as Windows virtual-key codes, the codes its scripts test.
#include <cstdint>

namespace novu::platform {

inline constexpr int kVkBack = 0x08;
inline constexpr int kVkTab = 0x09;
inline constexpr int kVkReturn = 0x0D;
inline constexpr int kVkShift = 0x10;
inline constexpr int kVkControl = 0x11;
inline constexpr int kVkMenu = 0x12;  // Alt
inline constexpr int kVkEscape = 0x1B;
inline constexpr int kVkSpace = 0x20;
inline constexpr int kVkLeft = 0x25;
inline constexpr int kVkUp = 0x26;
inline constexpr int kVkRight = 0x27;
inline constexpr int kVkDown = 0x28;

// The virtual key of a physical key given as an SDL scancode, or 0 for a key the game cannot
// see. Both left and right modifiers give the generic code (VK_SHIFT, not VK_LSHIFT). The
// punctuation keys give the codes of a US keyboard at the same place; the keys only a Japanese
// keyboard has (yen, ro, henkan, muhenkan, kana) give their Japanese codes.
int VirtualKeyFromScancode(int sdl_scancode);

}  // namespace novu::platform
