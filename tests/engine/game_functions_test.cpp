// The system functions that look at objects and the call stack, run from script pages.
#include <gtest/gtest.h>

#include "engine/object_functions.h"
#include "expr/sys_func_man.h"
#include "objects/base_list.h"
#include "objects/object_factory.h"
#include "objects/plain_objects.h"
#include "script_world.h"

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
