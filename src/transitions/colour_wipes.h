#pragma once
// The colour transitions: cross-fade, through white or black, flash, and blur through white
// or black. Each composes the whole target from scratch with whole-surface operations.
#include "render/dibx.h"
#include "transitions/custom_wipe.h"

namespace novu::transitions {

// Cross-fade, the new picture sliding in from the offset (p0, p1).
class TWipeFade : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

 protected:
  void DrawStep() override;
};

class TWipeWhite : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

 protected:
  void DrawStep() override;
};

class TWipeBlack : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

 protected:
  void DrawStep() override;
};

class TWipeFlash : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

 protected:
  void DrawStep() override;
};

// Blurs the old picture, washes out to white, comes back as the blurred new picture and
// sharpens. The blurred copies are made at construction.
class TWipeBlurWhite : public TCustomWipe {
 public:
  TWipeBlurWhite(render::TCustomDIBX& target, const render::TCustomDIBX& from,
                 const render::TCustomDIBX& to);

 protected:
  void DrawStep() override;
  // Adds (white) or subtracts (black) grey level v over the whole target.
  virtual void Wash(int v);

 private:
  render::TDIBX blurred_from_, blurred_to_;
};

class TWipeBlurBlack : public TWipeBlurWhite {
 public:
  using TWipeBlurWhite::TWipeBlurWhite;

 protected:
  void Wash(int v) override;
};

// The box blur of the DIB store (each colour channel averaged over the (2 radius + 1)² pixels
// that exist around a pixel, rows first, each pass truncating) with running sums, so that its
// cost does not grow with the radius. 32-bit pictures; others are left to the store.
void BoxBlur32(render::TDIBX& picture, int radius);

// A copy of `source` at the size and depth of `like`, blurred with the box filter of `radius`.
void MakeBlurredCopy(const render::TCustomDIBX& source, const render::TCustomDIBX& like, int radius,
                     render::TDIBX& out);

}  // namespace novu::transitions
