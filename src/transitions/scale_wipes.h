#pragma once
// The scaled and rotated transitions: mosaic, shrink away, grow in, zoom through a point.
#include "render/dibx.h"
#include "transitions/custom_wipe.h"

namespace novu::transitions {

// Ever coarser blocks of the old picture turn into the new picture and get finer again.
class TWipeMosaic : public TCustomWipe {
 public:
  TWipeMosaic(render::TCustomDIBX& target, const render::TCustomDIBX& from,
              const render::TCustomDIBX& to);

 protected:
  void DrawStep() override;

 private:
  render::TDIBX scratch_;
};

// The old picture shrinks, fades and turns away by p0 (1/256 turns) over the new one.
class TWipeSmall : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

 protected:
  void DrawStep() override;
};

// The new picture grows, fades in and turns in over the old one.
class TWipeBig : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

 protected:
  void DrawStep() override;
};

// Zooms into the old picture towards (p0, p1) and out of the new one from the same point.
class TWipeZoomin : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

 protected:
  void DrawStep() override;
};

// The shrink factor (in 1/256) of the mosaic at progress b (0-1023).
int MosaicFactor(int b);

}  // namespace novu::transitions
