#pragma once
// The per-pixel transitions computed from tables: the spot light's ring, the ripple and the
// rule-image flashes through white and black.
#include <cstdint>
#include <vector>

#include "transitions/custom_wipe.h"

namespace novu::transitions {

// A white ring expands from the centre (reversed: contracts from the corners); each pixel
// switches to the new picture at the ring's brightest point.
class TWipeSpot : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;
  void SetReverse(bool reverse) override;
  // The distance value n of every pixel, row by row.
  const std::vector<int32_t>& distances() const { return distances_; }

 protected:
  void DrawStep() override;

 private:
  void BuildDistances();
  std::vector<int32_t> distances_;
  int64_t range_ = 512;
};

// A circular wave runs outwards pulling the new picture in behind it; p0 is its amplitude.
class TWipeRipple : public TCustomWipe {
 public:
  TWipeRipple(render::TCustomDIBX& target, const render::TCustomDIBX& from,
              const render::TCustomDIBX& to);
  void SetParam(int index, int32_t value) override;
  const std::vector<int32_t>& profile() const { return profile_; }

 protected:
  void DrawStep() override;

 private:
  // A pixel of the top-left quadrant (the middle column and row included on odd sizes).
  struct Direction {
    int32_t cos16;  // from the centre, 16.16
    int32_t sin16;
  };
  void BuildProfile();
  void DrawPacked(int64_t p);
  uint32_t Sample(int x, int y, size_t quadrant_index, bool flip_x, bool flip_y, int64_t k) const;

  int quadrant_width_ = 0, quadrant_height_ = 0;
  std::vector<int32_t> distance_;  // rounded distance from the centre
  std::vector<Direction> direction_;
  std::vector<int32_t> profile_;
};

// Each pixel brightens to white in the order of the rule image and clears into the new
// picture.
class TWipeShadowWhite : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

 protected:
  void PrepareEffect() override;
  void DrawStep() override;
  virtual bool Darkens() const { return false; }

 private:
  std::vector<uint8_t> greys_;
};

class TWipeShadowBlack : public TWipeShadowWhite {
 public:
  using TWipeShadowWhite::TWipeShadowWhite;

 protected:
  bool Darkens() const override { return true; }
};

// The wave profile of the ripple: `length` entries of a sawtooth with four teeth of height
// `amplitude`; flat when the screen is too small for teeth.
std::vector<int32_t> RippleProfile(int width, int height, int32_t amplitude);

// The level of the rule-image flashes for progress value i = p + grey - 255: 0 up to 255, then
// i - 256, and 511 from 768 on.
constexpr int32_t ShadowLevel(int64_t i) {
  return i <= 255 ? 0 : i <= 767 ? static_cast<int32_t>(i - 256) : 511;
}

}  // namespace novu::transitions
