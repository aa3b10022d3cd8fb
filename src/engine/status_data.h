#pragma once
// The status data: what survives from one run of the game to the next, kept in the save file's
// entry "STATUSSAVEDATA". After the header "Status103" come the status variables, the read
// marks, the image-collection status and the status data tables. The blocks after the variables
// belong to subsystems that keep them; until those read them, their bytes are carried over
// unchanged, and blocks missing from an older entry are written in their empty form (the
// tables block from the table manager's status tables).
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace novu {

class TDBManager;
class TFipoCollection;
class TNovuReadList;
class TParamCollection;

inline constexpr std::string_view kStatusEntryName = "STATUSSAVEDATA";
inline constexpr int32_t kStatusVersion = 103;

class StatusData {
 public:
  // Reads an entry into the variable table; raises NovuError on damaged data.
  void Read(std::span<const uint8_t> entry, TParamCollection& vars);
  // The entry for the variable table's status variables and the carried blocks.
  std::vector<uint8_t> Write(const TParamCollection& vars) const;

  int32_t version() const { return version_; }
  // The image cache whose dither flag the image-collection block holds: read into it, and
  // written from it.
  void SetImageCache(TFipoCollection* images) { images_ = images; }
  // The read marks the read-mark block holds: read into it, and written from it.
  void SetReadList(TNovuReadList* reads) { reads_ = reads; }
  // The tables whose status tables the tables block holds: read into it (from version 103;
  // damaged tables raise NovuError), and written from it.
  void SetTables(TDBManager* tables) { tables_ = tables; }

 private:
  int32_t version_ = kStatusVersion;
  // The version whose blocks blocks_ holds; 0 before anything was read (none of them).
  int32_t blocks_version_ = 0;
  // The read marks, image-collection status and data tables as read (possibly fewer blocks).
  std::vector<uint8_t> blocks_;
  // Where the dither flag sits in blocks_, when the blocks before it could be read.
  std::optional<size_t> dither_at_;
  // Where the read marks end in blocks_, when they could be read.
  std::optional<size_t> read_marks_end_;
  // Where the tables block begins and ends in blocks_, when it was read into the manager.
  std::optional<std::pair<size_t, size_t>> tables_at_;
  TFipoCollection* images_ = nullptr;
  TNovuReadList* reads_ = nullptr;
  TDBManager* tables_ = nullptr;
};

}  // namespace novu
