#include "objects/prop_motion.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "expr/custom_param.h"
#include "objects/novu_control.h"
#include "objects/object_list.h"
#include "objects/property_access.h"
#include "platform/error.h"

namespace novu {
namespace {

// Saves from this version on keep the paused flag.
constexpr int32_t kPausedFlagVersion = 126;

int32_t SaturatingAdd(int32_t a, int32_t b) {
  const int64_t sum = int64_t{a} + b;
  return static_cast<int32_t>(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

}  // namespace

void TNovuPropMotion::SetPropertyId(int32_t id) {
  property_id_ = IsValidPropId(id) ? static_cast<uint8_t>(id) : kNoProperty;
}

const PropertyTable& TNovuPropMotion::Table() {
  using R = PropertyRows<TNovuPropMotion>;
  static const PropertyTable table(
      &TNovuComponent::Table(),
      {
          R::Saved([](TNovuPropMotion& m, Serializer& s) {
            if (s.loading()) {
              s.String(m.target_name_);
            } else {
              std::string name = m.SavedTargetName();
              s.String(name);
            }
          }),
          R::Saved([](TNovuPropMotion& m, Serializer& s) {
            int32_t id = m.property_id_;
            s.I32(id);
            if (s.loading()) m.SetPropertyId(id);
          }),
          R::SavedField(&TNovuPropMotion::target_value_),
          R::SavedField(&TNovuPropMotion::duration_),
          R::SavedField(&TNovuPropMotion::motion_type_),
          R::SavedField(&TNovuPropMotion::start_value_),
          R::SavedField(&TNovuPropMotion::elapsed_),
          R::Field(PR_PAUSED, &TNovuPropMotion::paused_).Since(kPausedFlagVersion),
      });
  return table;
}

long double TNovuPropMotion::ValueAt(int32_t type, long double start, long double target,
                                     int32_t elapsed, int32_t duration, bool& finished) {
  finished = false;
  if (elapsed == 0) return start;
  const int64_t e = elapsed;
  const int64_t d = duration;
  if (e >= d - 1) {
    finished = true;
    return target;
  }
  // Here 0 < e < d - 1, so d is at least 2.
  const long double half_turn =
      std::numbers::pi_v<long double> / (2.0L * static_cast<long double>(d));
  switch (type) {
    case MT_INC:
      return target - std::sin(static_cast<long double>(d - e - 1) * half_turn) * (target - start);
    case MT_DEC:
      return start + std::sin(static_cast<long double>(e) * half_turn) * (target - start);
    default:
      return start + (target - start) * static_cast<long double>(e) / static_cast<long double>(d);
  }
}

TNovuObject* TNovuPropMotion::FindTarget() const {
  ObjectList* list = owner();
  if (list == nullptr) return nullptr;
  // The empty name and the bases' own names stand for the bases.
  if (target_name_.empty() || IsInternalName(target_name_)) return list->FindControl(target_name_);
  return list->FindByName(target_name_);
}

TNovuObject* TNovuPropMotion::LiveTarget() const {
  ObjectList* list = owner();
  if (target_ == nullptr || list == nullptr || !list->IsRegistered(target_)) return nullptr;
  if (list->IsPendingDeletion(*target_)) return nullptr;
  return target_;
}

int32_t TNovuPropMotion::Update() {
  if (paused_) return 0;
  if (target_lost_) return 1;
  if (target_ != nullptr) {
    if (LiveTarget() == nullptr) return 1;
  } else {
    if (!IsValidPropId(property_id_)) return 1;
    target_ = FindTarget();
    if (target_ == nullptr) return 1;
    if (!start_known_) {
      auto start = MakeParam(PT_FLOAT);
      try {
        GetProp(*start, *target_, property_id_);
      } catch (const NovuError&) {
        return 1;
      }
      start_value_ = start->GetAsFloat();
      start_known_ = true;
    }
  }
  bool finished = false;
  const long double value =
      ValueAt(motion_type_, start_value_, target_value_, elapsed_, duration_, finished);
  auto param = MakeParam(PT_FLOAT);
  param->SetAsFloat(value);
  try {
    SetProp(*target_, property_id_, *param);
  } catch (const NovuError&) {
    return 1;  // a property nobody may write: nothing to move
  }
  if (finished) return 1;
  elapsed_ = SaturatingAdd(elapsed_, std::max(owner() != nullptr ? owner()->FrameDelta() : 0, 0));
  return 0;
}

std::string TNovuPropMotion::SavedTargetName() const {
  if (target_ != nullptr) {
    const TNovuObject* live = LiveTarget();
    return live != nullptr ? live->name() : std::string();
  }
  return target_lost_ ? std::string() : target_name_;
}

void TNovuPropMotion::AfterLoad() {
  elapsed_ = std::max(elapsed_, 0);
  target_ = nullptr;
  // A motion that had begun already read its start value; with an empty name its target was
  // gone when the game was saved, and the empty name must not turn into the screen's base.
  start_known_ = elapsed_ > 0;
  target_lost_ = elapsed_ > 0 && target_name_.empty();
}

}  // namespace novu
