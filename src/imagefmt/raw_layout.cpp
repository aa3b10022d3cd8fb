#include "imagefmt/raw_layout.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <numeric>
#include <string>
#include <unordered_map>

#include "core/binary_writer.h"
#include "platform/error.h"
#include "render/pixel_access.h"
#include "storage/kx_random.h"

namespace novu::imagefmt {
namespace {

using render::Rect;
using render::TDIBSurface;

constexpr int32_t kStoredHere = -1;
constexpr int32_t kSamePicture = -2;

struct BlockEntry {
  int32_t a = 0;
  int32_t b = 0;
};

[[noreturn]] void ThrowBadBlock(int64_t k, const std::string& why) {
  throw NovuError::FromUtf8("Layered image: block " + std::to_string(k) + " " + why);
}

bool Inside(const Rect& r, const TDIBSurface& picture) {
  return r.left >= 0 && r.top >= 0 && r.right <= picture.Width() && r.bottom <= picture.Height();
}

// Copies `area` of `src` to `at` in `dst` (same storage depth). Areas of distinct blocks of one
// picture never overlap.
void CopyArea(const TDIBSurface& src, Rect area, TDIBSurface& dst, int32_t x, int32_t y) {
  const int bits = dst.StorageBitCount();
  if (bits >= 8) {
    const size_t bpp = static_cast<size_t>(bits / 8);
    for (int32_t j = 0; j < area.Height(); ++j) {
      std::memcpy(dst.ScanLine(y + j) + x * bpp, src.ScanLine(area.top + j) + area.left * bpp,
                  area.Width() * bpp);
    }
    return;
  }
  for (int32_t j = 0; j < area.Height(); ++j) {
    const uint8_t* s = src.ScanLine(area.top + j);
    uint8_t* d = dst.ScanLine(y + j);
    for (int32_t i = 0; i < area.Width(); ++i) {
      render::StoreRaw(d, x + i, bits, render::LoadRaw(s, area.left + i, bits));
    }
  }
}

void ReadBlockPixels(PixelStream& in, TDIBSurface& picture, Rect r, std::vector<uint8_t>& scratch) {
  const int bits = picture.StorageBitCount();
  const size_t row_bytes = PackedRowBytes(r.Width(), bits);
  if (bits >= 8) {
    const size_t bpp = static_cast<size_t>(bits / 8);
    for (int32_t y = r.top; y < r.bottom; ++y) {
      in.Read(picture.ScanLine(y) + r.left * bpp, row_bytes);
    }
    return;
  }
  scratch.resize(row_bytes);
  for (int32_t y = r.top; y < r.bottom; ++y) {
    in.Read(scratch.data(), row_bytes);
    uint8_t* row = picture.ScanLine(y);
    for (int32_t i = 0; i < r.Width(); ++i) {
      render::StoreRaw(row, r.left + i, bits, render::LoadRaw(scratch.data(), i, bits));
    }
  }
}

std::vector<BlockEntry> ReadEntries(PixelStream& in, int64_t count, bool scrambled, int32_t code) {
  if (static_cast<uint64_t>(count) * 8 > in.MaxRemaining() ||
      count > std::numeric_limits<int32_t>::max()) {
    throw NovuError::FromUtf8("Layered image: block table larger than its data");
  }
  const auto n = static_cast<int32_t>(count);
  std::vector<BlockEntry> stored(static_cast<size_t>(n));
  for (auto& e : stored) {
    e.a = in.ReadI32();
    e.b = in.ReadI32();
  }
  if (!scrambled || code == 0) return stored;
  const std::vector<int32_t> perm = Permutation(true, code, n);
  std::vector<BlockEntry> by_block(stored.size());
  for (size_t i = 0; i < stored.size(); ++i) by_block[static_cast<size_t>(perm[i])] = stored[i];
  return by_block;
}

}  // namespace

std::vector<int32_t> Permutation(bool scrambled, int32_t code, int32_t n) {
  std::vector<int32_t> perm(static_cast<size_t>(std::max(n, 0)));
  if (!scrambled || code == 0) {
    std::iota(perm.begin(), perm.end(), 0);
    return perm;
  }
  TKxRandom random(code);
  random.Reset(n);
  for (auto& p : perm) p = random.NextIndex();
  return perm;
}

BlockGrid BlockGrid::For(int32_t width, int32_t height, int32_t block_width, int32_t block_height) {
  BlockGrid g;
  g.block_width = block_width;
  g.block_height = block_height;
  g.columns = static_cast<int32_t>((int64_t{width} + block_width - 1) / block_width);
  g.rows = static_cast<int32_t>((int64_t{height} + block_height - 1) / block_height);
  return g;
}

Rect BlockGrid::BlockRect(int64_t k, int32_t width, int32_t height) const {
  const int64_t left = (k % columns) * block_width;
  const int64_t top = (k / columns) * block_height;
  return {static_cast<int32_t>(left), static_cast<int32_t>(top),
          static_cast<int32_t>(std::min<int64_t>(left + block_width, width)),
          static_cast<int32_t>(std::min<int64_t>(top + block_height, height))};
}

size_t PackedRowBytes(int32_t width, int storage_bits) {
  return (static_cast<size_t>(width) * storage_bits + 7) / 8;
}

void ReadRowForm(PixelStream& in, TDIBSurface& picture, const std::vector<int32_t>& perm) {
  const size_t stride = picture.Stride();
  const bool in_order = std::is_sorted(perm.begin(), perm.end());
  if (!in_order) {
    for (int32_t y : perm) in.Read(picture.ScanLine(y), stride);
    return;
  }
  // One read of the whole picture lets zlib copy matches within its output instead of through
  // its window; the rows, stored top first, are then turned to the picture's bottom-up order.
  in.Read(picture.Bits().data(), picture.Bits().size());
  const int32_t height = picture.Height();
  uint8_t* bits = picture.Bits().data();
  for (int32_t top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
    std::swap_ranges(bits + top * stride, bits + (top + 1) * stride, bits + bottom * stride);
  }
}

void ReadBlockForm(PixelStream& in, TDIBSurface& picture, int32_t block_width, int32_t block_height,
                   bool scrambled, int32_t code, const EarlierPicture& earlier) {
  const int32_t width = picture.Width();
  const int32_t height = picture.Height();
  const BlockGrid grid = BlockGrid::For(width, height, block_width, block_height);
  const std::vector<BlockEntry> entries = ReadEntries(in, grid.Count(), scrambled, code);
  std::vector<uint8_t> scratch;
  for (int64_t k = 0; k < grid.Count(); ++k) {
    const Rect target = grid.BlockRect(k, width, height);
    const BlockEntry e = entries[static_cast<size_t>(k)];
    if (e.a == kStoredHere) {
      ReadBlockPixels(in, picture, target, scratch);
      continue;
    }
    if (e.a == kSamePicture) {
      if (e.b < 0 || e.b >= k) ThrowBadBlock(k, "refers to a block not read yet");
      const Rect from = grid.BlockRect(e.b, width, height);
      const Rect area = render::MakeRect(from.left, from.top, target.Width(), target.Height());
      if (!Inside(area, picture)) ThrowBadBlock(k, "copies an area outside the picture");
      CopyArea(picture, area, picture, target.left, target.top);
      continue;
    }
    const TDIBSurface* source = e.a >= 0 && e.b >= 0 ? earlier(e.a, e.b) : nullptr;
    if (!source) ThrowBadBlock(k, "refers to a layer not read yet");
    if (!Inside(target, *source)) ThrowBadBlock(k, "copies an area outside the other picture");
    if (source->BitCount() == picture.BitCount()) {
      CopyArea(*source, target, picture, target.left, target.top);
    } else {
      picture.Copy(target.left, target.top, target, *source);
    }
  }
}

std::vector<uint8_t> WriteRowForm(const TDIBSurface& picture, const std::vector<int32_t>& perm) {
  const size_t stride = picture.Stride();
  std::vector<uint8_t> out(stride * perm.size());
  uint8_t* p = out.data();
  for (int32_t y : perm) {
    std::memcpy(p, picture.ScanLine(y), stride);
    p += stride;
  }
  return out;
}

std::vector<uint8_t> WriteBlockForm(const TDIBSurface& picture, int32_t block_width,
                                    int32_t block_height, bool scrambled, int32_t code) {
  const int32_t width = picture.Width();
  const int32_t height = picture.Height();
  const int bits = picture.StorageBitCount();
  const BlockGrid grid = BlockGrid::For(width, height, block_width, block_height);
  const auto count = static_cast<int32_t>(grid.Count());

  // Each block's packed rows; equal blocks of the same size become references to the first.
  std::vector<std::vector<uint8_t>> packed(static_cast<size_t>(count));
  std::vector<BlockEntry> entries(static_cast<size_t>(count), {kStoredHere, 0});
  std::unordered_map<std::string, int32_t> first_of;
  for (int32_t k = 0; k < count; ++k) {
    const Rect r = grid.BlockRect(k, width, height);
    const size_t row_bytes = PackedRowBytes(r.Width(), bits);
    std::vector<uint8_t>& block = packed[static_cast<size_t>(k)];
    block.assign(row_bytes * static_cast<size_t>(r.Height()), 0);
    for (int32_t j = 0; j < r.Height(); ++j) {
      const uint8_t* row = picture.ScanLine(r.top + j);
      uint8_t* out = block.data() + row_bytes * static_cast<size_t>(j);
      if (bits >= 8) {
        std::memcpy(out, row + r.left * (bits / 8), row_bytes);
      } else {
        for (int32_t i = 0; i < r.Width(); ++i) {
          render::StoreRaw(out, i, bits, render::LoadRaw(row, r.left + i, bits));
        }
      }
    }
    std::string key = std::to_string(r.Width()) + "x" + std::to_string(r.Height()) + ":";
    key.append(block.begin(), block.end());
    const auto [it, inserted] = first_of.emplace(std::move(key), k);
    if (!inserted) entries[static_cast<size_t>(k)] = {kSamePicture, it->second};
  }

  BinaryWriter out;
  const std::vector<int32_t> perm = Permutation(scrambled, code, count);
  for (int32_t i = 0; i < count; ++i) {
    const BlockEntry& e = entries[static_cast<size_t>(perm[static_cast<size_t>(i)])];
    out.I32(e.a);
    out.I32(e.b);
  }
  for (int32_t k = 0; k < count; ++k) {
    if (entries[static_cast<size_t>(k)].a == kStoredHere) out.Bytes(packed[static_cast<size_t>(k)]);
  }
  return out.Take();
}

}  // namespace novu::imagefmt
