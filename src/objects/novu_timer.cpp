#include "objects/novu_timer.h"

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "objects/event_queue.h"
#include "objects/object_list.h"

namespace novu {
namespace {

// Saves after this version keep the auto-scrap and fired flags.
constexpr int32_t kTimerFlagsVersion = 103;

}  // namespace

TNovuTimer::TNovuTimer(ObjectList* owner) : TNovuComponent(owner) {
  last_firing_ = Now();
}

int32_t TNovuTimer::Now() const {
  return owner() != nullptr ? owner()->GameClock() : 0;
}

void TNovuTimer::Restart() {
  if (owner() != nullptr) owner()->Events().RemovePendingEvents(this);
  last_firing_ = Now();
}

bool TNovuTimer::NotifyQueued() const {
  return IsEventQueued(static_cast<uint8_t>(PR_ONNOTIFY));
}

PropValue TNovuTimer::GetProperty(PropId id) const {
  switch (id) {
    case PR_ONNOTIFY:
      return handler_;
    case PR_DELAY:
      return interval_;
    case PR_PAUSED:
      return paused_;
    case PR_AUTOSCRAP:
      return auto_scrap_;
    default:
      return TNovuComponent::GetProperty(id);
  }
}

void TNovuTimer::SetProperty(PropId id, const PropValue& value) {
  switch (id) {
    case PR_ONNOTIFY:
      handler_ = PropAsStr(value);
      Restart();
      break;
    case PR_DELAY:
      interval_ = PropAsInt(value);
      Restart();
      break;
    case PR_PAUSED:
      paused_ = PropAsBool(value);
      Restart();
      break;
    case PR_AUTOSCRAP:
      auto_scrap_ = PropAsBool(value);
      break;
    default:
      TNovuComponent::SetProperty(id, value);
      break;
  }
}

int32_t TNovuTimer::Update() {
  if (fired_ && auto_scrap_) return NotifyQueued() ? 0 : 1;
  if (interval_ < 0 || paused_) return 0;
  const int32_t now = Now();
  // The difference is taken in 64 bits: a clock near its limit must not wrap into "not yet".
  if (interval_ != 0 && int64_t{now} - last_firing_ < interval_) return 0;
  last_firing_ = static_cast<int32_t>(int64_t{last_firing_} + interval_);
  if (!NotifyQueued()) {
    PostEvent(handler_, {}, static_cast<uint8_t>(PR_ONNOTIFY));
    fired_ = true;
  }
  return 0;
}

void TNovuTimer::SaveToStream(BinaryWriter& out) const {
  TNovuComponent::SaveToStream(out);
  out.String(handler_);
  out.I32(interval_);
  out.U8(paused_ ? 1 : 0);
  out.U8(auto_scrap_ ? 1 : 0);
  out.U8(fired_ ? 1 : 0);
}

void TNovuTimer::LoadFromStream(BinaryReader& in, const ObjectLoadContext& context) {
  TNovuComponent::LoadFromStream(in, context);
  handler_ = in.String();
  interval_ = in.I32();
  paused_ = in.U8() != 0;
  if (context.version > kTimerFlagsVersion) {
    auto_scrap_ = in.U8() != 0;
    fired_ = in.U8() != 0;
  }
  last_firing_ = Now();
}

}  // namespace novu
