// Writes seed variable blocks for the expr_vars fuzz target into the folder given as the
// last argument.
#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/binary_writer.h"
#include "expr/novu_parser.h"
#include "expr/param_collection.h"
#include "platform/file_io.h"

int main(int argc, char** argv) {
  using namespace novu;
  if (argc < 2) return 2;
  const std::string folder = argv[argc - 1];
  std::filesystem::create_directories(folder);
  TParamCollection table;
  for (auto [name, type] :
       {std::pair{"i", PT_INT}, {"f", PT_FLOAT}, {"b", PT_BOOL}, {"s", PT_STR}}) {
    table.Declare(name, type, VarScope::kGlobal, nullptr);
  }
  const std::array<int32_t, 2> dims = {2, 3};
  table.Find("s")->value().SetDims(dims);
  table.Find("s")->value().SetStrAt(5, "last");
  table.SetDepth(2);
  table.Declare("loc", PT_INT, VarScope::kLocal, nullptr)->value().SetAsInt(4);
  table.Declare("st", PT_STR, VarScope::kStatus, nullptr)->value().SetAsStr("kept");
  TParamCollectionItem* ref = table.Add(PT_NONE);
  ref->SetName("r");
  const std::vector<std::string> pushed = {"i", "s", "@TextDelay"};
  table.PushVars(pushed);
  table.SetSelStr("sel");

  const std::vector<std::pair<std::string, uint8_t>> seeds = {{"game", 0}, {"status", 1}};
  for (const auto& [name, kind] : seeds) {
    BinaryWriter out;
    out.U8(kind);
    kind == 0 ? table.SaveToStream(out) : table.SaveStatusToStream(out);
    platform::WriteFileAtomically(folder + "/" + name, out.bytes());
  }
  return 0;
}
