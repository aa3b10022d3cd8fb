#pragma once
// The system variables the interpreter answers: @Result, @ParamCount, @ParamStr, @Sender.
// Everything else goes to the host installed before it.
#include "engine/call_man.h"
#include "expr/system_variable_host.h"

namespace novu {

class ScriptVariableHost : public SystemVariableHost {
 public:
  ScriptVariableHost(const TCallMan& calls, SystemVariableHost& next)
      : calls_(calls), next_(next) {}

  TCustomParam* ResultSlot() override { return calls_.CurrentResult(); }
  bool GetBool(SystemVariable v) override { return next_.GetBool(v); }
  int32_t GetInt(SystemVariable v) override {
    if (v == SystemVariable::kParamCount) return static_cast<int32_t>(calls_.ArgumentCount());
    return next_.GetInt(v);
  }
  std::string GetStr(SystemVariable v) override {
    if (v == SystemVariable::kSender) return calls_.SenderName();
    return next_.GetStr(v);
  }
  void SetBool(SystemVariable v, bool value) override { next_.SetBool(v, value); }
  void SetInt(SystemVariable v, int32_t value) override { next_.SetInt(v, value); }
  void SetStr(SystemVariable v, std::string_view value) override { next_.SetStr(v, value); }
  int32_t ElementCount(SystemVariable v) override {
    if (v == SystemVariable::kParamStr) return static_cast<int32_t>(calls_.ArgumentCount());
    return next_.ElementCount(v);
  }
  bool GetBoolAt(SystemVariable v, int32_t index) override { return next_.GetBoolAt(v, index); }
  std::string GetStrAt(SystemVariable v, int32_t index) override {
    if (v == SystemVariable::kParamStr) return calls_.Argument(static_cast<size_t>(index));
    return next_.GetStrAt(v, index);
  }

 private:
  const TCallMan& calls_;
  SystemVariableHost& next_;
};

}  // namespace novu
