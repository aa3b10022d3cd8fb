#pragma once
// The status data: what survives from one run of the game to the next, kept in the save file's
// entry "STATUSSAVEDATA". After the header "Status103" come the status variables, the read
// marks, the image-collection status and the status data tables. The blocks after the variables
// belong to subsystems that keep them; until those read them, their bytes are carried over
// unchanged, and blocks missing from an older entry are written in their empty form.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace novu {

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
  TFipoCollection* images_ = nullptr;
  TNovuReadList* reads_ = nullptr;
};

}  // namespace novu
