#include "platform/virtual_keys.h"

#include <SDL.h>

#include <array>
#include <utility>

namespace novu::platform {
namespace {

using KeyPair = std::pair<SDL_Scancode, uint8_t>;

// Keys whose code is not part of a run (letters, digits, function keys and the numeric pad are
// filled in by loops below).
constexpr KeyPair kSingleKeys[] = {
    {SDL_SCANCODE_RETURN, kVkReturn},
    {SDL_SCANCODE_ESCAPE, kVkEscape},
    {SDL_SCANCODE_BACKSPACE, kVkBack},
    {SDL_SCANCODE_TAB, kVkTab},
    {SDL_SCANCODE_SPACE, kVkSpace},
    {SDL_SCANCODE_MINUS, 0xBD},           // VK_OEM_MINUS
    {SDL_SCANCODE_EQUALS, 0xBB},          // VK_OEM_PLUS
    {SDL_SCANCODE_LEFTBRACKET, 0xDB},     // VK_OEM_4
    {SDL_SCANCODE_RIGHTBRACKET, 0xDD},    // VK_OEM_6
    {SDL_SCANCODE_BACKSLASH, 0xDC},       // VK_OEM_5
    {SDL_SCANCODE_NONUSHASH, 0xDC},       // the same key on ISO keyboards
    {SDL_SCANCODE_SEMICOLON, 0xBA},       // VK_OEM_1
    {SDL_SCANCODE_APOSTROPHE, 0xDE},      // VK_OEM_7
    {SDL_SCANCODE_GRAVE, 0xC0},           // VK_OEM_3
    {SDL_SCANCODE_COMMA, 0xBC},           // VK_OEM_COMMA
    {SDL_SCANCODE_PERIOD, 0xBE},          // VK_OEM_PERIOD
    {SDL_SCANCODE_SLASH, 0xBF},           // VK_OEM_2
    {SDL_SCANCODE_NONUSBACKSLASH, 0xE2},  // VK_OEM_102
    {SDL_SCANCODE_CAPSLOCK, 0x14},
    {SDL_SCANCODE_PRINTSCREEN, 0x2C},
    {SDL_SCANCODE_SCROLLLOCK, 0x91},
    {SDL_SCANCODE_PAUSE, 0x13},
    {SDL_SCANCODE_INSERT, 0x2D},
    {SDL_SCANCODE_HOME, 0x24},
    {SDL_SCANCODE_PAGEUP, 0x21},
    {SDL_SCANCODE_DELETE, 0x2E},
    {SDL_SCANCODE_END, 0x23},
    {SDL_SCANCODE_PAGEDOWN, 0x22},
    {SDL_SCANCODE_RIGHT, kVkRight},
    {SDL_SCANCODE_LEFT, kVkLeft},
    {SDL_SCANCODE_DOWN, kVkDown},
    {SDL_SCANCODE_UP, kVkUp},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x90},
    {SDL_SCANCODE_KP_DIVIDE, 0x6F},
    {SDL_SCANCODE_KP_MULTIPLY, 0x6A},
    {SDL_SCANCODE_KP_MINUS, 0x6D},
    {SDL_SCANCODE_KP_PLUS, 0x6B},
    {SDL_SCANCODE_KP_ENTER, kVkReturn},
    {SDL_SCANCODE_KP_PERIOD, 0x6E},  // VK_DECIMAL
    {SDL_SCANCODE_KP_COMMA, 0x6C},   // VK_SEPARATOR
    {SDL_SCANCODE_APPLICATION, 0x5D},
    {SDL_SCANCODE_LCTRL, kVkControl},
    {SDL_SCANCODE_RCTRL, kVkControl},
    {SDL_SCANCODE_LSHIFT, kVkShift},
    {SDL_SCANCODE_RSHIFT, kVkShift},
    {SDL_SCANCODE_LALT, kVkMenu},
    {SDL_SCANCODE_RALT, kVkMenu},
    {SDL_SCANCODE_LGUI, 0x5B},            // VK_LWIN
    {SDL_SCANCODE_RGUI, 0x5C},            // VK_RWIN
    {SDL_SCANCODE_INTERNATIONAL1, 0xE2},  // ro (backslash, underscore): VK_OEM_102
    {SDL_SCANCODE_INTERNATIONAL2, 0xF2},  // katakana/hiragana
    {SDL_SCANCODE_INTERNATIONAL3, 0xDC},  // yen: VK_OEM_5
    {SDL_SCANCODE_INTERNATIONAL4, 0x1C},  // henkan: VK_CONVERT
    {SDL_SCANCODE_INTERNATIONAL5, 0x1D},  // muhenkan: VK_NONCONVERT
    {SDL_SCANCODE_MUTE, 0xAD},
    {SDL_SCANCODE_VOLUMEDOWN, 0xAE},
    {SDL_SCANCODE_VOLUMEUP, 0xAF},
    {SDL_SCANCODE_AUDIONEXT, 0xB0},
    {SDL_SCANCODE_AUDIOPREV, 0xB1},
    {SDL_SCANCODE_AUDIOSTOP, 0xB2},
    {SDL_SCANCODE_AUDIOPLAY, 0xB3},
    {SDL_SCANCODE_SLEEP, 0x5F},
};

using KeyTable = std::array<uint8_t, SDL_NUM_SCANCODES>;

KeyTable BuildKeyTable() {
  KeyTable table{};
  for (int i = 0; i < 26; ++i) table[SDL_SCANCODE_A + i] = static_cast<uint8_t>('A' + i);
  // SDL numbers the digit row 1..9, 0.
  for (int i = 0; i < 9; ++i) table[SDL_SCANCODE_1 + i] = static_cast<uint8_t>('1' + i);
  table[SDL_SCANCODE_0] = '0';
  for (int i = 0; i < 12; ++i) table[SDL_SCANCODE_F1 + i] = static_cast<uint8_t>(0x70 + i);
  for (int i = 0; i < 12; ++i) table[SDL_SCANCODE_F13 + i] = static_cast<uint8_t>(0x7C + i);
  for (int i = 0; i < 9; ++i) table[SDL_SCANCODE_KP_1 + i] = static_cast<uint8_t>(0x61 + i);
  table[SDL_SCANCODE_KP_0] = 0x60;
  for (auto [scancode, vk] : kSingleKeys) table[scancode] = vk;
  return table;
}

}  // namespace

int VirtualKeyFromScancode(int sdl_scancode) {
  static const KeyTable table = BuildKeyTable();
  if (sdl_scancode < 0 || sdl_scancode >= static_cast<int>(table.size())) return 0;
  return table[sdl_scancode];
}

}  // namespace novu::platform
