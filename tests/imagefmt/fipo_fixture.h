#pragma once
// Hand-made layered image files for the reader tests: every field is written as given, so a
// test can build exactly the file (or the broken file) it needs.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/binary_writer.h"
#include "core/geometry.h"
#include "render/pixel_access.h"
#include "storage/zlib_codec.h"

namespace novu::imagefmt::testing {

struct FixtureLayer {
  bool visible = true;
  int32_t key = -1;
  int32_t opacity = 255;
  bool mask_enabled = true;  // written from version 102
  std::string name = "L";
  std::vector<uint8_t> pixels;  // as stored (already deflated when the file says so)
  std::vector<uint8_t> mask;    // written from version 100; empty: count 0
};

struct FixtureFrame {
  std::string name = "F";
  int32_t key = -1;
  int32_t duration = 100;
  int32_t width = 0;
  int32_t height = 0;
  int32_t bits = 32;
  std::vector<uint32_t> palette;  // written as given (2^bits entries for a valid file)
  std::vector<FixtureLayer> layers;
  std::optional<int32_t> layer_count;  // default: layers.size()
  std::vector<Rect> regions;
  std::vector<Rect> second_regions;
};

struct FixtureFile {
  bool magic = true;
  int32_t version = 106;
  int32_t header_size = 40;
  bool scrambled = false;
  uint8_t compression = 1;
  int32_t background = 0;
  int32_t block_width = 0;
  int32_t block_height = 0;
  bool base_opaque = false;
  std::vector<FixtureFrame> frames;
  std::optional<int32_t> frame_count;  // default: frames.size()

  std::vector<uint8_t> Build() const {
    BinaryWriter out;
    if (magic) {
      out.Bytes("Fipo");
      out.Bytes(std::to_string(version));
    }
    const int32_t count = frame_count.value_or(static_cast<int32_t>(frames.size()));
    if (magic && version >= 103) {
      out.I32(header_size);
      BinaryWriter record;
      record.I32(version);
      record.I32(frames.empty() ? 0 : frames[0].width);
      record.I32(frames.empty() ? 0 : frames[0].height);
      record.I32(frames.empty() ? 0 : frames[0].bits);
      record.I32(count);
      record.U8(1);
      record.U8(scrambled ? 1 : 0);
      record.U8(compression);
      record.U8(0);
      record.I32(background);
      record.I32(block_width);
      record.I32(block_height);
      record.U8(base_opaque ? 1 : 0);
      record.U8(70);
      record.U16(0);
      std::vector<uint8_t> bytes = record.Take();
      // A stated size beyond 1 KiB is not backed by bytes (the file is cut there).
      bytes.resize(static_cast<size_t>(std::clamp(header_size, 0, 1024)), 0xEE);
      out.Bytes(bytes);
    } else {
      out.I32(count);
      out.U8(0);
      if (magic && version >= 102) out.I32(background);
    }
    for (const FixtureFrame& f : frames) WriteFrame(out, f);
    return out.Take();
  }

 private:
  void WriteFrame(BinaryWriter& out, const FixtureFrame& f) const {
    out.String(f.name);
    out.I32(f.key);
    out.I32(f.duration);
    out.U8(0);
    out.I32(0);
    out.I32(f.layer_count.value_or(static_cast<int32_t>(f.layers.size())));
    out.I32(f.width);
    out.I32(f.height);
    out.I32(f.bits);
    for (uint32_t p : f.palette) out.U32(p);
    const int32_t v = magic ? version : 0;
    for (const FixtureLayer& l : f.layers) {
      out.I32(0);
      out.I32(0);
      out.U8(l.visible ? 1 : 0);
      out.I32(l.key);
      out.I32(l.opacity);
      if (v >= 102) out.U8(l.mask_enabled ? 1 : 0);
      out.String(l.name);
      out.I32(static_cast<int32_t>(l.pixels.size()));
      out.Bytes(l.pixels);
      if (v >= 100) {
        out.I32(static_cast<int32_t>(l.mask.size()));
        out.Bytes(l.mask);
      }
    }
    if (v >= 104) {
      for (const auto* list : {&f.regions, &f.second_regions}) {
        out.I32(static_cast<int32_t>(list->size()));
        for (const auto& r : *list) {
          out.I32(r.left);
          out.I32(r.top);
          out.I32(r.right);
          out.I32(r.bottom);
        }
      }
    }
  }
};

inline int StorageBits(int bits) {
  return bits == 15 ? 16 : bits;
}

// Row form, top row first, each row padded to 4 bytes; `pixel(x, y)` gives the raw value.
// `order[i]` names the picture row stored at place i (identity when empty).
inline std::vector<uint8_t> RowForm(int width, int height, int bits,
                                    const std::function<uint32_t(int, int)>& pixel,
                                    const std::vector<int32_t>& order = {}) {
  const int storage = StorageBits(bits);
  const size_t stride = ((static_cast<size_t>(width) * storage + 31) / 32) * 4;
  std::vector<uint8_t> out(stride * static_cast<size_t>(height), 0);
  for (int i = 0; i < height; ++i) {
    const int y = order.empty() ? i : order[static_cast<size_t>(i)];
    uint8_t* row = out.data() + stride * static_cast<size_t>(i);
    for (int x = 0; x < width; ++x) render::StoreRaw(row, x, storage, pixel(x, y));
  }
  return out;
}

// The rows of one block (no padding), as the block form stores them.
inline void AppendBlock(std::vector<uint8_t>& out, Rect r, int bits,
                        const std::function<uint32_t(int, int)>& pixel) {
  const int storage = StorageBits(bits);
  const size_t row_bytes = (static_cast<size_t>(r.Width()) * storage + 7) / 8;
  for (int y = r.top; y < r.bottom; ++y) {
    std::vector<uint8_t> row(row_bytes, 0);
    for (int x = r.left; x < r.right; ++x) {
      render::StoreRaw(row.data(), x - r.left, storage, pixel(x, y));
    }
    out.insert(out.end(), row.begin(), row.end());
  }
}

inline void AppendI32(std::vector<uint8_t>& out, int32_t v) {
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
}

inline std::vector<uint8_t> Deflated(const std::vector<uint8_t>& raw) {
  return novu::Deflate(raw);
}

}  // namespace novu::imagefmt::testing
