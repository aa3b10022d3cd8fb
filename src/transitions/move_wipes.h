#pragma once
// The moving transitions: scrolls, the rolling blinds (sudare), rubber, twists and the crack
// of falling tiles.
#include <cstdint>
#include <vector>

#include "transitions/custom_wipe.h"

namespace novu::transitions {

class TWipeScrollH : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

 protected:
  void DrawStep() override;
};

class TWipeScrollV : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

 protected:
  void DrawStep() override;
};

// The old picture rolls up by smearing one column (row), then the new one unrolls.
class TWipeSudareH : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

 protected:
  void DrawStep() override;
};

class TWipeSudareV : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

 protected:
  void DrawStep() override;
};

// As the sudare, with a smeared strip that narrows to one column at mid-time and widens again.
class TWipeRubberH : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

 protected:
  void DrawStep() override;
};

class TWipeRubberV : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

 protected:
  void DrawStep() override;
};

// Rows (columns) flip over like cards, the flip travelling across the screen.
class TWipeTwistH : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

 protected:
  void DrawStep() override;
};

class TWipeTwistV : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

 protected:
  void DrawStep() override;

 private:
  void DrawPacked();
};

// The old picture breaks into tiles of p0 pixels that rise slightly and fall off the bottom,
// one every p1 progress units, in random order with a random sideways drift.
class TWipeCrack : public TCustomWipe {
 public:
  struct TWipeCrackDraw {
    int32_t column = 0, row = 0;  // home cell
    int64_t start = 0;            // progress at which it starts falling
    int32_t drift = 0;            // -100 .. 99, hundredths of a pixel per progress unit
    bool gone = false;            // fell off the screen
  };

  using TCustomWipe::TCustomWipe;
  // p0: tile size, at least 16 (rebuilds the tiles); p1: start interval, at least 0.
  void SetParam(int index, int32_t value) override;

  const std::vector<TWipeCrackDraw>& tiles() const { return tiles_; }
  int64_t fall_time() const { return fall_time_; }
  int64_t span() const { return span_; }

 protected:
  void DrawStep() override;

 private:
  void BuildTiles();
  void SetStarts();

  std::vector<TWipeCrackDraw> tiles_;
  int64_t fall_time_ = 0;
  int64_t span_ = 0;
};

// The height a crack tile has moved by τ progress units after its start: (5τ² - 1500τ) div 1000.
constexpr int64_t CrackFall(int64_t tau) {
  return (5 * tau * tau - 1500 * tau) / 1000;
}

// The smallest τ >= 0 whose fall reaches `height`.
int64_t CrackFallTime(int height);

}  // namespace novu::transitions
