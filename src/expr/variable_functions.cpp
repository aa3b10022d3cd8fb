// Functions on the variable table itself: lookups by name, @Temp, types, the variable stack and
// Calc, which compiles and runs a text as an expression.
#include "expr/novu_parser.h"
#include "expr/param_collection.h"
#include "expr/sys_func_man.h"

namespace novu {

void RegisterVariableFunctions(SysFuncMan& f) {
  f.Register(
      50, [](const FunctionCall& c) { c.result().SetAsBool(c.table().Find(c.Str(0)) != nullptr); });
  f.Register(84, [](const FunctionCall& c) {
    const std::string name = c.Str(0);
    if (c.table().Find(name) == nullptr) return;
    c.table().SetAssignTempName(name);
    c.result().SetAsBool(true);
  });
  f.Register(130, [](const FunctionCall& c) { c.result().SetAsInt(c.Arg(0)->GetParamType()); });
  f.Register(136, [](const FunctionCall& c) {
    const std::string text = c.Str(0);
    if (text.empty()) return;
    TNovuParser nested;
    nested.LoadFromText(text);  // a compile error ends the calling evaluation
    nested.Evaluate(c.table());
    if (!text.empty()) c.result().SetAsStr("TRUE");
  });
  f.Register(155, [](const FunctionCall& c) {
    std::vector<std::string> names;
    for (size_t i = 0; i < c.count(); ++i) names.push_back(c.Str(i));
    c.table().PushVars(names);
    c.result().SetAsBool(true);
  });
  f.Register(156, [](const FunctionCall& c) {
    c.table().PopVars();
    c.result().SetAsBool(true);
  });
}

}  // namespace novu
