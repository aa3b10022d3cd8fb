#pragma once
// The motion file (".nmt"): a header and the film's tracks. The tag is "NovuCinema" or
// "NovuMotion" (either serves both uses) followed by three version digits; fields that came with
// later versions are read only from files that have them. Real numbers are 8-byte doubles; a
// file whose tracks do not end exactly at its end is refused as damaged, so a file written with
// wider reals is never half-read.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/geometry.h"
#include "render/frame_list.h"

namespace novu::render {

class FilmFile {
 public:
  static constexpr std::string_view kCinemaMagic = "NovuCinema";
  static constexpr std::string_view kMotionMagic = "NovuMotion";
  static constexpr int kOldestVersion = 100;
  static constexpr int kNewestVersion = 108;

  // Reads a whole file. A file that starts with neither magic gives an empty film (no tracks,
  // length 0); a damaged one (cut short, trailing bytes, a track kind that does not exist, a
  // count the bytes cannot hold, a version that is not three digits) throws NovuError and leaves
  // the film empty.
  void Load(std::span<const uint8_t> data);
  // Whether the data begins with a tag that Load reads.
  static bool HasMagic(std::span<const uint8_t> data);
  // The file bytes for the film's own magic and version.
  std::vector<uint8_t> Save() const;
  void Clear();

  // Links every track to its parent by the stored indexes: only 0 <= index < count, never the
  // track itself and never closing a cycle; any other index leaves the track without a parent.
  // Then computes the absolute starts and the film's length.
  void Link();

  // --- header (values as stored) ---
  std::string magic{kMotionMagic};
  int version = kNewestVersion;
  Point screen;
  int32_t background = -1;
  uint8_t relative = 0;
  Point reference;
  int32_t loop_start = 0;

  // The frame a looping film resumes at (doubled for files of version 106 and older).
  int32_t LoopStart() const;
  // The end of the last track's window, in film frames (0 without tracks).
  int32_t Length() const { return length_; }

  std::vector<std::unique_ptr<TCustomFrameList>>& lists() { return lists_; }
  const std::vector<std::unique_ptr<TCustomFrameList>>& lists() const { return lists_; }

 private:
  std::vector<std::unique_ptr<TCustomFrameList>> lists_;
  int32_t length_ = 0;
};

// Resolves a name stored in a film against the film's folder: "..\" climbs one folder (never
// above the data root, wherever it stands in the name), names starting with a backslash or
// holding a drive colon are absolute, others are relative to the folder. '\' and '/' both
// delimit; the result is joined with '\' and has no leading delimiter.
std::string ResolveFilmName(std::string_view folder, std::string_view name);
// The folder part of a file name, up to and including its last path delimiter.
std::string FilmFolderOf(std::string_view file_name);

}  // namespace novu::render
