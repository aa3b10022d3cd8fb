#include "expr/system_variable.h"

#include <chrono>
#include <ctime>

#include "core/cp932.h"
#include "expr/system_variable_host.h"

namespace novu {

const std::array<SystemVariableInfo, kSystemVariableCount> kSystemVariables = {{
    {"@Result", PT_NONE, false},
    {"@LClick", PT_BOOL, false},
    {"@RClick", PT_BOOL, false},
    {"@LPush", PT_BOOL, false},
    {"@RPush", PT_BOOL, false},
    {"@MouseX", PT_INT, false},
    {"@MouseY", PT_INT, false},
    {"@TextDelay", PT_INT, false},
    {"@HistoryCount", PT_INT, false},
    {"@ParamCount", PT_INT, false},
    {"@ParamStr", PT_STR, true},
    {"@Sender", PT_STR, false},
    {"@ScrWidth", PT_INT, false},
    {"@ScrHeight", PT_INT, false},
    {"@TickCount", PT_INT, false},
    {"@PCTickCount", PT_INT, false},
    {"@UpdateCount", PT_INT, false},
    {"@Year", PT_INT, false},
    {"@Month", PT_INT, false},
    {"@Day", PT_INT, false},
    {"@Week", PT_INT, false},
    {"@Hour", PT_INT, false},
    {"@Min", PT_INT, false},
    {"@Sec", PT_INT, false},
    {"@Fonts", PT_STR, false},
    {"@FixedFonts", PT_STR, false},
    {"@FullScr", PT_BOOL, false},
    {"@Cursor", PT_STR, false},
    {"@SelStr", PT_STR, false},
    {"@SelIndex", PT_INT, false},
    {"@Pi", PT_FLOAT, false},
    {"@CGDither", PT_BOOL, false},
    {"@1Hour", PT_FLOAT, false},
    {"@1Min", PT_FLOAT, false},
    {"@1Sec", PT_FLOAT, false},
    {"@KeyPush", PT_BOOL, true},
    {"@KeyClick", PT_BOOL, true},
    {"@DisplayModeCount", PT_INT, false},
    {"@DisplayModeIndex", PT_INT, false},
    {"@Title", PT_STR, false},
    {"@SoundON", PT_BOOL, false},
    {"@ActiveCompo", PT_STR, false},
    {"@KeyRepeat", PT_BOOL, true},
    {"@HistoryMaxCount", PT_INT, false},
    {"@Temp", PT_NONE, false},
    {"@MidiPort", PT_STR, false},
    {"@MidiPorts", PT_STR, true},
    {"@WheelDown", PT_BOOL, false},
    {"@WheelUp", PT_BOOL, false},
    {"@IsDebug", PT_BOOL, false},
    {"@StackCount", PT_INT, false},
}};

int SystemVariableIndex(std::string_view name) {
  for (size_t i = 0; i < kSystemVariables.size(); ++i) {
    if (cp932::EqualsNoCase(kSystemVariables[i].name, name)) return static_cast<int>(i);
  }
  return -1;
}

namespace {

std::tm LocalNow() {
  std::time_t now = std::time(nullptr);
  std::tm parts{};
  localtime_r(&now, &parts);
  return parts;
}

}  // namespace

bool SystemVariableHost::GetBool(SystemVariable v) {
  return v == SystemVariable::kSoundON;
}

int32_t SystemVariableHost::GetInt(SystemVariable v) {
  switch (v) {
    case SystemVariable::kPCTickCount: {
      auto since_boot = std::chrono::steady_clock::now().time_since_epoch();
      auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since_boot).count();
      return static_cast<int32_t>(static_cast<uint32_t>(ms));
    }
    case SystemVariable::kYear:
      return LocalNow().tm_year + 1900;
    case SystemVariable::kMonth:
      return LocalNow().tm_mon + 1;
    case SystemVariable::kDay:
      return LocalNow().tm_mday;
    case SystemVariable::kWeek:
      return LocalNow().tm_wday + 1;
    case SystemVariable::kHour:
      return LocalNow().tm_hour;
    case SystemVariable::kMin:
      return LocalNow().tm_min;
    case SystemVariable::kSec:
      return LocalNow().tm_sec;
    default:
      return 0;
  }
}

std::string SystemVariableHost::GetStr(SystemVariable /*v*/) {
  return {};
}

int32_t SystemVariableHost::ElementCount(SystemVariable v) {
  switch (v) {
    case SystemVariable::kKeyPush:
    case SystemVariable::kKeyClick:
    case SystemVariable::kKeyRepeat:
      return kKeyStateCount;
    default:
      return 0;
  }
}

SystemVariableHost& SystemVariableHost::Default() {
  static SystemVariableHost host;
  return host;
}

}  // namespace novu
