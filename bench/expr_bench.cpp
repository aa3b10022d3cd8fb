// Evaluating compiled expressions: a typical condition and a three-operation arithmetic
// assignment. Each reports operations per second; the anchor is a plain interpreter of the
// same operations that looks every name up in a standard hash map, as a naive evaluator would.
#include <benchmark/benchmark.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "expr/novu_parser.h"
#include "expr/param_collection.h"
#include "ratio.h"

namespace novu {
namespace {

void DeclareInputs(TParamCollection& table) {
  for (const char* name : {"a", "b", "c", "x"}) {
    table.Declare(name, PT_INT, VarScope::kGlobal, nullptr);
  }
  // Some unrelated variables so lookups do not run on an empty table.
  for (int i = 0; i < 200; ++i) {
    table.Declare("var" + std::to_string(i), PT_INT, VarScope::kGlobal, nullptr);
  }
  table.Find("a")->value().SetAsInt(5);
  table.Find("b")->value().SetAsInt(7);
  table.Find("c")->value().SetAsInt(11);
}

void RunExpression(benchmark::State& state, const char* text) {
  TParamCollection table;
  DeclareInputs(table);
  TNovuParser parser;
  parser.LoadFromText(text);
  const auto operations = static_cast<int64_t>(parser.operations().size());
  for (auto _ : state) {
    parser.Evaluate(table);
    benchmark::DoNotOptimize(parser.result());
  }
  state.SetItemsProcessed(state.iterations() * operations);
  state.counters["ops"] = static_cast<double>(operations);
  state.counters["ns_per_op"] = benchmark::Counter(
      static_cast<double>(state.iterations() * operations),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}

// "a >= 2 & a < 9": two comparisons, an and, the result copy (4 operations).
void BM_EvaluateCondition(benchmark::State& state) {
  RunExpression(state, "a >= 2 & a < 9");
}
BENCHMARK(BM_EvaluateCondition);

// "x = a * b + c": multiply, add, assign (3 operations).
void BM_EvaluateAssignment(benchmark::State& state) {
  RunExpression(state, "x = a * b + c");
}
BENCHMARK(BM_EvaluateAssignment);

// The anchor: the same three operations with every operand and target found by name in a
// std::unordered_map, temporaries inserted and erased as the evaluator does.
void BM_NaiveAssignmentAnchor(benchmark::State& state) {
  std::unordered_map<std::string, int> vars = {{"a", 5}, {"b", 7}, {"c", 11}, {"x", 0}};
  for (int i = 0; i < 200; ++i) vars["var" + std::to_string(i)] = 0;
  const std::string a = "a", b = "b", c = "c", x = "x", t0 = "____0", t1 = "____1";
  for (auto _ : state) {
    vars[t0] = vars.at(a) * vars.at(b);
    vars[t1] = vars.at(t0) + vars.at(c);
    vars.at(x) = vars.at(t1);
    vars.erase(t1);
    vars.erase(t0);
    benchmark::DoNotOptimize(vars.at(x));
  }
  state.SetItemsProcessed(state.iterations() * 3);
}
BENCHMARK(BM_NaiveAssignmentAnchor);

// The evaluator does more than the anchor (scoped, case-insensitive lookup, typed values with
// conversions, temporaries as table entries); within twice its cost it stays far above five
// million operations per second.
NOVU_RATIO("Expr/assignment_vs_naive_map", "BM_EvaluateAssignment", "BM_NaiveAssignmentAnchor",
           2.0);

}  // namespace
}  // namespace novu
