#pragma once
// TFipoFrameList: the frames of a layered image file (".fip"), read from memory or from a file,
// and written back (the screen capture, and novutool). Loading by file name also opens PNG and
// Windows bitmap files into a one-frame list, so callers handle every image kind alike.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "imagefmt/fipo_format.h"
#include "imagefmt/fipo_frame.h"

namespace novu::imagefmt {

// Caps on what one file may make the reader allocate; a file asking for more is rejected.
struct ReadLimits {
  int64_t max_picture_bytes = int64_t{256} << 20;  // one picture or layer
  int64_t max_total_bytes = int64_t{1} << 30;      // every picture, layer and mask of the file
};

struct SaveOptions {
  Compression compression = Compression::kDeflate;
  int quality = 70;  // JPEG quality for Compression::kJpeg
  // zlib level for Compression::kDeflate. Captures are taken while the game runs and use the
  // fastest level; tools making pictures for a game can afford smaller files that also load
  // faster.
  int deflate_level = 1;
  // Scramble rows and blocks with the list's identification code; by default whenever the list
  // has one. Scrambled pictures are always stored uncompressed.
  std::optional<bool> scramble;
  // Store pictures (not JPEG colour data) in blocks of this size; 0 × 0 stores rows.
  int32_t block_width = 0;
  int32_t block_height = 0;
};

class TFipoFrameList {
 public:
  // `code` is the project's identification code that unscrambles rows and blocks (0: none).
  explicit TFipoFrameList(int32_t code = 0) : code_(code) {}

  // Reads a layered image (data without the magic are a legacy file of version 0). The list is
  // cleared first; on failure it is left empty and NovuError is thrown.
  void LoadFromStream(std::span<const uint8_t> data, bool first_frame_only = false,
                      bool keep_layers = false);
  // By the extension: ".fip" the format above, ".png" and ".bmp"/".dib" as one frame; other
  // names leave the list empty. Throws NovuError when the file cannot be read.
  void LoadFromFile(const std::filesystem::path& path, bool first_frame_only = false);

  int Count() const { return static_cast<int>(frames_.size()); }
  TFipoFrame& Frames(int i) { return frames_.at(static_cast<size_t>(i)); }
  const TFipoFrame& Frames(int i) const { return frames_.at(static_cast<size_t>(i)); }
  void Clear();
  TFipoFrame& AddFrame();
  void MakeMasks();

  std::vector<uint8_t> SaveToStream(const SaveOptions& options) const;
  // "Default compression", quality 70, crash-safe (temporary file, then rename).
  void SaveToFile(const std::filesystem::path& path) const;

  int32_t Code() const { return code_; }
  int32_t Version() const { return version_; }
  int32_t BackgroundColour() const { return background_; }
  void SetBackgroundColour(int32_t colour) { background_ = colour; }
  bool BaseLayerOpaque() const { return base_layer_opaque_; }
  void SetBaseLayerOpaque(bool opaque) { base_layer_opaque_ = opaque; }
  ReadLimits& Limits() { return limits_; }

 private:
  friend class FipoReader;

  int32_t code_;
  int32_t version_ = 0;
  int32_t background_ = 0;
  bool base_layer_opaque_ = false;
  ReadLimits limits_;
  std::vector<TFipoFrame> frames_;
};

}  // namespace novu::imagefmt
