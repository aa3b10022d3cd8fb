#pragma once
// TNovuTimer: posts its PR_ONNOTIFY handler (event id 33) every interval. Late frames catch up
// one interval at a time, and a timer never queues its handler twice. An auto-scrap timer goes
// away in the first frame after a handler it posted has finished.
#include <cstdint>
#include <string>

#include "objects/novu_object.h"

namespace novu {

class TNovuTimer final : public TNovuComponent {
 public:
  // Starts with the clock of the owner (the time of creation counts as the last firing).
  explicit TNovuTimer(ObjectList* owner);

  ComponentType GetType() const override { return LT_TIMER; }
  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }
  int32_t Update() override;

  const std::string& handler() const { return handler_; }
  int32_t interval() const { return interval_; }
  bool paused() const { return paused_; }
  bool fired() const { return fired_; }
  int32_t last_firing() const { return last_firing_; }

 protected:
  void AfterLoad() override;

 private:
  int32_t Now() const;
  // A changed handler, interval or pause starts counting afresh and drops what is pending.
  void Restart();
  bool NotifyQueued() const;

  std::string handler_;
  int32_t interval_ = 0;
  bool paused_ = false;
  bool auto_scrap_ = false;
  bool fired_ = false;
  int32_t last_firing_ = 0;
};

}  // namespace novu
