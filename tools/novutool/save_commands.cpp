// Save-file commands: the game slots of a save.dat.
#include <cstdio>
#include <filesystem>
#include <string>

#include "core/binary_reader.h"
#include "engine/game_save.h"
#include "platform/error.h"
#include "platform/text_encoding.h"
#include "storage/vr_file_collection.h"
#include "tool_command.h"

namespace novu::tool {
namespace {

namespace fs = std::filesystem;

// An archive entry's packed local time as "YYYY-MM-DD hh:mm:ss".
std::string EntryTime(int32_t packed_time) {
  const auto t = static_cast<uint32_t>(packed_time);
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", 1980 + (t >> 25),
                (t >> 21) & 15, (t >> 16) & 31, (t >> 11) & 31, (t >> 5) & 63, (t & 31) * 2);
  return text;
}

int RunSaveList(Args args) {
  if (args.size() != 1) return Usage("save list");
  if (!fs::is_regular_file(args[0])) return Fail("not a file: " + args[0]);
  TVrFileCollection save;
  save.Open(args[0]);
  std::printf("%6s  %8s  %10s  %-19s  %s\n", "slot", "version", "size", "time", "caption");
  int slots = 0;
  for (int i = 0; i < save.Count(); ++i) {
    const TVrFile& entry = save.Entry(i);
    const auto slot = GameSaveSlotOf(entry.Name());
    if (!slot) continue;
    ++slots;
    std::string version = "?";
    std::string caption = "(unreadable)";
    try {
      const std::vector<uint8_t> data = save.ReadEntry(entry);
      BinaryReader in(data);
      version = std::to_string(in.I32());
      caption = platform::Cp932ToUtf8(in.String());
    } catch (const NovuError&) {
    }
    std::printf("%6d  %8s  %10lld  %-19s  %s\n", *slot, version.c_str(),
                static_cast<long long>(entry.size), EntryTime(entry.time).c_str(), caption.c_str());
  }
  std::printf("%d slots\n", slots);
  return 0;
}

}  // namespace

NOVU_TOOL_COMMAND("save list", "SAVE.DAT",
                  "the game slots of a save file: slot, version, size, time and caption",
                  RunSaveList);

}  // namespace novu::tool
