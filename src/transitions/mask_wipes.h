#pragma once
// The mask transitions: blinds, curtains, grids, dither, rule-image fade, clock hand, fans,
// circle and blocks. Each paints the 8-bit mask of TWipeMask for its progress value.
#include <cstdint>
#include <functional>
#include <vector>

#include "core/geometry.h"
#include "transitions/wipe_mask.h"

namespace novu::transitions {

// Slats of p0 pixels that open from one edge with a ramp of softness p1.
class TWipeBlindH : public TWipeMask {
 public:
  using TWipeMask::TWipeMask;
  int MaskHeight() const override { return 1; }

 protected:
  bool UpdateMask() override;
};

class TWipeBlindV : public TWipeMask {
 public:
  using TWipeMask::TWipeMask;
  // One slat, cut to the screen (rows below it would never show).
  int MaskHeight() const override {
    return std::min(std::max(params_[0], 2), std::max(Height(), 1));
  }

 protected:
  bool UpdateMask() override;
};

// Groups of p0 columns opening column by column, each group 16 progress units after the one
// before it. The vertical variant works on rows over the full height.
class TWipeOrderHMask : public TWipeMask {
 public:
  using TWipeMask::TWipeMask;
  void SetParam(int index, int32_t value) override;
  int MaskHeight() const override { return Vertical() ? Height() : 1; }

 protected:
  virtual bool Vertical() const { return false; }
  bool UpdateMask() override;
};

class TWipeCurtainH : public TWipeOrderHMask {
 public:
  using TWipeOrderHMask::TWipeOrderHMask;
};

class TWipeOrderVMask : public TWipeOrderHMask {
 public:
  using TWipeOrderHMask::TWipeOrderHMask;

 protected:
  bool Vertical() const override { return true; }
};

class TWipeCurtainV : public TWipeOrderVMask {
 public:
  using TWipeOrderVMask::TWipeOrderVMask;
};

// Squares growing from the centres of cells of p0 pixels, in diagonal order.
class TWipeGrid : public TWipeMask {
 public:
  using TWipeMask::TWipeMask;

 protected:
  // The order of cell (column i, row j) before the factor 4, and the largest order.
  virtual int64_t CellOrder(int i, int j, int cols, int rows) const;
  virtual int64_t MaxOrder(int cols, int rows) const;
  void PrepareEffect() override;
  bool UpdateMask() override;

 private:
  int cols_ = 0, rows_ = 0;
  std::vector<int64_t> orders_;  // 4 × order, per cell row by row
};

class TWipeGridH : public TWipeGrid {
 public:
  using TWipeGrid::TWipeGrid;
  int MaskHeight() const override { return std::min(std::max(params_[0], 2), Height()); }

 protected:
  int64_t CellOrder(int i, int j, int cols, int rows) const override;
  int64_t MaxOrder(int cols, int rows) const override;
};

class TWipeGridV : public TWipeGrid {
 public:
  using TWipeGrid::TWipeGrid;

 protected:
  int64_t CellOrder(int i, int j, int cols, int rows) const override;
  int64_t MaxOrder(int cols, int rows) const override;
};

// A random dissolve in a 64 × 64 pattern repeated over the screen; the order of the cells is
// the permutation of the player's number source with increment 12341.
class TWipeDither : public TWipeMask {
 public:
  static constexpr int kPatternSide = 64;
  static constexpr int kCells = kPatternSide * kPatternSide;
  static constexpr int32_t kIncrement = 12341;

  using TWipeMask::TWipeMask;
  int MaskHeight() const override { return kPatternSide; }
  // The cells (row × 64 + column) in the order they change.
  const std::vector<int32_t>& order() const { return order_; }

 protected:
  void PrepareEffect() override;
  bool UpdateMask() override;

 private:
  std::vector<int32_t> order_;
  std::vector<uint8_t> pattern_;
};

// A cross-fade in the order of a rule image: white pixels first, black ones last, each over
// half of the duration.
class TWipeShadow : public TWipeMask {
 public:
  using TWipeMask::TWipeMask;

 protected:
  void PrepareEffect() override;
  bool UpdateMask() override;

 private:
  std::vector<uint8_t> greys_;
};

// The start direction of the pie transitions: p0 degrees from up, clockwise, in radians.
double PieStartAngle(int32_t degrees);

// A sweep of the clock hand from the start direction.
class TWipeClockhand : public TWipeMask {
 public:
  using TWipeMask::TWipeMask;
  void SetParam(int index, int32_t value) override;

 protected:
  bool UpdateMask() override;

 private:
  double start_angle_ = PieStartAngle(0);
  double last_angle_ = start_angle_;
};

// A fan opening both ways from the start direction.
class TWipeFan : public TWipeMask {
 public:
  using TWipeMask::TWipeMask;
  void SetParam(int index, int32_t value) override;

 protected:
  bool UpdateMask() override;

 private:
  double start_angle_ = PieStartAngle(0);
  double last_angle_ = -1;
};

// Two opposite fans.
class TWipeWFan : public TWipeMask {
 public:
  using TWipeMask::TWipeMask;
  void SetParam(int index, int32_t value) override;

 protected:
  bool UpdateMask() override;

 private:
  double start_angle_ = PieStartAngle(0);
  double last_angle_ = -1;
};

// A disc growing from the centre (reversed: a hole closing on it).
class TWipeCircle : public TWipeMask {
 public:
  using TWipeMask::TWipeMask;

 protected:
  bool UpdateMask() override;
};

// Blocks of s × s pixels, s = p0 kept within 10 and the screen's sides, painted one after
// another in the order of the effect; each change paints only the blocks added since the last.
class BlockSequence {
 public:
  // Lists the blocks of a width × height screen; `order` lists block indices of the row-by-row
  // grid of `across` × `down` blocks. Returns the side written back into p0.
  int32_t Build(int32_t p0, int width, int height,
                const std::function<std::vector<int32_t>(int across, int down)>& order);
  const std::vector<Rect>& blocks() const { return blocks_; }

  int64_t last = -1;  // the last block painted

 private:
  std::vector<Rect> blocks_;
};

// Blocks in a clockwise spiral from the top-left (reversed: from the centre outwards).
class TWipeBlockCoil : public TWipeMask {
 public:
  using TWipeMask::TWipeMask;
  void SetParam(int index, int32_t value) override { TCustomWipe::SetParam(index, value); }
  const std::vector<Rect>& blocks() const { return sequence_.blocks(); }

 protected:
  void PrepareEffect() override;
  bool UpdateMask() override;

 private:
  BlockSequence sequence_;
};

// Blocks in random order.
class TWipeBlockRandom : public TWipeMask {
 public:
  using TWipeMask::TWipeMask;
  void SetParam(int index, int32_t value) override { TCustomWipe::SetParam(index, value); }
  const std::vector<Rect>& blocks() const { return sequence_.blocks(); }

 protected:
  void PrepareEffect() override;
  bool UpdateMask() override;

 private:
  BlockSequence sequence_;
};

// The order of the clockwise spiral over a grid of across × down blocks.
std::vector<int32_t> SpiralOrder(int across, int down);

}  // namespace novu::transitions
