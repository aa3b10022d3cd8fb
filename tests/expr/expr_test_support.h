#pragma once
// Small helpers shared by the expression tests.
#include <functional>
#include <string>
#include <string_view>

#include "expr/novu_parser.h"
#include "expr/param_collection.h"
#include "platform/error.h"

namespace novu::test {

// The result of evaluating a text: its type and text, or "(none)".
struct Outcome {
  ParamType type = PT_NONE;
  std::string text = "(none)";
};

inline Outcome Evaluate(TParamCollection& table, std::string_view text) {
  TNovuParser parser;
  parser.LoadFromText(text);
  parser.Evaluate(table);
  Outcome out;
  if (const TCustomParam* r = parser.result()) {
    out.type = r->GetParamType();
    out.text = r->GetAsStr();
  }
  return out;
}

inline TParamCollectionItem& Var(TParamCollection& table, std::string_view name, ParamType type,
                                 std::string_view value = {}) {
  TParamCollectionItem* item = table.Declare(name, type, VarScope::kGlobal, nullptr);
  if (!value.empty()) item->value().SetAsStr(value);
  return *item;
}

inline std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const NovuError& e) {
    return e.message();
  }
  return "(no error)";
}

}  // namespace novu::test
