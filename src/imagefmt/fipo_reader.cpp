// Reading layered image files into TFipoFrameList: frames, layers, the raw layouts, and the
// composition of each frame's visible layers into its picture.
#include <string>

#include "imagefmt/fipo_frame_list.h"
#include "imagefmt/jpeg_codec.h"
#include "imagefmt/raw_layout.h"
#include "platform/error.h"
#include "render/pixel_format.h"

namespace novu::imagefmt {
namespace {

using render::Rect;
using render::TDIBSurface;

// Smallest possible records, for checking counts against the bytes left.
constexpr size_t kMinFrameBytes = 4 + 4 + 4 + 1 + 4 + 4 + 4 + 4 + 4;
constexpr size_t kMinLayerBytes = 8 + 1 + 4 + 4 + 4 + 4;
constexpr size_t kRectBytes = 16;

int64_t PictureBytes(int32_t width, int32_t height, int depth) {
  const int storage = render::PixelFormat::ForDepth(depth).storage_bits;
  const int64_t stride = ((int64_t{width} * storage + 31) / 32) * 4;
  return stride * height;
}

}  // namespace

class FipoReader {
 public:
  FipoReader(TFipoFrameList& list, std::span<const uint8_t> data, bool keep_layers)
      : list_(list), in_(data), keep_layers_(keep_layers) {}

  void Read(bool first_frame_only) {
    header_ = ReadFipoHeader(in_);
    list_.version_ = header_.version;
    list_.background_ = header_.background;
    list_.base_layer_opaque_ = header_.base_layer_opaque;
    size_t count = in_.CheckCount(header_.frame_count, kMinFrameBytes);
    if (first_frame_only && count > 1) count = 1;
    list_.frames_.reserve(count);
    frame_count_ = count;
    for (size_t f = 0; f < count; ++f) list_.frames_.push_back(ReadFrame(f));
  }

 private:
  bool Blocks() const {
    return header_.version >= kVersionHeaderRecord && header_.HasBlocks() &&
           header_.compression != Compression::kJpeg;
  }
  bool Scrambled() const {
    return header_.version >= kVersionHeaderRecord && header_.scrambled &&
           header_.compression != Compression::kJpeg;
  }

  void Reserve(int32_t width, int32_t height, int depth) {
    const int64_t bytes = PictureBytes(width, height, depth);
    if (bytes > list_.limits_.max_picture_bytes ||
        total_bytes_ + bytes > list_.limits_.max_total_bytes) {
      throw NovuError::FromUtf8("Layered image: pictures too large (" + std::to_string(width) +
                                " x " + std::to_string(height) + " x " + std::to_string(depth) +
                                ")");
    }
    total_bytes_ += bytes;
  }

  // Size, depth and palette of the frame being read; `swatch` is a 1 × 1 picture of its format.
  struct FrameShape {
    int32_t width = 0;
    int32_t height = 0;
    TDIBSurface swatch;
  };

  // The frame's picture comes into being only when a layer is drawn onto it (or none is
  // drawn): a first layer that covers it hands its own pixels over instead.
  void EnsurePicture(TDIBSurface& picture, const FrameShape& shape) {
    if (!picture.IsEmpty()) return;
    picture.SetSize(shape.width, shape.height, shape.swatch.BitCount());
    picture.Palette() = shape.swatch.Palette();
    const auto bg = static_cast<uint32_t>(list_.background_);
    const uint32_t raw = picture.NearestPixel(
        static_cast<uint8_t>(bg), static_cast<uint8_t>(bg >> 8), static_cast<uint8_t>(bg >> 16));
    if (raw != 0) picture.FillRect(picture.Bounds(), raw);  // new pictures are all zero
  }

