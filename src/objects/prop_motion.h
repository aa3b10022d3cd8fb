#pragma once
// TNovuPropMotion: moves one numeric property of another object from its value at the start to
// a target value over a duration, linearly or along a quarter sine, and goes away at the end or
// as soon as its target does.
#include <cstdint>
#include <string>

#include "objects/novu_object.h"

namespace novu {

enum MotionType : int32_t {
  MT_NORMAL = 0,  // linear
  MT_INC = 1,     // accelerating
  MT_DEC = 2,     // decelerating
};

class TNovuPropMotion final : public TNovuComponent {
 public:
  static constexpr uint8_t kNoProperty = 255;

  using TNovuComponent::TNovuComponent;

  ComponentType GetType() const override { return LT_PROPMOTION; }
  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }
  int32_t Update() override;

  void SetTargetName(std::string_view name) { target_name_ = name; }
  // Ids outside the property numbers leave no property: the motion then deletes itself.
  void SetPropertyId(int32_t id);
  void SetTargetValue(long double value) { target_value_ = value; }
  void SetDuration(int32_t ms) { duration_ = ms; }
  void SetMotionType(int32_t type) { motion_type_ = type; }
  void SetPaused(bool paused) { paused_ = paused; }

  const std::string& target_name() const { return target_name_; }
  uint8_t property_id() const { return property_id_; }
  int32_t elapsed() const { return elapsed_; }

  // The value at `elapsed` ms of `duration` from `start` to `target`; `finished` is set from
  // duration - 1 on, where the target value is reached.
  static long double ValueAt(int32_t type, long double start, long double target, int32_t elapsed,
                             int32_t duration, bool& finished);

 protected:
  void AfterLoad() override;

 private:
  // The name saved for the target: its current name, or none once it is gone.
  std::string SavedTargetName() const;
  // The target when it still exists; none once it was freed or renamed away.
  TNovuObject* LiveTarget() const;
  TNovuObject* FindTarget() const;

  long double target_value_ = 0;
  int32_t duration_ = 0;
  std::string target_name_;
  TNovuObject* target_ = nullptr;  // not owned; checked against the registry before every use
  bool target_lost_ = false;       // a saved motion whose target was already gone
  bool start_known_ = false;       // the start value came with a save of a running motion
  uint8_t property_id_ = kNoProperty;
  int32_t motion_type_ = MT_NORMAL;
  int32_t elapsed_ = 0;
  long double start_value_ = 0;
  bool paused_ = false;
};

}  // namespace novu
