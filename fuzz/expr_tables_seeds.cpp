// Writes seeds for the data-table fuzz targets into the folder given as the last argument:
// "tsv" for data files, "block" for tables blocks.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/binary_writer.h"
#include "expr/db_manager.h"
#include "platform/file_io.h"

namespace {

constexpr std::string_view kTsvSeeds[] = {
    "name str 20\tprice int\tweight float\tripe bool\r\nred\t120\t1.5\tTRUE\r\n"
    "red apples\t300\t2.5\tfalse\r\n\r\n\x82\xe8\x82\xf1\x82\xb2\t80\t0.5\t1\r\n",
    "a\tb INT 4\tc str -1\td str 99999\ne\\\"s\\\\c\\n\t\x95\\\tx\ty\tz\n\t\t\n",
    " bad int\n1\n",
    "n int\n$7F\n-2147483648\n2147483648\n  5  \n",
};

}  // namespace

int main(int argc, char** argv) {
  using namespace novu;
  if (argc < 3) return 2;
  const std::string mode = argv[1];
  const std::string folder = argv[argc - 1];
  std::filesystem::create_directories(folder);
  if (mode == "tsv") {
    int i = 0;
    for (const std::string_view seed : kTsvSeeds) {
      platform::WriteFileAtomically(
          folder + "/tsv" + std::to_string(i++),
          std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(seed.data()), seed.size()));
    }
    return 0;
  }
  TDBManager tables;
  tables.CreateTable("items", false);
  tables.ActiveTable()->LoadFromTsv(std::vector<std::string>{
      "name str 6\tcount int\tprice float\tok bool", "sword\t1\t2.5\tTRUE", "shield\t2\t10\t"});
  tables.CreateTable("flags", true);
  tables.ActiveTable()->LoadFromTsv(std::vector<std::string>{"flag str 8", "seen"});
  for (const bool status : {false, true}) {
    BinaryWriter out;
    out.U8(status ? 1 : 0);
    tables.SaveTables(out, status);
    platform::WriteFileAtomically(folder + (status ? "/status" : "/game"), out.bytes());
  }
  // A saved game's block holding a status table that it names active: the table would vanish
  // from the next save, so such a block is refused.
  BinaryWriter mixed;
  mixed.U8(0);
  tables.SaveTables(mixed, true);
  mixed.String("flags");
  platform::WriteFileAtomically(folder + "/game-holding-a-status-table", mixed.bytes());
  return 0;
}
