#include "engine/call_man.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/binary_writer.h"
#include "script_world.h"

namespace novu {
namespace {

using test::ScriptWorld;

TEST(CallMan, IfChainRunsOnlyTheFirstTrueBranch) {
  struct Case {
    int x;
    int expected;
  };
  for (const Case c : {Case{1, 1}, Case{2, 2}, Case{3, 3}, Case{9, 4}}) {
    ScriptWorld w;
    w.Page("main.nsb", "VarNew \"x\" type=int value=`" + std::to_string(c.x) + R"(`
VarNew "hit" type=int
VarNew "ran" type=int
If `x == 1`
  Calc `hit = hit * 10 + 1`
Elseif `x == 2`
  Calc `hit = hit * 10 + 2`
Elseif `x == 3`
  Calc `hit = hit * 10 + 3`
Else
  Calc `hit = hit * 10 + 4`
Calc `ran = 1`
)");
    w.Start("main.nsb");
    w.Tick();
    EXPECT_EQ(w.Int("hit"), c.expected) << "x = " << c.x;
    EXPECT_EQ(w.Int("ran"), 1);
  }
}

TEST(CallMan, FalseIfWithEmptyBlockContinuesAtTheNextCommand) {
  ScriptWorld w;
  w.Page("main.nsb", R"(VarNew "after" type=int
If `1 == 2`
Calc `after = 1`
)");
  w.Start("main.nsb");
  w.Tick();
  EXPECT_EQ(w.Int("after"), 1);
}

TEST(CallMan, WhileWithBreakAndContinue) {
  ScriptWorld w;
  // Sums i for i = 0..9, skipping 3 and stopping at 7.
  w.Page("main.nsb", R"(VarNew "i" type=int
VarNew "sum" type=int
VarNew "laps" type=int
top:
While `i < 10` exit=@done
  Calc `laps = laps + 1`
  Continue `i == 3` target=@step
  Break `i == 7` target=@done
  Calc `sum = sum + i`
step:
WhileLoop `i = i + 1` loop=@top
done:
)");
  w.Start("main.nsb");
  w.Tick();
  EXPECT_EQ(w.Int("sum"), 0 + 1 + 2 + 4 + 5 + 6);
  EXPECT_EQ(w.Int("laps"), 8);
  EXPECT_EQ(w.Int("i"), 7);
}

TEST(CallMan, CallPassesArgumentsAndStoresTheResult) {
  ScriptWorld w;
  w.Page("main.nsb", R"(VarNew "r" type=int
VarNew "after" type=int
Call "sub.nsb" result="r" args=[ `40` `"two"` ]
Call "sub.nsb" result="fresh" args=[ `1` ]
Calc `after = @StackCount + 100`
)");
  w.Page("sub.nsb", R"(page result=int
VarNew "loc" type=int value=`2` scope=local
VarNew "first" type=string value=`@ParamStr[0]`
VarNew "count" type=int value=`@ParamCount`
Calc `@Result = loc + 40`
)");
  w.Start("main.nsb");
  w.Tick();
  EXPECT_EQ(w.Int("r"), 42);
  // A result variable that does not exist is made with the result's type and value.
  EXPECT_EQ(w.Int("fresh"), 42);
  EXPECT_EQ(w.vars.Find("fresh")->value().GetParamType(), PT_INT);
  EXPECT_EQ(w.Str("first"), "1");
  EXPECT_EQ(w.Int("count"), 1);
  EXPECT_FALSE(w.Has("loc"));  // locals are gone after the return
  EXPECT_EQ(w.Int("after"), 100);
  EXPECT_EQ(w.calls->StackHeight(), 0u);
}

TEST(CallMan, ResultTextIsNeverCompiled) {
  ScriptWorld w;
  w.Page("main.nsb", R"(VarNew "victim" type=int value=`1`
Call "sub.nsb" result="made"
)");
  // A string result that reads like an expression must arrive as text.
  w.Page("sub.nsb", "page result=string\nCalc `@Result = \"\\\" victim = 99 \\\"\"`\n");
  w.Start("main.nsb");
  w.Tick();
  EXPECT_EQ(w.Int("victim"), 1);
  EXPECT_EQ(w.Str("made"), "\" victim = 99 \"");
}

TEST(CallMan, RunawayRecursionStopsAtTheDepthLimit) {
  ScriptWorld w;
  w.Page("main.nsb", R"(VarNew "depth" type=int
Call "main.nsb" index=1
Calc `depth = @StackCount`
)");
  w.Start("main.nsb");
  w.Tick();
  // The deepest call failed and went on; every call then returned.
  EXPECT_EQ(w.calls->StackHeight(), 0u);
  EXPECT_EQ(w.Int("depth"), 0);
  EXPECT_TRUE(w.calls->current_page() != nullptr);
}

TEST(CallMan, JumpEntersAnotherPageAtItsIndex) {
  ScriptWorld w;
  w.Page("main.nsb", R"(VarNew "v" type=int
Jump "other.nsb" index=2
Calc `v = 1`
)");
  w.Page("other.nsb", R"(Calc `v = v + 10`
Calc `v = v + 100`
Calc `v = v + 1000`
)");
  w.Start("main.nsb");
  w.Tick();
  EXPECT_EQ(w.Int("v"), 1000);
  EXPECT_EQ(w.calls->current_page()->name(), "other.nsb");
}

TEST(CallMan, ExitParksTheMainFlowAndEventsAreStillHandled) {
  ScriptWorld w;
  w.Page("main.nsb", R"(VarNew "n" type=int
VarNew "handled" type=int
Exit
Calc `n = 1`
)");
  w.Page("click.nsb", R"(Calc `n = 5`
Label "handler"
Calc `handled = handled + 1`
)");
  w.Start("main.nsb");
  w.Ticks(3);
  EXPECT_EQ(w.Int("n"), 0);
  EXPECT_EQ(w.calls->index(), 2);
  w.events.Post({"click.nsb:handler", std::string("button"), 0, 0, {}, nullptr});
  w.Tick();
  EXPECT_EQ(w.Int("handled"), 1);
  EXPECT_EQ(w.Int("n"), 0);  // the handler started at its label
  EXPECT_EQ(w.events.size(), 0u);
  EXPECT_EQ(w.calls->index(), 2);
  EXPECT_EQ(w.calls->run_state(), 0);
}

TEST(CallMan, WaitOf500msEndsIn34thTickAfterItStarts) {
  ScriptWorld w;
  w.Page("main.nsb", R"(VarNew "done" type=int
Wait time=`500` stop
Calc `done = 1`
)");
  w.Start("main.nsb");
  w.Tick();  // the wait starts
  int ticks = 0;
  while (w.calls->index() == 1 && ticks < 100) {
    w.Tick();
    ++ticks;
  }
  EXPECT_EQ(ticks, 34);
  EXPECT_EQ(w.Int("done"), 0);  // its continue byte is clear: the tick ended with it
  w.Tick();
  EXPECT_EQ(w.Int("done"), 1);
}

TEST(CallMan, WaitWithoutTimeWaitsWhileItsConditionHolds) {
  ScriptWorld w;
  w.Page("main.nsb", R"(VarNew "go" type=bool
VarNew "done" type=int
Wait `go == FALSE`
Calc `done = 1`
)");
  w.Start("main.nsb");
  w.Ticks(10);
  EXPECT_EQ(w.Int("done"), 0);
  w.vars.Find("go")->value().SetAsBool(true);
  w.Tick();
  EXPECT_EQ(w.Int("done"), 1);
}

TEST(CallMan, ContinueByteDecidesWhereTicksEnd) {
  ScriptWorld w;
  w.Page("main.nsb", R"(VarNew "a" type=int
Calc `a = 1` stop
Calc `a = 2`
Calc `a = 3` stop
Calc `a = 4`
)");
  w.Start("main.nsb");
  std::vector<int> seen;
  for (int i = 0; i < 3; ++i) {
    w.Tick();
    seen.push_back(w.Int("a"));
  }
  EXPECT_EQ(seen, (std::vector<int>{1, 3, 4}));
}

TEST(CallMan, WaitingCommandEndsTheTickEvenWithItsContinueByteSet) {
  ScriptWorld w;
  w.Page("main.nsb", R"(VarNew "done" type=int
Wait time=`45`
Calc `done = 1`
)");
  w.Start("main.nsb");
  w.Tick();  // would spin for ever inside this tick if the wait did not end it
  EXPECT_EQ(w.Int("done"), 0);
  w.Ticks(3);
  EXPECT_EQ(w.Int("done"), 1);
}

TEST(CallMan, FailingCommandStillLetsTheNextOneBegin) {
  ScriptWorld w;
  // VarNew with an empty name fails after advancing; the Wait after it must still begin.
  w.Page("main.nsb", R"(VarNew "done" type=int
VarNew "" type=int
Wait time=`30` stop
Calc `done = 1`
)");
  w.Start("main.nsb");
  w.Ticks(4);
  EXPECT_EQ(w.Int("done"), 1);
}

TEST(CallMan, VarNewScopesAndOddCodes) {
  ScriptWorld w;
  w.Page("main.nsb", R"(VarNew "bad" type=9
VarNew "odd" type=int value=`3` scope=7
VarNew "kept" type=string value=`"x"` scope=status
VarNew "kept" type=string value=`"y"` scope=status
VarNew "after" type=bool value=`TRUE`
)");
  w.Start("main.nsb");
  w.Tick();
  EXPECT_FALSE(w.Has("bad"));
  ASSERT_TRUE(w.Has("odd"));
  EXPECT_EQ(w.vars.Find("odd")->scope(), VarScope::kGlobal);
  EXPECT_EQ(w.Str("kept"), "x");  // an existing status variable keeps its value
  EXPECT_EQ(w.vars.Find("kept")->scope(), VarScope::kStatus);
  EXPECT_TRUE(w.Has("after"));
}

TEST(CallMan, DisabledCommandsAreSkipped) {
  ScriptWorld w;
  w.Page("main.nsb", R"(VarNew "a" type=int
Calc `a = 5` disabled
Comment "never run"
Calc `a = a + 1`
)");
  w.Start("main.nsb");
  w.Ticks(2);
  EXPECT_EQ(w.Int("a"), 1);
}

TEST(CallMan, EventInterruptsAWaitThatResumesWithItsRemainingTime) {
  ScriptWorld w;
  w.Page("main.nsb", R"(VarNew "done" type=int
VarNew "handled" type=int
Wait time=`150` stop
Calc `done = 1`
)");
  w.Page("ev.nsb", "Calc `handled = handled + 1`\n");
  w.Start("main.nsb");
  w.Ticks(5);  // 4 ticks counted down: 90 ms left
  w.events.Post({"ev.nsb", std::nullopt, 0, 0, {}, nullptr});
  w.Tick();
  EXPECT_EQ(w.Int("handled"), 1);
  int more = 0;
  while (w.Int("done") == 0 && more < 50) {
    w.Tick();
    ++more;
  }
  EXPECT_EQ(more, 6);  // 90 ms: the wait ends 6 ticks later, the Calc runs on the next
  EXPECT_NE(std::find(w.trace.begin(), w.trace.end(), "0000005a : <Event>ev.nsb(1)"),
            w.trace.end());
}

TEST(CallMan, WaitWithBlockEventsHoldsEventsBack) {
  ScriptWorld w;
  w.Page("main.nsb", R"(VarNew "handled" type=int
Wait time=`60` block=`TRUE` stop
Exit
)");
  w.Page("ev.nsb", "Calc `handled = 1`\n");
  w.Start("main.nsb");
  w.Tick();
  w.events.Post({"ev.nsb", std::nullopt, 0, 0, {}, nullptr});
  w.Ticks(3);
  EXPECT_EQ(w.Int("handled"), 0);
  w.Ticks(3);
  EXPECT_EQ(w.Int("handled"), 1);
}

TEST(CallMan, ObjectsPostThroughTheEventQueueInterface) {
  ScriptWorld w;
  w.Page("main.nsb", R"(VarNew "got" type=string
Exit
)");
  w.Page("ev.nsb", "Calc `got = @ParamStr[1]`\n");
  w.Start("main.nsb");
  w.Tick();
  EventQueue& queue = w.events;
  const std::vector<std::string> args = {"10", "20"};
  queue.PostEvent(nullptr, "ev.nsb", args, 7);
  EXPECT_TRUE(queue.IsQueued(nullptr, 7));
  w.Tick();
  EXPECT_EQ(w.Str("got"), "20");
  EXPECT_FALSE(queue.IsQueued(nullptr, 7));
}

TEST(CallMan, EventWithMissingHandlerIsDropped) {
  ScriptWorld w;
  w.Page("main.nsb", R"(VarNew "handled" type=int
Exit
)");
  w.Page("ok.nsb", "Calc `handled = 1`\n");
  w.Start("main.nsb");
  w.events.Post({"gone.nsb", std::nullopt, 0, 0, {}, nullptr});
  w.events.Post({"ok.nsb", std::nullopt, 0, 0, {}, nullptr});
  w.Ticks(3);
  EXPECT_EQ(w.Int("handled"), 1);
  EXPECT_EQ(w.events.size(), 0u);
}

TEST(CallMan, PageCacheKeepsTenAndEvictsTheLeastRecentlyUsed) {
  ScriptWorld w;
  for (int i = 0; i < 11; ++i) {
    const std::string next = i < 10 ? "Jump \"p" + std::to_string(i + 1) + ".nsb\"\n" : "Exit\n";
    w.Page("p" + std::to_string(i) + ".nsb", next);
  }
  w.Start("p0.nsb");
  // The variable a page keeps for itself goes with the page.
  w.vars.Declare("\x01p0.nsb", PT_INT, VarScope::kGlobal, nullptr);
  w.vars.Declare("\x01p5.nsb", PT_INT, VarScope::kGlobal, nullptr);
  w.Tick();
  EXPECT_FALSE(w.Has("\x01p0.nsb"));
  EXPECT_TRUE(w.Has("\x01p5.nsb"));
  const auto names = w.calls->CachedPageNames();
  ASSERT_EQ(names.size(), 10u);
  EXPECT_EQ(names.front(), "p10.nsb");
  EXPECT_EQ(names.back(), "p1.nsb");  // p0 was the least recently used
  EXPECT_EQ(w.calls->current_page()->name(), "p10.nsb");
}

TEST(CallMan, CacheNeverEvictsTheCurrentPage) {
  ScriptWorld w;
  for (int i = 0; i < 12; ++i) w.Page("p" + std::to_string(i) + ".nsb", "Exit\n");
  w.Page("main.nsb", "Exit\n");
  w.Start("main.nsb");
  // Pages loaded without becoming current crowd the cache from the front.
  for (int i = 0; i < 12; ++i) w.calls->GetPage("p" + std::to_string(i) + ".nsb", true);
  const auto names = w.calls->CachedPageNames();
  EXPECT_EQ(names.back(), "main.nsb");
  EXPECT_EQ(w.calls->current_page()->name(), "main.nsb");
}

TEST(CallMan, TraceWritesOneLinePerCommandWithClockPageAndLine) {
  ScriptWorld w;
  w.Page("main.nsb", R"(VarNew "a" type=int line=7
Wait time=`30` stop line=8
)");
  w.Start("main.nsb");
  w.Ticks(3);
  EXPECT_EQ(w.trace,
            (std::vector<std::string>{"0000000f : main.nsb(7)", "0000000f : main.nsb(8)"}));
}

TEST(CallMan, TerminateStopsAtOnceAndAsksToClose) {
  ScriptWorld w;
  w.Page("main.nsb", R"(VarNew "a" type=int
Terminate
Calc `a = 1`
)");
  w.Start("main.nsb");
  w.Tick();
  EXPECT_TRUE(w.state.terminate);
  EXPECT_EQ(w.close_requests, 1);
  EXPECT_EQ(w.Int("a"), 0);
}

TEST(CallMan, PageTooOldAsksForARebuildAndTerminates) {
  ScriptWorld w;
  BinaryWriter old;
  old.I32(102);
  w.files["main.nsb"] = old.Take();
  w.Start("main.nsb");
  EXPECT_TRUE(w.state.terminate);
  EXPECT_EQ(w.rebuilds, (std::vector<std::string>{"main.nsb"}));
}

TEST(CallMan, BrokenPageIsNotCached) {
  ScriptWorld w;
  w.Page("main.nsb", "VarNew \"v\" type=int\nCall \"bad.nsb\"\nCalc `v = 1`\n");
  BinaryWriter bad;
  bad.I32(114);
  bad.U8(0);
  bad.I32(0);
  bad.I32(0);
  bad.I32(1);
  bad.U8(61);  // no such opcode
  bad.Bytes(std::vector<uint8_t>(10, 0));
  w.files["bad.nsb"] = bad.Take();
  w.Start("main.nsb");
  w.Tick();
  EXPECT_EQ(w.Int("v"), 1);  // the call failed after advancing, the page went on
  const auto names = w.calls->CachedPageNames();
  EXPECT_EQ(std::count(names.begin(), names.end(), "bad.nsb"), 0);
}

TEST(CallMan, FullPCResetRestartsAtThePageAndClearsEvents) {
  ScriptWorld w;
  w.Page("main.nsb", R"(VarNew "laps" type=int
Calc `laps = laps + 1`
Call "sub.nsb"
)");
  w.Page("sub.nsb", "PCReset \"main.nsb\" index=1 full=1 stop\n");
  w.Start("main.nsb");
  w.Tick();
  EXPECT_EQ(w.Int("laps"), 1);
  EXPECT_EQ(w.calls->StackHeight(), 0u);
  EXPECT_EQ(w.calls->index(), 1);
  w.Tick();
  EXPECT_EQ(w.Int("laps"), 2);
}

TEST(CallMan, PartialPCResetInAHandlerRedirectsTheInterruptedFlow) {
  ScriptWorld w;
  w.Page("main.nsb", R"(VarNew "a" type=int
VarNew "b" type=int
VarNew "h" type=int
Wait time=`1000` stop
Calc `a = 1`
Exit
later:
Calc `b = 1`
Exit
)");
  w.Page("ev.nsb", R"(PCReset "main.nsb" index=6
Calc `h = 1`
)");
  w.Start("main.nsb");
  w.Ticks(2);
  w.events.Post({"ev.nsb", std::string("button"), 0, 0, {}, nullptr});
  w.Ticks(2);
  EXPECT_EQ(w.Int("h"), 1);  // the handler went on to its end
  EXPECT_EQ(w.Int("b"), 1);  // and returned to the new place
  EXPECT_EQ(w.Int("a"), 0);
  EXPECT_EQ(w.events.size(), 0u);
}

TEST(CallMan, ResetClearsOrdinaryVariablesAndRestarts) {
  ScriptWorld w;
  w.Page("main.nsb", R"(VarNew "n" type=int scope=status
VarNew "tmp" type=int value=`tmp + 7`
Calc `n = n + 1`
If `n < 3`
  Reset "main.nsb" stop
Exit
)");
  w.Start("main.nsb");
  w.Ticks(4);
  EXPECT_EQ(w.Int("n"), 3);
  EXPECT_EQ(w.Int("tmp"), 7);  // made afresh after every reset
}

}  // namespace
}  // namespace novu
