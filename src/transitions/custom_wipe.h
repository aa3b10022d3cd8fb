#pragma once
// TCustomWipe: one animated screen change from the `from` picture to the `to` picture, drawn
// into `target` step by step as its owner advances the elapsed time. The surfaces are not owned
// and must stay unchanged while the transition runs.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/process_random.h"
#include "render/custom_dibx.h"

namespace novu::transitions {

// What effects need from the running game.
struct WipeContext {
  using FileLoader = std::function<std::optional<std::vector<uint8_t>>(std::string_view name)>;
  // The process-wide generator the random effects draw from; none: a generator of their own
  // with seed 0, so that they stay reproducible.
  ProcessRandom* random = nullptr;
  // Reads a file of the game (rule images); none or an absent file: no rule image.
  FileLoader load_file;
  // The project's identification code that unscrambles layered images.
  int32_t image_code = 0;
};

class TCustomWipe {
 public:
  TCustomWipe(render::TCustomDIBX& target, const render::TCustomDIBX& from,
              const render::TCustomDIBX& to);
  TCustomWipe(const TCustomWipe&) = delete;
  TCustomWipe& operator=(const TCustomWipe&) = delete;
  virtual ~TCustomWipe() = default;

  // The game services the effect may use; set by the factory before any parameter.
  void SetContext(WipeContext context) { context_ = std::move(context); }

  virtual void SetReverse(bool reverse) { reverse_ = reverse; }
  virtual int32_t GetParam(int index) const;
  virtual void SetParam(int index, int32_t value);
  virtual void SetRuleName(std::string name) { rule_name_ = std::move(name); }
  // Called once after every parameter is set (a step of a transition never prepared prepares
  // it first).
  void Prepare();

  // Draws the picture of the current elapsed time and returns false; at or after the end it
  // draws nothing and returns true. Either way the dirty rectangle becomes the whole target.
  bool Step();

  // A duration of 0 or less counts as 1; a negative elapsed time counts as 0.
  void SetDuration(int32_t duration) { duration_ = duration > 0 ? duration : 1; }
  void SetElapsed(int32_t elapsed) { elapsed_ = elapsed > 0 ? elapsed : 0; }
  int32_t duration() const { return duration_; }
  int32_t elapsed() const { return elapsed_; }
  bool reverse() const { return reverse_; }
  const std::string& rule_name() const { return rule_name_; }
  const Rect& DirtyRect() const { return dirty_; }

 protected:
  // Builds the tables of the effect (the base builds none).
  virtual void PrepareEffect() {}
  // Draws one step; elapsed is below the duration.
  virtual void DrawStep() = 0;

  // elapsed × range / duration, truncated. The product is taken in 128 bits (ranges made of
  // script parameters reach past 2^32); the result is below the range.
  int64_t Progress(int64_t range) const {
    return static_cast<int64_t>(static_cast<__int128>(elapsed_) * range / duration_);
  }
  // elapsed / duration as a real.
  double Fraction() const { return static_cast<double>(elapsed_) / duration_; }

  int Width() const { return target_.Width(); }
  int Height() const { return target_.Height(); }
  Rect Whole() const { return {0, 0, Width(), Height()}; }
  // The raw pixel of grey level v (0-255) in the target's format; rebuilt when the depth
  // changes.
  uint32_t Grey(int v);

  // The generator of the random effects.
  ProcessRandom& Random() { return context_.random ? *context_.random : own_random_; }

  render::TCustomDIBX& target_;
  const render::TCustomDIBX& from_;
  const render::TCustomDIBX& to_;
  bool reverse_ = false;
  std::string rule_name_;
  int32_t duration_ = 1;
  int32_t elapsed_ = 0;
  std::array<int32_t, 2> params_{};
  Rect dirty_{};
  WipeContext context_;

 private:
  bool prepared_ = false;
  ProcessRandom own_random_{0};
  std::array<uint32_t, 256> greys_{};
  int grey_depth_ = -1;
};

// round() of the effects: half to even.
int64_t RoundEven(double value);

}  // namespace novu::transitions
