#pragma once
// The transition kinds a flip or a film names by number (0 = none).
#include <cstdint>

namespace novu::transitions {

enum WipeKind : int32_t {
  WP_NONE = 0,
  WP_FADE = 1,
  WP_BLINDH = 2,
  WP_BLINDV = 3,
  WP_CURTAINH = 4,
  WP_CURTAINV = 5,
  WP_SCROLLH = 6,
  WP_SCROLLV = 7,
  WP_GRID = 8,
  WP_GRIDH = 9,
  WP_GRIDV = 10,
  WP_DITHER = 11,
  WP_WHITE = 12,
  WP_BLACK = 13,
  WP_FLASH = 14,
  WP_MOSAIC = 15,
  WP_SUDAREH = 16,
  WP_SUDAREV = 17,
  WP_SPOT = 18,
  WP_MASKFADE = 19,
  WP_MASKWHITE = 20,
  WP_MASKBLACK = 21,
  WP_SMALL = 22,
  WP_BIG = 23,
  WP_RIPPLE = 24,
  WP_BLURWHITE = 25,
  WP_BLURBLACK = 26,
  WP_TWISTH = 27,
  WP_TWISTV = 28,
  WP_CRACK = 29,
  WP_ZOOMIN = 30,
  WP_CLOCKHAND = 31,
  WP_RUBBERH = 32,
  WP_RUBBERV = 33,
  WP_FAN = 34,
  WP_WFAN = 35,
  WP_CIRCLE = 36,
  WP_BLOCKCOIL = 37,
  WP_BLOCKRANDOM = 38,
};

inline constexpr int32_t kFirstWipeKind = WP_FADE;
inline constexpr int32_t kLastWipeKind = WP_BLOCKRANDOM;

constexpr bool IsWipeKind(int32_t kind) {
  return kind >= kFirstWipeKind && kind <= kLastWipeKind;
}

}  // namespace novu::transitions
