#include "objects/novu_timer.h"

#include "objects/event_queue.h"
#include "objects/object_list.h"

namespace novu {
namespace {

// Saves from this version on keep the auto-scrap and fired flags.
constexpr int32_t kTimerFlagsVersion = 104;

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

const PropertyTable& TNovuTimer::Table() {
  using R = PropertyRows<TNovuTimer>;
  // A changed handler, interval or pause starts counting afresh.
  static const PropertyTable table(
      &TNovuComponent::Table(),
      {
          R::Field(PR_ONNOTIFY, &TNovuTimer::handler_).Set([](TNovuTimer& t, const PropValue& v) {
            t.handler_ = PropAsStr(v);
            t.Restart();
          }),
          R::Field(PR_DELAY, &TNovuTimer::interval_).Set([](TNovuTimer& t, const PropValue& v) {
            t.interval_ = PropAsInt(v);
            t.Restart();
          }),
          R::Field(PR_PAUSED, &TNovuTimer::paused_).Set([](TNovuTimer& t, const PropValue& v) {
            t.paused_ = PropAsBool(v);
            t.Restart();
          }),
          R::Field(PR_AUTOSCRAP, &TNovuTimer::auto_scrap_).Since(kTimerFlagsVersion),
          R::SavedField(&TNovuTimer::fired_).Since(kTimerFlagsVersion),
      });
  return table;
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

void TNovuTimer::AfterLoad() {
  last_firing_ = Now();
}

}  // namespace novu