  TFipoFrame ReadFrame(size_t frame_index) {
    TFipoFrame frame;
    frame.name = in_.String();
    frame.key_value = in_.I32();
    frame.duration = in_.I32();
    in_.Skip(1 + 4);
    const int32_t layer_count = in_.I32();
    FrameShape shape;
    shape.width = in_.I32();
    shape.height = in_.I32();
    const int32_t depth = in_.I32();
    if (shape.width <= 0 || shape.height <= 0) {
      throw NovuError::FromUtf8("Layered image: bad picture size " + std::to_string(shape.width) +
                                " x " + std::to_string(shape.height));
    }
    if (!render::PixelFormat::IsSupportedDepth(depth) || depth == 0) {
      throw NovuError::FromUtf8("Layered image: bad bit count " + std::to_string(depth));
    }
    const size_t layers = in_.CheckCount(layer_count, kMinLayerBytes);
    Reserve(shape.width, shape.height, depth);
    shape.swatch.SetSize(1, 1, depth);
    if (depth <= 8) ReadPalette(shape.swatch);
    frame.key_colour = frame.key_value >= 0
                           ? PixelColour(shape.swatch, static_cast<uint32_t>(frame.key_value))
                           : -1;
    // Pixels of layers are needed after composition only when the caller keeps the layers or
    // a later frame may copy blocks from them; otherwise a layer that covers the picture hands
    // its pixels over instead of being copied.
    const bool layers_needed = keep_layers_ || (Blocks() && frame_index + 1 < frame_count_);
    bool seen_visible = false;
    frame.layers.reserve(layers);
    for (size_t i = 0; i < layers; ++i) {
      frame.layers.push_back(ReadLayer(shape));
      TFipoLayer& layer = frame.layers.back();
      if (!layer.visible) continue;
      Compose(frame.picture, shape, layer, i == 0, !seen_visible, layers_needed);
      seen_visible = true;
    }
    EnsurePicture(frame.picture, shape);
    if (header_.version >= kVersionRegions) {
      frame.draw_regions = ReadRects();
      frame.second_regions = ReadRects();
    }
    return frame;
  }

  void ReadPalette(TDIBSurface& picture) {
    const size_t entries = size_t{1} << picture.BitCount();
    for (size_t i = 0; i < entries; ++i) picture.Palette()[i] = in_.U32() & 0x00FFFFFFu;
  }

  std::vector<Rect> ReadRects() {
    const size_t n = in_.Count(kRectBytes);
    std::vector<Rect> rects(n);
    for (Rect& r : rects) {
      r.left = in_.I32();
      r.top = in_.I32();
      r.right = in_.I32();
      r.bottom = in_.I32();
    }
    return rects;
  }

  std::span<const uint8_t> ReadData() {
    const int32_t size = in_.I32();
    if (size < 0) throw NovuError::FromUtf8("Layered image: negative data size");
    return in_.Bytes(static_cast<size_t>(size));
  }

  TFipoLayer ReadLayer(const FrameShape& shape) {
    TFipoLayer layer;
    in_.Skip(8);
    layer.visible = in_.U8() != 0;
    layer.key_value = in_.I32();
    layer.opacity = in_.I32();
    const bool has_enable_byte = header_.version >= kVersionMaskEnabled;
    if (has_enable_byte) layer.mask_enabled = in_.U8() != 0;
    layer.name = in_.String();
    const auto pixel_data = ReadData();
    const auto mask_data =
        header_.version >= kVersionMaskData ? ReadData() : std::span<const uint8_t>{};

    const int32_t width = shape.width;
    const int32_t height = shape.height;
    Reserve(width, height, shape.swatch.BitCount());
    layer.pixels.SetSize(width, height, shape.swatch.BitCount());
    layer.pixels.Palette() = shape.swatch.Palette();
    ReadPixels(pixel_data, layer.pixels);
    if (!mask_data.empty()) {
      Reserve(width, height, 8);
      layer.pixels.EnsureMask();
      ReadMask(mask_data, *layer.pixels.Mask());
      // Older files have no switch: a stored mask is in use.
      if (!has_enable_byte) layer.mask_enabled = true;
      if (layer.mask_enabled) layer.key_value = -1;
    }
    return layer;
  }

