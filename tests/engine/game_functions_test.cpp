// The system functions that look at objects and the call stack, run from script pages.
#include <gtest/gtest.h>

#include "controls/novu_history.h"
#include "core/process_random.h"
#include "engine/game_functions.h"
#include "engine/object_functions.h"
#include "expr/expr_test_support.h"
#include "expr/param_var.h"
#include "expr/sys_func_man.h"
#include "objects/base_list.h"
#include "objects/object_factory.h"
#include "objects/plain_objects.h"
#include "platform/desktop_services.h"
#include "platform/message_box.h"
#include "script_world.h"
#include "storage/vr_file_manager.h"

namespace novu {
namespace {

std::unique_ptr<TNovuObject> MakeWorldObject(ObjectList& list, uint8_t type) {
  if (auto object = MakeScriptObject(list, type)) return object;
  return MakePlainObject(list, type);
}

struct FunctionWorld : test::ScriptWorld {
  FunctionWorld() : list(MakeWorldObject), functions(state.random) {
    list.SetSize(64, 48);
    list.SetProcessState(&state);
    list.SetEventQueue(&events);
    RegisterObjectFunctions(functions, list);
    vars.SetFunctions(&functions);
  }
  ~FunctionWorld() override {
    vars.SetFunctions(nullptr);
    list.SetEventQueue(nullptr);
  }
  TNovuBaseList* Objects() override { return &list; }
  void Run(const std::string& main) {
    Page("main.nsb", main);
    Start("main.nsb");
    Tick();
    list.Update();
  }

