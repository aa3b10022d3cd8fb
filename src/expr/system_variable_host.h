#pragma once
// What the system variables need from the rest of the player: mouse and key state from the
// active base, the current call's parameters, the screen, the clock, fonts, display modes,
// MIDI ports... The higher layers implement this at start-up and hand it to the variable
// table; without a host every such variable reads its default below and writes are ignored.
#include <cstdint>
#include <string>
#include <string_view>

#include "expr/system_variable.h"

namespace novu {

class TCustomParam;

class SystemVariableHost {
 public:
  virtual ~SystemVariableHost() = default;

  // @Result: the return-value slot of the innermost call frame; none without a frame.
  virtual TCustomParam* ResultSlot() { return nullptr; }

  // Scalar host-kept values of bool, int and string system variables. The defaults: every
  // flag false except @SoundON, every number 0 except the date, time and @PCTickCount (read
  // from the system clock), every text empty.
  virtual bool GetBool(SystemVariable v);
  virtual int32_t GetInt(SystemVariable v);
  virtual std::string GetStr(SystemVariable v);
  // Writes of the variables that accept them (@LClick, @RClick, @MouseX, @MouseY, @FullScr,
  // @CGDither, @DisplayModeIndex, @SoundON, @ActiveCompo, @HistoryMaxCount, @MidiPort).
  virtual void SetBool(SystemVariable /*v*/, bool /*value*/) {}
  virtual void SetInt(SystemVariable /*v*/, int32_t /*value*/) {}
  virtual void SetStr(SystemVariable /*v*/, std::string_view /*value*/) {}

  // The array variables: @ParamStr and @MidiPorts (text), @KeyPush, @KeyClick and @KeyRepeat
  // (flags, kKeyStateCount elements). Indices are checked by the caller.
  virtual int32_t ElementCount(SystemVariable v);
  virtual bool GetBoolAt(SystemVariable /*v*/, int32_t /*index*/) { return false; }
  virtual std::string GetStrAt(SystemVariable /*v*/, int32_t /*index*/) { return {}; }

  // The host used when the player has not installed one.
  static SystemVariableHost& Default();
};

}  // namespace novu
