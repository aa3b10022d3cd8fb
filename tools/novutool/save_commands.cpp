// Save-file commands: the game slots of a save.dat.
#include <cstdio>
#include <filesystem>
#include <string>

#include "controls/control_factory.h"
#include "core/binary_reader.h"
#include "engine/call_man.h"
#include "engine/game_save.h"
#include "engine/game_save_report.h"
#include "imagefmt/fipo_frame_list.h"
#include "imagefmt/picture_conversion.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "platform/text_encoding.h"
#include "storage/vr_file_collection.h"
#include "storage/vr_file_manager.h"
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

// The pages of the game a save belongs to: its game.dat and its loose files.
class GamePages final : public CallManHost {
 public:
  explicit GamePages(const fs::path& game) {
    const fs::path folder = fs::is_directory(game) ? game : game.parent_path();
    if (fs::is_regular_file(game)) files_.AddArchive(game);
    if (fs::is_regular_file(folder / "game.dat")) files_.AddArchive(folder / "game.dat");
    files_.AddArchive(folder.empty() ? fs::path(".") : folder);
  }
  bool FileAvailable(std::string_view name) override { return files_.Exists(name); }
  std::vector<uint8_t> LoadPageFile(std::string_view name) override {
    return files_.LoadFile(name);
  }
  void PageNeedsRebuild(std::string_view /*name*/) override {}

 private:
  TVrFileManager files_{std::vector<fs::path>{}};
};

// A slot number as given on the command line.
std::optional<int32_t> ParseSlot(const std::string& text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  int64_t slot = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    slot = slot * 10 + (c - '0');
  }
  if (slot > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(slot);
}

// The bytes of entry `name` of a save file; none (reported) when it is missing.
std::optional<std::vector<uint8_t>> ReadSaveEntry(const std::string& save_path,
                                                  const std::string& name) {
  if (!fs::is_regular_file(save_path)) {
    Fail("not a file: " + save_path);
    return std::nullopt;
  }
  TVrFileCollection save;
  save.Open(save_path);
  const TVrFile* entry = save.FindEntry(name);
  if (entry == nullptr) {
    Fail(save_path + " holds no " + name);
    return std::nullopt;
  }
  return save.ReadEntry(*entry);
}

int RunSaveShow(Args args) {
  std::string game = TakeOption(args, "--game");
  if (args.size() != 2) return Usage("save show");
  const std::optional<int32_t> slot = ParseSlot(args[1]);
  if (!slot) return Fail("not a slot number: " + args[1]);
  if (game.empty()) game = fs::path(args[0]).parent_path().string();
  const auto entry = ReadSaveEntry(args[0], GameSaveEntryName(*slot));
  if (!entry) return 1;
  GamePages pages(game.empty() ? fs::path(".") : fs::path(game));
  std::string account;
  try {
    account = DescribeGameSave(*entry, pages, MakeControlFactory(ImageEnvironment{}));
  } catch (const NovuError& e) {
    return Fail("slot " + args[1] + " cannot be read (its pages come from " +
                (game.empty() ? std::string(".") : game) + "): " + e.Utf8Message());
  }
  std::printf("slot %d\n%s", *slot, account.c_str());
  return 0;
}

int RunSaveExtract(Args args) {
  const std::string out = TakeOption(args, "-o");
  if (args.size() != 2 || out.empty()) return Usage("save extract");
  const std::optional<int32_t> slot = ParseSlot(args[1]);
  if (!slot) return Fail("not a slot number: " + args[1]);
  const auto entry = ReadSaveEntry(args[0], GameSaveImageName(*slot));
  if (!entry) return 1;
  imagefmt::TFipoFrameList image;
  image.LoadFromStream(*entry, true);
  if (image.Count() < 1) return Fail(GameSaveImageName(*slot) + " holds no picture");
  platform::WriteFileAtomically(out, imagefmt::EncodeFramePng(image.Frames(0)));
  return 0;
}

}  // namespace

NOVU_TOOL_COMMAND("save extract", "SAVE.DAT SLOT -o OUT.png",
                  "the screen picture saved with a game slot, as PNG", RunSaveExtract);

NOVU_TOOL_COMMAND("save show", "SAVE.DAT SLOT [--game GAME]",
                  "one game slot in words: caption, version, resume position, the interpreter's "
                  "page and call stack, variables, objects and queued events; the pages come "
                  "from GAME (a game.dat or a game folder; default: the folder of SAVE.DAT)",
                  RunSaveShow);

NOVU_TOOL_COMMAND("save list", "SAVE.DAT",
                  "the game slots of a save file: slot, version, size, time and caption",
                  RunSaveList);

}  // namespace novu::tool