  TNovuBaseList list;
  SysFuncMan functions;
};

TEST(ObjectFunctions, AnswerForObjectsThatExistAndZeroForOthers) {
  FunctionWorld w;
  w.Run(R"(BoxNew PR_NAME=`"b"` PR_LEFT=`7` PR_TOP=`5`
BoxNew PR_NAME=`"c"` PR_PARENT=`"b"` PR_LEFT=`2` PR_TOP=`1`
VarNew "e" type=string value=`Exists("b") ++ Exists("") ++ Exists("zz")`
VarNew "left" type=int value=`GetProp("c", 3) + 1`
VarNew "missing" type=int value=`GetVarType(GetProp("zz", 3))`
VarNew "missingtext" type=string value=`GetProp("zz", 3) ++ "|"`
VarNew "sx" type=int value=`ToScreenX("c", 1) * 100 + ToScreenY("c", 1)`
VarNew "cx" type=int value=`ToClientX("c", 20) * 100 + ToClientY("c", 20)`
VarNew "nx" type=int value=`ToClientX("zz", 20) * 100 + ToScreenX("zz", 20)`
VarNew "names" type=string
VarNew "count" type=int value=`ListCompo(names, 0, "b")`
VarNew "none" type=int value=`ListCompo(names, 0, "zz")`
VarNew "where" type=string value=`InPrimary("c") ++ InCabinet("c") ++ InPrimary("zz")`
Calc `SetProp("c", 3, 30)`
VarNew "moved" type=int value=`GetProp("c", 3)`
)");
  EXPECT_EQ(w.Str("e"), "TRUEFALSEFALSE");
  EXPECT_EQ(w.Int("left"), 3);
  // A missing object leaves the zero value of the property's type: an integer reads 0.
  EXPECT_EQ(w.Int("missing"), PT_INT);
  EXPECT_EQ(w.Str("missingtext"), "0|");
  EXPECT_EQ(w.Int("sx"), 1007);
  EXPECT_EQ(w.Int("cx"), 1114);
  EXPECT_EQ(w.Int("nx"), 2000);
  EXPECT_EQ(w.Int("count"), 1);
  EXPECT_EQ(w.Int("none"), 0);
  EXPECT_EQ(w.vars.Find("names")->value().GetCount(), 1);
  EXPECT_EQ(w.Str("names"), "");
  EXPECT_EQ(w.Str("where"), "TRUEFALSEFALSE");
  EXPECT_EQ(w.Int("moved"), 30);
}

TEST(ObjectFunctions, ListCompoNamesChildrenInAnArray) {
  FunctionWorld w;
  w.Run(R"(BoxNew PR_NAME=`"b"`
BoxNew PR_NAME=`"c"` PR_PARENT=`"b"`
BoxNew PR_NAME=`"d"` PR_PARENT=`"b"`
VarNew "names" type=string
VarNew "count" type=int value=`ListCompo(names, 0, "b")`
VarNew "joined" type=string value=`ArrayToString(names, ",")`
)");
  EXPECT_EQ(w.Int("count"), 2);
  const std::string joined = w.Str("joined");
  EXPECT_TRUE(joined == "c,d" || joined == "d,c") << joined;
}

TEST(CallStackFunctions, DeleteStackKeepsTheRunningFramesLocalsVisible) {
  FunctionWorld w;
  SysFuncMan& f = w.functions;
  f.Register(157,
             [&w](const FunctionCall& c) { c.result().SetAsBool(w.calls->DeleteFrame(c.Int(0))); });
  w.Page("main.nsb", R"(VarNew "outer" type=int value=`1` scope=local
VarNew "seen" type=string
Call "sub.nsb"
Calc `seen = seen ++ "|" ++ IntToStr(@StackCount)`
)");
  w.Page("sub.nsb", R"(VarNew "mine" type=int value=`5` scope=local
VarNew "before" type=int value=`@StackCount`
Calc `seen = DeleteStack(7) ++ DeleteStack(-1)`
Calc `seen = seen ++ DeleteStack(0)`
Calc `seen = seen ++ IntToStr(@StackCount) ++ IntToStr(mine) ++ IntToStr(before)`
)");
  w.Start("main.nsb");
  w.Tick();
  // Frame 0 went with the main flow's locals; the handler's own local is still found, and the
  // return goes to where the removed frame would have returned to.
  EXPECT_TRUE(w.Str("seen").starts_with("FALSEFALSETRUE051")) << w.Str("seen");
  EXPECT_FALSE(w.Has("outer"));
}

TEST(ParamStr, AScalarReadInTheMainFlowIsEmpty) {
  FunctionWorld w;
  w.Run(R"(VarNew "s" type=string value=`@ParamStr ++ "x"`
VarNew "n" type=int value=`@ParamCount + 10`
)");
  EXPECT_EQ(w.Str("s"), "x");
  EXPECT_EQ(w.Int("n"), 10);
}

}  // namespace
}  // namespace novu

