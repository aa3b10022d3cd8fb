// Fingerprints of the progress a blocking command keeps while an event interrupts it: the bytes
// written for a Wait part-way through are hashed and compared with the hash the command's own
// saved state gave before its progress moved to the interpreter.
#include <gtest/gtest.h>

#include "core/binary_reader.h"
#include "engine/command_progress.h"
#include "engine/page.h"
#include "fingerprint.h"
#include "script_world.h"

namespace novu {
namespace {

using testing::Fingerprint;

std::string StateBytes(const CommandProgress& progress) {
  const std::vector<uint8_t> state = SaveProgress(progress);
  return std::string(state.begin(), state.end());
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
    WaitProgress* wait = w.calls->Progress<WaitProgress>();
    ASSERT_NE(wait, nullptr);
    const std::string bytes = StateBytes(*wait);
    EXPECT_EQ(Fingerprint(bytes), c.fingerprint) << bytes.size() << " bytes";

    // The state reads back into a fresh progress and is written again unchanged.
    WaitProgress fresh;
    BinaryReader in(bytes);
    LoadProgress(fresh, in);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(StateBytes(fresh), bytes);
  }
}

}  // namespace
}  // namespace novu
