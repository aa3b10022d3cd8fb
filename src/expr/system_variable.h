#pragma once
// The 51 system variables: their indices, names and value types. The variable table creates
// them, in this order, as its first items.
#include <array>
#include <cstdint>
#include <string_view>

#include "expr/param_type.h"

namespace novu {

enum class SystemVariable : uint8_t {
  kResult,
  kLClick,
  kRClick,
  kLPush,
  kRPush,
  kMouseX,
  kMouseY,
  kTextDelay,
  kHistoryCount,
  kParamCount,
  kParamStr,
  kSender,
  kScrWidth,
  kScrHeight,
  kTickCount,
  kPCTickCount,
  kUpdateCount,
  kYear,
  kMonth,
  kDay,
  kWeek,
  kHour,
  kMin,
  kSec,
  kFonts,
  kFixedFonts,
  kFullScr,
  kCursor,
  kSelStr,
  kSelIndex,
  kPi,
  kCGDither,
  k1Hour,
  k1Min,
  k1Sec,
  kKeyPush,
  kKeyClick,
  kDisplayModeCount,
  kDisplayModeIndex,
  kTitle,
  kSoundON,
  kActiveCompo,
  kKeyRepeat,
  kHistoryMaxCount,
  kTemp,
  kMidiPort,
  kMidiPorts,
  kWheelDown,
  kWheelUp,
  kIsDebug,
  kStackCount,
};

inline constexpr int kSystemVariableCount = 51;

struct SystemVariableInfo {
  std::string_view name;
  // PT_NONE for @Result and @Temp, whose type is that of the value they forward to.
  ParamType type;
  bool is_array;
};

extern const std::array<SystemVariableInfo, kSystemVariableCount> kSystemVariables;

inline const SystemVariableInfo& InfoOf(SystemVariable v) {
  return kSystemVariables[static_cast<size_t>(v)];
}

// Index of the system variable with that name (case-insensitive), or -1.
int SystemVariableIndex(std::string_view name);

// The key-state arrays hold 256 virtual keys, then the wheel-down and wheel-up flags.
inline constexpr int32_t kKeyStateCount = 258;

}  // namespace novu
