#pragma once
// How a draw lays its source down. Read once per call; the pixel loops never see these.

namespace novu::render {

// Mirroring of the source: top to bottom (flip_v) and left to right (flip_h).
struct FlipOptions {
  bool flip_v = false;
  bool flip_h = false;
};

// Mirroring, and whether source pixels of the source's key colour are left out (use_key; a
// source without a key colour has none). Draws through a mask take only FlipOptions: there the
// mask decides which pixels show.
struct DrawOptions {
  bool flip_v = false;
  bool flip_h = false;
  bool use_key = false;

  constexpr FlipOptions flips() const { return {flip_v, flip_h}; }
};

}  // namespace novu::render
