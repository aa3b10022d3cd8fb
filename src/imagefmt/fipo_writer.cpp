// Writing TFipoFrameList as a layered image file of the current version.
#include <zlib.h>

#include <algorithm>

#include "core/binary_writer.h"
#include "imagefmt/fipo_frame_list.h"
#include "imagefmt/jpeg_codec.h"
#include "imagefmt/raw_layout.h"
#include "platform/error.h"

namespace novu::imagefmt {
namespace {

using render::TDIBSurface;

std::vector<uint8_t> DeflateAt(std::span<const uint8_t> data, int level) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::vector<uint8_t> out(size);
  if (compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), level) != Z_OK) {
    throw NovuError::FromUtf8("Cannot compress picture data");
  }
  out.resize(size);
  return out;
}

class FipoWriter {
 public:
  FipoWriter(const TFipoFrameList& list, const SaveOptions& options) : list_(list) {
    scrambled_ = options.scramble.value_or(list.Code() != 0);
    if (scrambled_ && list.Code() == 0) throw NovuError(Jp("識別コードを設定してください"));
    compression_ = scrambled_ ? Compression::kNone : options.compression;
    quality_ = std::clamp(options.quality, 1, 100);
    deflate_level_ = std::clamp(options.deflate_level, 1, 9);
    if (compression_ != Compression::kJpeg && options.block_width > 0 && options.block_height > 0) {
      block_width_ = options.block_width;
      block_height_ = options.block_height;
    }
  }

  std::vector<uint8_t> Write() {
    FipoHeader h;
    h.version = kCurrentVersion;
    h.frame_count = list_.Count();
    if (list_.Count() > 0) {
      const TFipoFrame& first = list_.Frames(0);
      const TDIBSurface& shown = first.layers.empty() ? first.picture : first.layers[0].pixels;
      h.width = shown.Width();
      h.height = shown.Height();
      h.bit_count = shown.BitCount();
    }
    h.scrambled = scrambled_;
    h.compression = compression_;
    h.background = list_.BackgroundColour();
    h.block_width = block_width_;
    h.block_height = block_height_;
    h.base_layer_opaque = list_.BaseLayerOpaque();
    h.jpeg_quality = static_cast<uint8_t>(quality_);
    WriteFipoHeader(out_, h);
    for (int i = 0; i < list_.Count(); ++i) WriteFrame(list_.Frames(i));
    return out_.Take();
  }

 private:
  // Every layer has the frame's size and depth, and pictures are not empty: anything else
  // would make a file that no reader can take back.
  static void CheckWritable(const TFipoFrame& frame, const TDIBSurface& format) {
    if (format.IsEmpty()) throw NovuError::FromUtf8("Cannot write an empty picture");
    for (const TFipoLayer& layer : frame.layers) {
      if (layer.pixels.Width() != format.Width() || layer.pixels.Height() != format.Height() ||
          layer.pixels.BitCount() != format.BitCount()) {
        throw NovuError(Jp("Layer \"") + layer.name + Jp("\" differs in size or depth"));
      }
    }
  }

  void WriteFrame(const TFipoFrame& frame) {
    const TDIBSurface& format = frame.layers.empty() ? frame.picture : frame.layers[0].pixels;
    CheckWritable(frame, format);
    out_.String(frame.name);
    out_.I32(frame.key_value);
    out_.I32(frame.duration);
    out_.U8(0);
    out_.I32(0);
    out_.I32(frame.layers.empty() ? 1 : static_cast<int32_t>(frame.layers.size()));
    out_.I32(format.Width());
    out_.I32(format.Height());
    out_.I32(format.BitCount());
    if (format.BitCount() <= 8) {
      for (int i = 0; i < (1 << format.BitCount()); ++i) out_.U32(format.Palette()[i]);
    }
    if (frame.layers.empty()) {
      TFipoLayer synthetic;
      synthetic.mask_enabled = frame.HasMask();
      synthetic.name = "Layer";
      WriteLayer(synthetic, frame.picture);
    } else {
      for (const TFipoLayer& layer : frame.layers) WriteLayer(layer, layer.pixels);
    }
    // The frame's region lists are written as they are (empty for a capture).
    WriteRects(frame.draw_regions);
    WriteRects(frame.second_regions);
  }

  void WriteLayer(const TFipoLayer& layer, const TDIBSurface& pixels) {
    out_.I32(0);
    out_.I32(0);
    out_.U8(layer.visible ? 1 : 0);
    out_.I32(layer.key_value);
    out_.I32(layer.opacity);
    out_.U8(layer.mask_enabled ? 1 : 0);
    out_.String(layer.name);
    WriteData(EncodeColour(pixels));
    WriteData(pixels.Mask() ? EncodeMask(*pixels.Mask()) : std::vector<uint8_t>{});
  }

  void WriteRects(const std::vector<render::Rect>& rects) {
    out_.I32(static_cast<int32_t>(rects.size()));
    for (const auto& r : rects) {
      out_.I32(r.left);
      out_.I32(r.top);
      out_.I32(r.right);
      out_.I32(r.bottom);
    }
  }

  void WriteData(const std::vector<uint8_t>& data) {
    out_.I32(static_cast<int32_t>(data.size()));
    out_.Bytes(data);
  }

  std::vector<uint8_t> Layout(const TDIBSurface& picture) const {
    if (block_width_ > 0) {
      return WriteBlockForm(picture, block_width_, block_height_, scrambled_, list_.Code());
    }
    return WriteRowForm(picture, Permutation(scrambled_, list_.Code(), picture.Height()));
  }

  std::vector<uint8_t> EncodeColour(const TDIBSurface& picture) const {
    if (compression_ == Compression::kJpeg) return EncodeJpeg(picture, quality_);
    std::vector<uint8_t> raw = Layout(picture);
    return compression_ == Compression::kNone ? raw : DeflateAt(raw, deflate_level_);
  }

  std::vector<uint8_t> EncodeMask(const TDIBSurface& mask) const {
    if (compression_ == Compression::kJpeg) {
      return DeflateAt(WriteRowForm(mask, Permutation(false, 0, mask.Height())), deflate_level_);
    }
    std::vector<uint8_t> raw = Layout(mask);
    return compression_ == Compression::kNone ? raw : DeflateAt(raw, deflate_level_);
  }

  const TFipoFrameList& list_;
  bool scrambled_ = false;
  Compression compression_ = Compression::kDeflate;
  int quality_ = 70;
  int deflate_level_ = 1;
  int32_t block_width_ = 0;
  int32_t block_height_ = 0;
  BinaryWriter out_;
};

}  // namespace

std::vector<uint8_t> TFipoFrameList::SaveToStream(const SaveOptions& options) const {
  return FipoWriter(*this, options).Write();
}

}  // namespace novu::imagefmt
