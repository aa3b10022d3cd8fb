// Data tables of 100 000 records (a 20-byte name, an integer score, a float and a flag):
// DBLocate's search for a name held only by the last record, and DBSort by score descending
// then name ascending. The anchors do the same over a vector of plain structs with std::find_if
// and std::stable_sort.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "expr/db_table.h"
#include "expr/param_values.h"
#include "ratio.h"

namespace novu {
namespace {

constexpr int kRecords = 100000;

struct Row {
  char name[21];
  int32_t score;
  long double weight;
  bool ok;
};

// The same rows for both sides: names item000000.. in a scrambled order, scores 0..999.
std::vector<Row> Rows() {
  std::vector<Row> rows(kRecords);
  uint32_t seed = 12345;
  for (int i = 0; i < kRecords; ++i) {
    seed = seed * 1103515245u + 12345u;
    Row& row = rows[static_cast<size_t>(i)];
    std::snprintf(row.name, sizeof row.name, "item%06u", (seed >> 8) % 1000000u);
    row.score = static_cast<int32_t>((seed >> 4) % 1000u);
    row.weight = i * 0.5L;
    row.ok = (seed & 1) != 0;
  }
  std::snprintf(rows.back().name, sizeof rows.back().name, "the last one");
  return rows;
}

TDBTable Table(const std::vector<Row>& rows) {
  TDBTable table("items", false);
  table.AddField("name", PT_STR, 20);
  table.AddField("score", PT_INT, 0);
  table.AddField("weight", PT_FLOAT, 0);
  table.AddField("ok", PT_BOOL, 0);
  for (const Row& row : rows) {
    table.AppendRecord();
    const int32_t r = table.GetRecNo();
    table.SetStr(r, 0, row.name);
    table.SetInt(r, 1, row.score);
    table.SetFloat(r, 2, row.weight);
    table.SetBool(r, 3, row.ok);
  }
  return table;
}

void BM_DBFind100k(benchmark::State& state) {
  const TDBTable table = Table(Rows());
  const TParamStr names("name");
  const TParamStr key("the last one");
  for (auto _ : state) {
    std::vector<int32_t> found = table.Find({&names, &key, false, false});
    benchmark::DoNotOptimize(found.data());
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_DBFind100k)->Unit(benchmark::kMicrosecond);

void BM_StdFindIf100k(benchmark::State& state) {
  const std::vector<Row> rows = Rows();
  const std::string key = "the last one";
  for (auto _ : state) {
    auto it = std::find_if(rows.begin(), rows.end(),
                           [&](const Row& row) { return std::string_view(row.name) == key; });
    benchmark::DoNotOptimize(it);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_StdFindIf100k)->Unit(benchmark::kMicrosecond);

void BM_DBSort100k(benchmark::State& state) {
  const TDBTable unsorted = Table(Rows());
  TParamStr names;
  const int32_t two[] = {2};
  names.SetDims(two);
  names.SetStrAt(0, "score");
  names.SetStrAt(1, "name");
  TParamFlag descending;
  descending.SetDims(two);
  descending.SetBoolAt(0, true);
  for (auto _ : state) {
    state.PauseTiming();
    TDBTable table = unsorted;
    state.ResumeTiming();
    table.Sort(names, descending);
    benchmark::DoNotOptimize(table.GetRecord(0).data());
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_DBSort100k)->Unit(benchmark::kMillisecond);

void BM_StdStableSort100k(benchmark::State& state) {
  const std::vector<Row> unsorted = Rows();
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<Row> rows = unsorted;
    state.ResumeTiming();
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
      if (a.score != b.score) return a.score > b.score;
      return std::strcmp(a.name, b.name) < 0;
    });
    benchmark::DoNotOptimize(rows.data());
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_StdStableSort100k)->Unit(benchmark::kMillisecond);

// Records are byte blocks read through their fields' offsets and types, with no index: the
// search and the sort stay within twice the cost of the same work on plain structs.
NOVU_RATIO("DBFind-100k-records/std-find_if", "BM_DBFind100k", "BM_StdFindIf100k", 2);
NOVU_RATIO("DBSort-100k/std-stable_sort", "BM_DBSort100k", "BM_StdStableSort100k", 2);

}  // namespace
}  // namespace novu
