// Fingerprints of the progress a blocking command keeps while an event interrupts it: the bytes
// written for a Wait part-way through are hashed and compared with the hash today's code gave.
#include <gtest/gtest.h>

#include "core/binary_reader.h"
#include "engine/control_commands.h"
#include "engine/page.h"
#include "fingerprint.h"
#include "script_world.h"

namespace novu {
namespace {

using testing::Fingerprint;

std::string StateBytes(const TCommand& command) {
  std::optional<std::vector<uint8_t>> state;
  command.SaveState(state);
  return state ? std::string(state->begin(), state->end()) : std::string();
}

TEST(CommandStateFingerprint, AWaitPartWayThroughWritesTheSameState) {
  struct Case {
    const char* page;
    int ticks;
    const char* fingerprint;
  };
  const Case cases[] = {
      {"Wait time=`500` block=`TRUE` stop\n", 1, "e1985c9d8b7ea3e4"},
      {"Wait time=`500` block=`TRUE` stop\n", 4, "6c4879a203f6f965"},
      {"Wait time=`90`\n", 3, "388598e64c2490ce"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page + std::to_string(c.ticks));
    test::ScriptWorld w;
    w.Page("main.nsb", c.page);
    w.Start("main.nsb");
    w.Ticks(c.ticks);
    auto& wait = dynamic_cast<TComWait&>(w.calls->current_page()->Command(0));
    const std::string bytes = StateBytes(wait);
    EXPECT_EQ(Fingerprint(bytes), c.fingerprint) << bytes.size() << " bytes";

    // The state reads back into a fresh start of the command and is written again unchanged.
    wait.Begin(*w.calls);
    BinaryReader in(bytes);
    wait.LoadState(in);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(StateBytes(wait), bytes);
  }
}

}  // namespace
}  // namespace novu
