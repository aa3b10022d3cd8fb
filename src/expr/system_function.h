#pragma once
// The function-name table of expressions: 159 functions numbered 0 to 158. The number, not the
// name, is stored in compiled expressions, so the numbering binds script pages. The functions
// themselves are run by a SystemFunctionDispatcher the player installs in the variable
// table's evaluator context.
#include <cstdint>
#include <span>
#include <string_view>

#include "expr/param_type.h"

namespace novu {

class TCustomParam;
class TParamCollection;

struct SystemFunctionInfo {
  std::string_view name;
  int8_t min_args;
  int8_t max_args;  // -1: no maximum
  // PT_NONE for GetProp, whose result has the type of the property read.
  ParamType result_type;
};

inline constexpr int kSystemFunctionCount = 159;
inline constexpr int kGetPropFunction = 2;
inline constexpr int kCalcFunction = 136;
// Property ids run from 0 to this.
inline constexpr int32_t kMaxPropertyId = 162;

const SystemFunctionInfo& SystemFunctionAt(int number);
// Exact, case-sensitive lookup; -1 when there is no such function.
int FindSystemFunction(std::string_view name);

// Runs the functions; the player's function manager implements it. The default runs nothing,
// so every call leaves its result at the zero value.
class SystemFunctionDispatcher {
 public:
  virtual ~SystemFunctionDispatcher() = default;
  // `result` is the call's temporary (its type is the function's result type); `args` are
  // the operands in source order, variables as resolved references.
  virtual void Call(int number, TCustomParam& result, std::span<TCustomParam* const> args,
                    TParamCollection& table);
  // The type of property `property_id` (0..kMaxPropertyId), for the temporary of GetProp.
  virtual ParamType PropertyType(int32_t property_id);
};

}  // namespace novu
