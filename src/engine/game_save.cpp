#include "engine/game_save.h"

#include <memory>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "core/cp932.h"
#include "engine/call_man.h"
#include "engine/event_queue_stream.h"
#include "engine/script_event_queue.h"
#include "expr/param_collection.h"
#include "objects/base_list.h"

namespace novu {
namespace {

// History records: a name and four integers (with the recorded values from version 124).
constexpr size_t kMinHistoryEntryBytes = 4 + 4 * 4;
constexpr size_t kMinHistoryFormatBytes = 4 + 6 * 4;
constexpr int32_t kHistoryEntryRecordsVersion = 113;
constexpr int32_t kHistoryValuesVersion = 124;

void SkipHistoryEntries(BinaryReader& in, int32_t version) {
  const size_t count = in.Count(4);
  if (version >= kHistoryEntryRecordsVersion) {
    for (size_t i = 0; i < count; ++i) {
      in.String();
      in.Skip(4 * 4);
    }
    return;
  }
  for (size_t i = 0; i < count; ++i) in.String();
  in.Skip(count * 4);  // command indexes
  in.Skip(count * 4);  // message page indexes
  in.Skip(count * 8);  // widths and heights
}

void SkipHistoryRecords(BinaryReader& in, int32_t version) {
  const size_t records = in.Count(8);
  for (size_t r = 0; r < records; ++r) {
    const size_t entries = in.Count(kMinHistoryEntryBytes);
    for (size_t e = 0; e < entries; ++e) {
      in.String();
      in.Skip(4 * 4);
      if (version >= kHistoryValuesVersion) in.String();
    }
    in.I32();  // total height
  }
}

// One format's history.
void SkipHistory(BinaryReader& in, int32_t version) {
  if (version < kHistoryEntryRecordsVersion) in.String();
  SkipHistoryEntries(in, version);
  in.String();     // pending page
  in.Skip(4 * 4);  // command index, message page index, width, height
  in.String();     // pending window
  if (version < kHistoryEntryRecordsVersion) return;
  in.Skip(4 + 6 * 4);  // maximum count, the document's six settings
  in.Skip(2 * 4);      // first and last position
  SkipHistoryRecords(in, version);
  if (version >= kHistoryValuesVersion) in.String();
}

void WriteEmptyHistory(BinaryWriter& out) {
  out.I32(0);      // entries
  out.String({});  // pending page
  for (int i = 0; i < 4; ++i) out.I32(0);
  out.String({});                          // pending window
  for (int i = 0; i < 7; ++i) out.I32(0);  // maximum count, six settings
  out.I32(0);                              // first position
  out.I32(0);                              // last position
  out.I32(0);                              // records
  out.String({});                          // pending values
}

std::string SlotName(std::string_view prefix, int32_t slot) {
  return std::string(prefix) + std::to_string(slot);
}

}  // namespace

OldGameSaveError::OldGameSaveError() : NovuError(Jp(kOldSaveMessage)) {}

std::string GameSaveEntryName(int32_t slot) {
  return SlotName(kGameSaveEntryPrefix, slot);
}

std::string GameSaveImageName(int32_t slot) {
  return SlotName(kGameSaveImagePrefix, slot);
}

std::optional<int32_t> GameSaveSlotOf(std::string_view entry) {
  const std::string_view prefix = kGameSaveEntryPrefix;
  if (entry.size() <= prefix.size() ||
      !cp932::EqualsNoCase(entry.substr(0, prefix.size()), prefix)) {
    return std::nullopt;
  }
  int64_t slot = 0;
  for (char c : entry.substr(prefix.size())) {
    if (c < '0' || c > '9') return std::nullopt;
    slot = slot * 10 + (c - '0');
    if (slot > INT32_MAX) return std::nullopt;
  }
  return static_cast<int32_t>(slot);
}

GameSaveHeader ReadGameSaveHeader(BinaryReader& in) {
  GameSaveHeader header;
  header.version = in.I32();
  if (header.version < kOldestGameSaveVersion) throw OldGameSaveError();
  if (header.version > kGameSaveVersion) {
    throw NovuError("save version " + std::to_string(header.version) + " is newer than " +
                    std::to_string(kGameSaveVersion));
  }
  header.caption = in.String();
  header.resume_page = in.String();
  header.resume_index = in.I32();
  return header;
}

std::string ReadGameSaveCaption(std::span<const uint8_t> entry) {
  BinaryReader in(entry);
  in.I32();
  return in.String();
}

void EmptyHistoryBlock::Save(BinaryWriter& out) const {
  out.I32(1);  // formats: the default one, unnamed and unformatted
  out.String({});
  for (int i = 0; i < 6; ++i) out.I32(0);
  WriteEmptyHistory(out);
}

void EmptyHistoryBlock::Read(BinaryReader& in, int32_t version) {
  if (version < kHistoryFormatsVersion) {
    SkipHistory(in, version);
    return;
  }
  const size_t formats = in.Count(kMinHistoryFormatBytes);
  for (size_t i = 0; i < formats; ++i) {
    in.String();
    in.Skip(6 * 4);
    SkipHistory(in, version);
  }
}

std::vector<uint8_t> WriteGameSave(const GameWorld& world, const GameSaveHeader& header) {
  BinaryWriter out;
  out.I32(kGameSaveVersion);
  out.String(header.caption);
  out.String(header.resume_page);
  out.I32(header.resume_index);
  if (world.objects != nullptr) {
    world.objects->SaveToStream(out);
  } else {
    TNovuBaseList().SaveToStream(out);
  }
  world.history.Save(out);
  world.calls.SaveToStream(out);
  world.vars.SaveToStream(out);
  world.tables.Save(out);
  return out.Take();
}

void LoadGameSave(GameWorld& world, std::span<const uint8_t> entry) {
  BinaryReader in(entry);
  const GameSaveHeader header = ReadGameSaveHeader(in);
  const int32_t version = header.version;

  // Everything is read beside the running game first.
  // The queue outlives the scene: objects leave it as they are freed.
  ScriptEventQueue events;
  TNovuBaseList empty_scene;
  TNovuBaseList& live = world.objects != nullptr ? *world.objects : empty_scene;
  std::unique_ptr<TNovuBaseList> scene = live.MakeSceneAside();
  TNovuBaseList& aside = *scene;
  ScriptEventQueueStreamer streamer{events, aside};
  scene->SetEventQueue(&events, &streamer);
  scene->LoadFromStream(in, version);
  world.history.Read(in, version);
  auto calls = world.calls.ReadState(
      in, [&aside](std::string_view name) { return aside.FindComponent(name) != nullptr; },
      header.resume_page, header.resume_index);
  BinaryReader vars_in = in;
  world.vars.ProbeFromStream(in, version);
  world.tables.Read(in, version);

  // Then it takes the running game's place.
  live.AdoptScene(*scene);
  if (world.objects != nullptr) world.events.TakeEntries(std::move(events));
  world.calls.Adopt(std::move(calls));
  world.vars.LoadFromStream(vars_in, version);
  world.history.Commit();
  world.tables.Commit();
}

}  // namespace novu
