#pragma once
// The two raw layouts of a stored picture or mask.
//
// Row form: the rows top to bottom, each a full bitmap row (width × bits rounded up to 4 bytes;
// 15-bit pictures use 16 bits per pixel). When scrambled, stored row i is picture row perm[i].
//
// Block form: the picture cut into blocks, row by row of blocks, the last column and row
// clipped. First one entry (a, b) per block, then, in block order, the rows of every block whose
// entry is a = -1 (no padding). a = -2 copies the same area from the earlier block b of the same
// picture; a >= 0 copies it from layer b of the earlier frame a. When scrambled, stored entry i
// belongs to block perm[i].
#include <cstdint>
#include <functional>
#include <vector>

#include "imagefmt/pixel_stream.h"
#include "render/dib_surface.h"

namespace novu::imagefmt {

// perm[i] for i < n: the i-th index drawn by a fresh TKxRandom with the identification code as
// increment; the identity when the data are not scrambled or the code is 0.
std::vector<int32_t> Permutation(bool scrambled, int32_t code, int32_t n);

// The picture (or mask) of layer `layer` of the earlier frame `frame`, or nullptr when there
// is no such picture (yet).
using EarlierPicture = std::function<const render::TDIBSurface*(int32_t frame, int32_t layer)>;

struct BlockGrid {
  int32_t block_width = 0;
  int32_t block_height = 0;
  int32_t columns = 0;
  int32_t rows = 0;
  int64_t Count() const { return int64_t{columns} * rows; }
  // The clipped rectangle of block k of a picture of the given size.
  Rect BlockRect(int64_t k, int32_t width, int32_t height) const;

  static BlockGrid For(int32_t width, int32_t height, int32_t block_width, int32_t block_height);
};

// Bytes of one stored row of `width` pixels in the block form (no padding).
size_t PackedRowBytes(int32_t width, int storage_bits);

// Reads into `picture`, which already has its final size and depth. Throws NovuError on short,
// damaged or inconsistent data (references forward, out of range or outside either picture).
void ReadRowForm(PixelStream& in, render::TDIBSurface& picture, const std::vector<int32_t>& perm);
void ReadBlockForm(PixelStream& in, render::TDIBSurface& picture, int32_t block_width,
                   int32_t block_height, bool scrambled, int32_t code,
                   const EarlierPicture& earlier);

// The uncompressed layouts of a picture, for the writer. The block writer stores every block
// whose pixels equal an earlier block's as a reference to it.
std::vector<uint8_t> WriteRowForm(const render::TDIBSurface& picture,
                                  const std::vector<int32_t>& perm);
std::vector<uint8_t> WriteBlockForm(const render::TDIBSurface& picture, int32_t block_width,
                                    int32_t block_height, bool scrambled, int32_t code);

}  // namespace novu::imagefmt
