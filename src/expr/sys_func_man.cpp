#include "expr/sys_func_man.h"

#include "platform/error.h"

namespace novu {

TCustomParam& FunctionCall::RequireVariable(size_t i) const {
  TCustomParam* v = Variable(i);
  if (v == nullptr) throw NovuError(std::string(name()) + Jp(":変数が見つかりません"));
  return *v;
}

SysFuncMan::SysFuncMan(ProcessRandom& random) {
  RegisterStringFunctions(*this);
  RegisterWidthFunctions(*this);
  RegisterArrayFunctions(*this);
  RegisterMathFunctions(*this, random);
  RegisterDateFunctions(*this);
  RegisterPathFunctions(*this);
  RegisterVariableFunctions(*this);
}

void SysFuncMan::Register(int number, SystemFunctionHandler handler) {
  if (number < 0 || number >= kSystemFunctionCount) return;
  handlers_[static_cast<size_t>(number)] = std::move(handler);
}

bool SysFuncMan::IsRegistered(int number) const {
  return number >= 0 && number < kSystemFunctionCount &&
         static_cast<bool>(handlers_[static_cast<size_t>(number)]);
}

void SysFuncMan::Call(int number, TCustomParam& result, std::span<TCustomParam* const> args,
                      TParamCollection& table) {
  if (number < 0 || number >= kSystemFunctionCount) return;
  const SystemFunctionInfo& info = SystemFunctionAt(number);
  const auto count = static_cast<int>(args.size());
  if (count < info.min_args || (info.max_args >= 0 && count > info.max_args)) {
    throw NovuError(std::string(info.name) + Jp(" 引数の数が不正です"));
  }
  for (TCustomParam* arg : args) {
    if (arg == nullptr) throw NovuError(std::string(info.name) + Jp(" 引数の数が不正です"));
  }
  const SystemFunctionHandler& handler = handlers_[static_cast<size_t>(number)];
  if (handler) handler(FunctionCall(number, result, args, table));
}

ParamType SysFuncMan::PropertyType(int32_t property_id) {
  if (property_types_) return property_types_(property_id);
  return SystemFunctionDispatcher::PropertyType(property_id);
}

}  // namespace novu
