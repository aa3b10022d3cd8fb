#pragma once
// TNovuParticle (LT_PARTICLE, command ParticleNew): an emitter that creates transient pictures
// (TNovuParticleImages, its children) at times and places given by script expressions or by a
// film's parameter record, and moves each by one of four motion kinds, in whole steps of 16 ms,
// until it leaves the emitter's area.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/image_list.h"
#include "controls/novu_images.h"
#include "core/process_random.h"
#include "expr/novu_parser.h"
#include "objects/novu_control.h"

namespace novu {

enum ParticleMotion : uint8_t {
  PM_NONE = 0,
  PM_SNOW = 1,
  PM_STAR = 2,
  PM_FLUFF = 3,
  PM_TWISTER = 4,
};

// Where and how often a film's particle track emits, instead of the expressions.
struct TNovuParticleParam {
  int32_t x_base = 0, y_base = 0, x_range = 0, y_range = 0;
  int32_t delay_base = 0, delay_range = 0;
};

class TNovuParticle;

class TNovuParticleImages final : public TNovuCustomImages {
 public:
  TNovuParticleImages(ObjectList* owner, ImageEnvironment env, TNovuParticle& emitter);

  // Never saved: type code 0.
  ComponentType GetType() const override { return LT_NONE; }
  bool AutoName() const override { return false; }
  int32_t Update() override;

  // Places the particle's motion at its start (the anchor moved to its centre first).
  void Start();
  // Runs `n` steps of 16 ms.
  void Step(int64_t n);
  bool finished() const { return finished_; }
  void SetMotion(uint8_t kind, const std::array<long double, 3>& p) {
    kind_ = kind;
    p_ = p;
  }
  const std::array<long double, 3>& params() const { return p_; }

 protected:
  TNovuImageList* ActiveList() const override;
  bool Repeats() const override { return true; }
  void SetSource(std::string_view /*name*/) override {}
  bool HasPictureSource() const override { return true; }

 private:
  int32_t LocalX() const { return left() - offset_x(); }
  int32_t LocalY() const { return top() - offset_y(); }
  int32_t ParentWidth() const;
  int32_t ParentHeight() const;
  long double Unit();

  TNovuParticle* emitter_;
  uint8_t kind_ = PM_NONE;
  std::array<long double, 3> p_{};
  int64_t total_ms_ = 0;
  int32_t x0_ = 0, y0_ = 0;
  long double a_ = 0, s_ = 0, r_ = 0, w_ = 0, q_ = 0, d_ = 0, m_ = 0;
  bool finished_ = false;
};

class TNovuParticle final : public TNovuControl {
 public:
  static constexpr int32_t kStepMs = 16;
  // Longer pre-rolls are cut to this: a pre-roll only fills the area, and a huge one would
  // create and step particles for as long as it says before the first frame shows.
  static constexpr int32_t kMaxPrerollMs = 10000;

  TNovuParticle(ObjectList* owner, ImageEnvironment env);
  ~TNovuParticle() override;

  ComponentType GetType() const override { return LT_PARTICLE; }
  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }
  int32_t Update() override;

  // The creating command's expressions, evaluated afresh for every particle.
  void SetExpressions(const TNovuParser* appear_x, const TNovuParser* appear_y,
                      const TNovuParser* delay);
  // A film's emission record, used instead of the expressions.
  void SetParam(const TNovuParticleParam& param) { param_ = param; }
  void SetSource(const std::string& source);
  void SetMotionKind(uint8_t kind);
  long double Param(int index) const { return index >= 0 && index < 3 ? p_[index] : 0.0L; }
  void SetParamValue(int index, long double value) {
    if (index >= 0 && index < 3) p_[index] = value;
  }

  TNovuImageList& images() { return images_; }
  size_t ParticleCount() const { return particles_.size(); }
  uint8_t state() const { return state_; }
  ProcessRandom& Random();
  // The particle left the emitter (it asks to be deleted).
  void Forget(TNovuParticleImages& particle);

 private:
  void Emit(int64_t n, bool emitting);
  void CreateParticle(int64_t& budget);
  int32_t Evaluate(TNovuParser& expression, bool& has_value);
  void DropParticles();
  void Sync(Serializer& s);
  void AfterLoad() override;

  ImageEnvironment env_;
  TNovuImageList images_;
  uint8_t motion_ = PM_NONE;
  std::array<long double, 3> p_{};
  TNovuParser appear_x_, appear_y_, delay_;
  std::optional<TNovuParticleParam> param_;
  std::string source_;
  std::string loaded_source_;
  int32_t alpha_ = 255;
  int32_t preroll_ = 0;
  int32_t duration_ = 0;
  bool paused_ = false;
  std::string on_idle_;
  uint8_t state_ = 0;  // 0 must start, 1 emitting, 2 draining
  int64_t next_emission_ = 0;
  int64_t remainder_ = 0;
  std::vector<TNovuParticleImages*> particles_;
};

}  // namespace novu