  void ReadPixels(std::span<const uint8_t> data, TDIBSurface& pixels) {
    if (header_.compression == Compression::kJpeg) {
      TDIBSurface decoded = DecodeJpeg(data, pixels.Width(), pixels.Height(), pixels.BitCount());
      if (decoded.BitCount() == pixels.BitCount()) {
        pixels = std::move(decoded);  // 24 and 32 bits are decoded at their own depth
      } else {
        pixels.Copy(0, 0, decoded.Bounds(), decoded);
      }
      return;
    }
    PixelStream stream(data, header_.compression == Compression::kNone
                                 ? PixelStream::Kind::kStored
                                 : PixelStream::Kind::kDeflated);
    ReadLayout(stream, pixels, false);
  }

  void ReadMask(std::span<const uint8_t> data, TDIBSurface& mask) {
    PixelStream stream(data, header_.compression == Compression::kNone
                                 ? PixelStream::Kind::kStored
                                 : PixelStream::Kind::kDeflated);
    ReadLayout(stream, mask, true);
  }

  void ReadLayout(PixelStream& stream, TDIBSurface& picture, bool mask) {
    if (Blocks()) {
      ReadBlockForm(
          stream, picture, header_.block_width, header_.block_height, Scrambled(), list_.code_,
          [&](int32_t frame, int32_t layer) { return EarlierPicture(frame, layer, mask); });
    } else {
      ReadRowForm(stream, picture, Permutation(Scrambled(), list_.code_, picture.Height()));
    }
  }

  // Only frames read completely count: a block may not refer to the frame being read.
  const TDIBSurface* EarlierPicture(int32_t frame, int32_t layer, bool mask) const {
    const auto& frames = list_.frames_;
    if (static_cast<size_t>(frame) >= frames.size()) return nullptr;
    const auto& layers = frames[static_cast<size_t>(frame)].layers;
    if (static_cast<size_t>(layer) >= layers.size()) return nullptr;
    const TDIBSurface& pixels = layers[static_cast<size_t>(layer)].pixels;
    return mask ? pixels.Mask() : &pixels;
  }

  void Compose(TDIBSurface& picture, const FrameShape& shape, TFipoLayer& layer, bool is_layer0,
               bool first_visible, bool layers_needed) {
    const bool masked = layer.pixels.Mask() != nullptr && layer.mask_enabled;
    const bool plain_copy =
        !(masked && !is_layer0) &&
        (layer.key_value == -1 || (first_visible && list_.base_layer_opaque_)) &&
        layer.opacity > 254;
    if (plain_copy && first_visible && !layers_needed) {
      // The layer covers every pixel: its pixels (and mask when in use) become the picture.
      if (!masked) layer.pixels.DropMask();
      picture = std::move(layer.pixels);
      layer.pixels = TDIBSurface();
      return;
    }
    EnsurePicture(picture, shape);
    const Rect all = picture.Bounds();
    if (masked && first_visible) picture.CopyMaskFrom(*layer.pixels.Mask());
    if (masked && !is_layer0) {
      picture.DrawMasked(0, 0, all, layer.pixels, 255);
    } else if (plain_copy) {
      picture.Copy(0, 0, all, layer.pixels);
    } else {
      picture.DrawAlpha(0, 0, all, layer.pixels, layer.opacity, layer.key_value);
    }
  }

  TFipoFrameList& list_;
  BinaryReader in_;
  bool keep_layers_;
  FipoHeader header_;
  size_t frame_count_ = 0;
  int64_t total_bytes_ = 0;
};

void TFipoFrameList::LoadFromStream(std::span<const uint8_t> data, bool first_frame_only,
                                    bool keep_layers) {
  Clear();
  try {
    FipoReader(*this, data, keep_layers).Read(first_frame_only);
  } catch (...) {
    Clear();
    throw;
  }
  if (!keep_layers) {
    for (TFipoFrame& frame : frames_) frame.layers.clear();
  }
}

}  // namespace novu::imagefmt
