#pragma once
// The variables of a table as JSON, for headless runs and tests:
//   {"variables":[{"name":"x","type":"int","scope":"global","dims":[],"values":[3]}, ...]}
// System variables and evaluator temporaries are left out; names and texts are UTF-8.
#include <string>

namespace novu {

class TParamCollection;

std::string DumpVariablesJson(const TParamCollection& vars);

}  // namespace novu
