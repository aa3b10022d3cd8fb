#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/virtual_keys.h"

namespace novu::platform {
namespace {

struct KeyCase {
  SDL_Scancode scancode;
  int vk;
};

TEST(VirtualKeys, MapsScancodesToWindowsCodes) {
  const KeyCase cases[] = {
      {SDL_SCANCODE_A, 0x41},
      {SDL_SCANCODE_M, 0x4D},
      {SDL_SCANCODE_Z, 0x5A},
      {SDL_SCANCODE_0, 0x30},
      {SDL_SCANCODE_1, 0x31},
      {SDL_SCANCODE_9, 0x39},
      {SDL_SCANCODE_F1, 0x70},
      {SDL_SCANCODE_F12, 0x7B},
      {SDL_SCANCODE_F13, 0x7C},
      {SDL_SCANCODE_F24, 0x87},
      {SDL_SCANCODE_RETURN, kVkReturn},
      {SDL_SCANCODE_KP_ENTER, kVkReturn},
      {SDL_SCANCODE_ESCAPE, kVkEscape},
      {SDL_SCANCODE_SPACE, kVkSpace},
      {SDL_SCANCODE_BACKSPACE, kVkBack},
      {SDL_SCANCODE_TAB, kVkTab},
      {SDL_SCANCODE_LEFT, 0x25},
      {SDL_SCANCODE_UP, 0x26},
      {SDL_SCANCODE_RIGHT, 0x27},
      {SDL_SCANCODE_DOWN, 0x28},
      {SDL_SCANCODE_LSHIFT, kVkShift},
      {SDL_SCANCODE_RSHIFT, kVkShift},
      {SDL_SCANCODE_LCTRL, kVkControl},
      {SDL_SCANCODE_RCTRL, kVkControl},
      {SDL_SCANCODE_LALT, kVkMenu},
      {SDL_SCANCODE_RALT, kVkMenu},
      {SDL_SCANCODE_KP_0, 0x60},
      {SDL_SCANCODE_KP_1, 0x61},
      {SDL_SCANCODE_KP_9, 0x69},
      {SDL_SCANCODE_KP_MULTIPLY, 0x6A},
      {SDL_SCANCODE_KP_PLUS, 0x6B},
      {SDL_SCANCODE_KP_MINUS, 0x6D},
      {SDL_SCANCODE_KP_PERIOD, 0x6E},
      {SDL_SCANCODE_KP_DIVIDE, 0x6F},
      {SDL_SCANCODE_INSERT, 0x2D},
      {SDL_SCANCODE_DELETE, 0x2E},
      {SDL_SCANCODE_HOME, 0x24},
      {SDL_SCANCODE_END, 0x23},
      {SDL_SCANCODE_PAGEUP, 0x21},
      {SDL_SCANCODE_PAGEDOWN, 0x22},
      {SDL_SCANCODE_SEMICOLON, 0xBA},
      {SDL_SCANCODE_EQUALS, 0xBB},
      {SDL_SCANCODE_COMMA, 0xBC},
      {SDL_SCANCODE_MINUS, 0xBD},
      {SDL_SCANCODE_PERIOD, 0xBE},
      {SDL_SCANCODE_SLASH, 0xBF},
      {SDL_SCANCODE_GRAVE, 0xC0},
      {SDL_SCANCODE_LEFTBRACKET, 0xDB},
      {SDL_SCANCODE_BACKSLASH, 0xDC},
      {SDL_SCANCODE_RIGHTBRACKET, 0xDD},
      {SDL_SCANCODE_APOSTROPHE, 0xDE},
      {SDL_SCANCODE_INTERNATIONAL1, 0xE2},  // ro
      {SDL_SCANCODE_INTERNATIONAL3, 0xDC},  // yen
      {SDL_SCANCODE_INTERNATIONAL4, 0x1C},  // henkan
      {SDL_SCANCODE_INTERNATIONAL5, 0x1D},  // muhenkan
  };
  for (const KeyCase& c : cases) {
    EXPECT_EQ(VirtualKeyFromScancode(c.scancode), c.vk) << SDL_GetScancodeName(c.scancode);
  }
}

TEST(VirtualKeys, UnknownAndOutOfRangeScancodesGiveNothing) {
  for (int scancode :
       {static_cast<int>(SDL_SCANCODE_UNKNOWN), static_cast<int>(SDL_SCANCODE_AC_BOOKMARKS), -1,
        static_cast<int>(SDL_NUM_SCANCODES), 100000}) {
    EXPECT_EQ(VirtualKeyFromScancode(scancode), 0) << scancode;
  }
}

}  // namespace
}  // namespace novu::platform