namespace novu {
namespace {

// Every function, with all families registered, fed too few and too many arguments and
// arguments of every kind: wrong counts fail with the count message before anything runs;
// wrong kinds give a result or the general error, never a crash.
// The history functions find formats by name; an unknown name answers -1 or false.
TEST(HistoryFunctions, CountAndCapacityOfAFormatByName) {
  FunctionWorld w;
  TVrFileManager files;
  platform::HeadlessMessageBoxes messages;
  platform::HeadlessDesktopServices desktop;
  TNovuHistoryFormatManager histories;
  histories.FindOrAdd("log").history.max_count = 30;
  RegisterGameFunctions(w.functions, {files, messages, desktop, [] { return nullptr; }, &w.list,
                                      [&histories] { return &histories; }});
  w.Run(R"(VarNew "count" type=int value=`GetHistoryCount("log") * 100 + GetHistoryCount("no")`
VarNew "set" type=string value=`SetHistoryMaxCount("log", 7) ++ SetHistoryMaxCount("no", 7)`
VarNew "max" type=int value=`GetHistoryMaxCount("log") * 100 + GetHistoryMaxCount("no")`
)");
  EXPECT_EQ(w.Int("count"), 0 * 100 - 1) << "an empty history, and none of that name";
  EXPECT_EQ(w.Str("set"), "TRUEFALSE");
  EXPECT_EQ(w.Int("max"), 700 - 1);
  EXPECT_EQ(histories.Find("log")->history.max_count, 7);
}

TEST(AllFunctions, WrongArgumentCountsAndKindsNeverCrash) {
  TVrFileManager files;
  platform::HeadlessMessageBoxes messages;
  platform::HeadlessDesktopServices desktop;
  TNovuBaseList list(MakeWorldObject);
  TParamCollection table;
  ProcessRandom random(3);
  SysFuncMan functions(random);
  RegisterObjectFunctions(functions, list);
  RegisterGameFunctions(functions, {files, messages, desktop, [] { return nullptr; }, &list});
  table.SetFunctions(&functions);
  for (auto [name, type] :
       {std::pair{"vi", PT_INT}, {"vf", PT_FLOAT}, {"vb", PT_BOOL}, {"vs", PT_STR}}) {
    table.Declare(name, type, VarScope::kGlobal, nullptr);
  }
  // Constants of each type, and references to a variable of each type.
  std::vector<std::unique_ptr<TCustomParam>> kinds;
  kinds.push_back(MakeParam(PT_INT));
  kinds.back()->SetAsInt(-5);
  kinds.push_back(MakeParam(PT_FLOAT));
  kinds.back()->SetAsFloat(1e30L);
  kinds.push_back(MakeParam(PT_BOOL));
  kinds.back()->SetAsBool(true);
  kinds.push_back(MakeParam(PT_STR));
  kinds.back()->SetAsStr("\x95\\*..\\x");
  for (const char* name : {"vi", "vf", "vb", "vs"}) {
    auto ref = std::make_unique<TParamVar>(name);
    ref->Resolve(table);
    kinds.push_back(std::move(ref));
  }

  for (int number = 0; number < kSystemFunctionCount; ++number) {
    const SystemFunctionInfo& info = SystemFunctionAt(number);
    const ParamType result_type = info.result_type == PT_NONE ? PT_STR : info.result_type;
    const int too_many = info.max_args >= 0 ? info.max_args + 1 : -1;
    for (int count : {info.min_args - 1, too_many}) {
      if (count < 0) continue;
      std::vector<TCustomParam*> args(static_cast<size_t>(count), kinds[0].get());
      const std::unique_ptr<TCustomParam> result = MakeParam(result_type);
      EXPECT_EQ(test::MessageOf([&] { functions.Call(number, *result, args, table); }),
                std::string(info.name) + Jp(" 引数の数が不正です"))
          << info.name << " with " << count;
      EXPECT_EQ(result->GetAsStr(), MakeParam(result_type)->GetAsStr()) << info.name;
    }
    const int count = std::min<int>(info.max_args >= 0 ? info.max_args : info.min_args + 2, 7);
    for (size_t kind = 0; kind < kinds.size(); ++kind) {
      std::vector<TCustomParam*> args;
      for (int i = 0; i < count; ++i)
        args.push_back(kinds[(kind + static_cast<size_t>(i)) % kinds.size()].get());
      const std::unique_ptr<TCustomParam> result = MakeParam(result_type);
      table.BeginEvaluation();
      try {
        functions.Call(number, *result, args, table);
      } catch (const NovuError&) {
        // a failure ends the evaluation; the result keeps what it had
      }
      table.EndEvaluation();
      EXPECT_EQ(result->GetParamType(), result_type) << info.name;
      for (const char* name : {"vi", "vf", "vb", "vs"}) {
        if (table.Find(name) == nullptr) table.Declare(name, PT_INT, VarScope::kGlobal, nullptr);
      }
      for (size_t k = 4; k < kinds.size(); ++k) {
        static_cast<TParamVar&>(*kinds[k]).Resolve(table);
      }
    }
  }
  table.SetFunctions(nullptr);
}

}  // namespace
}  // namespace novu
