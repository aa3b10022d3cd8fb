#pragma once
// The run-time progress of a blocking command (Wait, Flip, TextIns, MovieStop): begun when the
// command becomes current, kept by the interpreter for the frame running it, moved into the call
// stack while an event handler interrupts the command and handed back when the handler returns. A
// command's record in its page holds only what the script wrote; what changes while the command
// runs lives here, under names.
//
// The saved form is the tag "novu100" (its digits are the version), then the command's fields;
// older forms without the tag are read too.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/serializer.h"

namespace novu {

class CommandProgress {
 public:
  virtual ~CommandProgress() = default;
  // True while the command must not be interrupted by an event handler.
  virtual bool BlocksEvents() const { return false; }
  // Writes or reads the saved form.
  virtual void Sync(Serializer& s) = 0;
};

inline constexpr std::string_view kProgressTag = "novu100";
inline constexpr int32_t kProgressVersion = 100;

// Writes the tag and gives kProgressVersion; reads the optional tag and gives its version, or 0
// (and rewinds) for a form without one.
int32_t SyncProgressTag(Serializer& s);

// The saved form of `progress`, and reading one back into it.
std::vector<uint8_t> SaveProgress(const CommandProgress& progress);
void LoadProgress(CommandProgress& progress, BinaryReader& in);

// Wait: how long is left, whether the first tick (which never counts) is still to come, and
// whether events wait for the command.
struct WaitProgress final : CommandProgress {
  int32_t remaining_ms = 0;
  bool first_tick = true;
  bool block_events = false;

  bool BlocksEvents() const override { return block_events; }
  void Sync(Serializer& s) override;
};

// Flip: the screens switch after a transition over a duration, or at once.
enum class FlipStage : int32_t {
  kBegun = 0,          // the tick the command began in
  kFirstTickOver = 1,  // the transition starts with the next tick
  kRunning = 2,        // the transition runs until its duration is over
  kAtOnce = 3,         // no transition: the screens switch at the next tick
};

struct FlipProgress final : CommandProgress {
  FlipStage stage = FlipStage::kBegun;
  int32_t start_clock = 0;  // the game clock when the transition started
  int32_t kind = 0;
  int32_t duration_ms = 1;
  bool yields = false;
  bool block_events = false;
  bool hide_back = false;  // the back screen's children go once the screens switched

  bool BlocksEvents() const override { return block_events; }
  // Only the flags are saved; a restored transition starts over.
  void Sync(Serializer& s) override;
};

// A command that may hold the script while an object it names is busy: TextIns (while its
// message window still has pages) and MovieStop (while the media object fades out). The target
// is kept by name and looked up again each tick.
struct TargetWaitProgress : CommandProgress {
  std::string target;  // empty when there is nothing to wait for
  bool wait = false;
  bool block_events = false;

  bool BlocksEvents() const override { return block_events; }
  void Sync(Serializer& s) override;
};

struct TextInsProgress final : TargetWaitProgress {};
struct MovieStopProgress final : TargetWaitProgress {};

}  // namespace novu
