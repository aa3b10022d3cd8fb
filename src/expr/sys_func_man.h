#pragma once
// SysFuncMan: the dispatcher of the system functions. Each family of functions registers its
// handlers by number; the families that need nothing but values and the variable table are
// registered by the constructor, the ones that need objects, the project, files or the screen
// are registered by the player at start-up (see the Register* functions of engine/ and
// shell/). A number with no handler leaves the result at its zero value.
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "expr/custom_param.h"
#include "expr/system_function.h"

namespace novu {

class ProcessRandom;
class TDBManager;
class TVrFileManager;

// One call: the result temporary, the arguments in source order and the table.
class FunctionCall {
 public:
  FunctionCall(int number, TCustomParam& result, std::span<TCustomParam* const> args,
               TParamCollection& table)
      : number_(number), result_(result), args_(args), table_(table) {}

  int number() const { return number_; }
  std::string_view name() const { return SystemFunctionAt(number_).name; }
  TCustomParam& result() const { return result_; }
  TParamCollection& table() const { return table_; }
  size_t count() const { return args_.size(); }
  bool Has(size_t i) const { return i < args_.size() && args_[i] != nullptr; }

  // Argument i read with the getter of the type asked for; `fallback` when it is absent.
  int32_t Int(size_t i, int32_t fallback = 0) const {
    return Has(i) ? args_[i]->GetAsInt() : fallback;
  }
  long double Float(size_t i, long double fallback = 0) const {
    return Has(i) ? args_[i]->GetAsFloat() : fallback;
  }
  bool Bool(size_t i, bool fallback = false) const {
    return Has(i) ? args_[i]->GetAsBool() : fallback;
  }
  std::string Str(size_t i, std::string_view fallback = {}) const {
    return Has(i) ? args_[i]->GetAsStr() : std::string(fallback);
  }
  // The argument object itself (a constant or a reference); nullptr when absent.
  TCustomParam* Arg(size_t i) const { return Has(i) ? args_[i] : nullptr; }
  // Argument i when it names a variable (a reference); nullptr for a constant or when absent.
  TCustomParam* Variable(size_t i) const {
    return Has(i) && args_[i]->IsReference() ? args_[i] : nullptr;
  }
  // As Variable, but a missing variable fails with the function's name followed by
  // ":変数が見つかりません".
  TCustomParam& RequireVariable(size_t i) const;
  // Writes through an output argument; a constant keeps no lasting effect.
  TCustomParam* Output(size_t i) const { return Arg(i); }

 private:
  int number_;
  TCustomParam& result_;
  std::span<TCustomParam* const> args_;
  TParamCollection& table_;
};

using SystemFunctionHandler = std::function<void(const FunctionCall&)>;

class SysFuncMan : public SystemFunctionDispatcher {
 public:
  // Registers every family that lives in expr/ (strings, width conversion, arrays, maths,
  // dates, paths, variables and Calc). Random draws from `random`.
  explicit SysFuncMan(ProcessRandom& random);

  // Installs (or replaces) the handler of function `number` (0..158).
  void Register(int number, SystemFunctionHandler handler);
  bool IsRegistered(int number) const;
  // The catalogue type of a property, for the temporary GetProp writes into; the object
  // layer installs it (text until then).
  void SetPropertyTypes(std::function<ParamType(int32_t)> types) {
    property_types_ = std::move(types);
  }

  // Runs function `number`. A number of 159 or more does nothing; an argument count outside
  // the function's range fails with the function's name and " 引数の数が不正です" before
  // anything runs.
  void Call(int number, TCustomParam& result, std::span<TCustomParam* const> args,
            TParamCollection& table) override;
  ParamType PropertyType(int32_t property_id) override;

 private:
  std::array<SystemFunctionHandler, kSystemFunctionCount> handlers_;
  std::function<ParamType(int32_t)> property_types_;
};

// The families registered by SysFuncMan's constructor, one file each.
void RegisterStringFunctions(SysFuncMan& functions);
void RegisterWidthFunctions(SysFuncMan& functions);
void RegisterArrayFunctions(SysFuncMan& functions);
void RegisterMathFunctions(SysFuncMan& functions, ProcessRandom& random);
void RegisterDateFunctions(SysFuncMan& functions);
void RegisterPathFunctions(SysFuncMan& functions);
void RegisterVariableFunctions(SysFuncMan& functions);
// The data-table functions (87 to 124) over the game's tables; DBLoadTsvFile reads through
// `files`. Registered by the player, which owns both.
void RegisterDataTableFunctions(SysFuncMan& functions, TDBManager& tables, TVrFileManager& files);

}  // namespace novu
