#pragma once
// A saved game: one entry "GAMESAVEDATA<slot>" of the save file. After the version (the writer
// emits 139; 107 and above are read) come the caption, the resume page and index, the object
// list (with the event queue), the history formats, the interpreter, the ordinary variables
// and, from version 123, the data tables.
//
// Loading is all or nothing: the whole entry is read and checked beside the running game (a
// scene of its own, a queue of its own, the interpreter's state and the variables read into
// scratch) and only then takes the running game's place; a damaged entry changes nothing.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

namespace novu {

class BinaryReader;
class BinaryWriter;
class ScriptEventQueue;
class TCallMan;
class TNovuBaseList;
class TParamCollection;

inline constexpr int32_t kGameSaveVersion = 139;
inline constexpr int32_t kOldestGameSaveVersion = 107;
// The first version holding the history formats (earlier: the default format's history only).
// The data tables join at kFirstSaveVersionWithTables (engine/game_save_tables.h).
inline constexpr int32_t kHistoryFormatsVersion = 135;

inline constexpr std::string_view kGameSaveEntryPrefix = "GAMESAVEDATA";
// The screen picture of a slot, a layered image beside the slot's entry.
inline constexpr std::string_view kGameSaveImagePrefix = "GAMESAVEIMAGE";

std::string GameSaveEntryName(int32_t slot);
std::string GameSaveImageName(int32_t slot);
// The slot of an entry named "GAMESAVEDATA" and a number (no sign, at most INT32_MAX).
std::optional<int32_t> GameSaveSlotOf(std::string_view entry_name);

// What the player says about a save it cannot use.
inline constexpr std::string_view kOldSaveMessage =
    "セーブファイルの形式が古いため読めません\r\nsave.dat を削除してから実行してください";
inline constexpr std::string_view kUnusableSaveMessage =
    "このセーブデータは使用できません\r\n終了してください";

struct GameSaveHeader {
  int32_t version = kGameSaveVersion;
  std::string caption;
  std::string resume_page;  // empty: the game goes on where it was saved
  int32_t resume_index = 0;
};

// An entry's version too old to read: its message is kOldSaveMessage (CP932).
class OldGameSaveError : public NovuError {
 public:
  OldGameSaveError();
};

// Reads the fields before the object list. A version below 107 raises the old-save message;
// one above 139 (a newer player's) is refused too.
GameSaveHeader ReadGameSaveHeader(BinaryReader& in);
// The caption alone, for save lists (no version check).
std::string ReadGameSaveCaption(std::span<const uint8_t> entry);

// A part of the game another subsystem keeps (history formats, data tables), in its place in
// the entry. Reading goes in two steps so that a damaged save changes nothing.
class GameSaveBlock {
 public:
  virtual ~GameSaveBlock() = default;
  virtual void Save(BinaryWriter& out) const = 0;
  // Reads (and checks) the block of an entry of `version` into a pending state.
  virtual void Read(BinaryReader& in, int32_t version) = 0;
  // Makes the pending state current.
  virtual void Commit() = 0;
};

// Until the history is kept, its block is written empty and read past.
class EmptyHistoryBlock final : public GameSaveBlock {
 public:
  void Save(BinaryWriter& out) const override;
  void Read(BinaryReader& in, int32_t version) override;
  void Commit() override {}
};

// The parts of the running game a save holds.
struct GameWorld {
  TNovuBaseList* objects;  // none: an empty scene is saved, and only one can be loaded
  ScriptEventQueue& events;
  TCallMan& calls;
  TParamCollection& vars;
  GameSaveBlock& history;
  GameSaveBlock& tables;
};

std::vector<uint8_t> WriteGameSave(const GameWorld& world, const GameSaveHeader& header);
// Restores a saved game; on any failure (NovuError, with OldGameSaveError for an entry too old)
// the running game is left exactly as it was.
void LoadGameSave(GameWorld& world, std::span<const uint8_t> entry);

}  // namespace novu
