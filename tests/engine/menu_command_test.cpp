// The Menu and MenuClose commands with a real menu: the creator opens it with its opening
// effect, the reader's choice runs the handler with @SelStr, and MenuClose closes the menu,
// which goes away once its closing handler has run.
#include <gtest/gtest.h>

#include "controls/control_factory.h"
#include "controls/novu_menu.h"
#include "engine/object_functions.h"
#include "expr/sys_func_man.h"
#include "objects/base_list.h"
#include "platform/glyph_source.h"
#include "script_world.h"
#include "text/font_pixel.h"

namespace novu {
namespace {

struct MenuWorld : test::ScriptWorld {
  MenuWorld()
      : glyphs(std::make_unique<platform::FixedGlyphSource>()),
        list(MakeControlFactory(ImageEnvironment{nullptr, &state, &vars, nullptr, &glyphs})),
        functions(state.random) {
    list.SetSize(320, 240);
    list.SetProcessState(&state);
    list.SetEventQueue(&events);
    RegisterObjectFunctions(functions, list);
    vars.SetFunctions(&functions);
  }
  ~MenuWorld() override {
    vars.SetFunctions(nullptr);
    list.SetEventQueue(nullptr);
  }
  TNovuBaseList* Objects() override { return &list; }

  void Frames(int ticks) {
    for (int i = 0; i < ticks; ++i) {
      Tick();
      list.input().ProcessInput(15);
      list.Update();
    }
  }
  TNovuMenu* Menu() const { return dynamic_cast<TNovuMenu*>(list.FindByName("m")); }

  text::TFontPixelManager glyphs;
  TNovuBaseList list;
  SysFuncMan functions;
};

TEST(MenuCommand, OpensWithItsEffectReportsTheChoiceAndClosesWithMenuClose) {
  MenuWorld w;
  w.Page("main.nsb", R"(VarNew "picked" type=string
VarNew "index" type=int value=`-5`
VarNew "closed" type=int
Menu PR_NAME=`"m"` PR_TEXT=`"backlog"` PR_ROWCOUNT=`2` PR_DELAY=`60` PR_ONSELECT=`"sel.nsb"` PR_ONCLOSED=`"closed.nsb"`
)");
  w.Page("sel.nsb", R"(Calc `picked = @SelStr`
Calc `index = @SelIndex`
MenuClose `"m"`
)");
  w.Page("closed.nsb", "Calc `closed = 1`\n");
  w.Start("main.nsb");
  w.Frames(1);
  TNovuMenu* menu = w.Menu();
  ASSERT_NE(menu, nullptr);
  menu->SetProperty(PR_TEXT, std::string("backlog\r\nquit"));
  EXPECT_EQ(menu->play_mode(), LP_PLAYFADE);
  EXPECT_EQ(menu->height(), 0);
  w.Frames(8);  // past the 60 ms of the opening
  EXPECT_EQ(menu->play_mode(), LP_PLAY);
  EXPECT_EQ(menu->height(), 2 * 16);
  EXPECT_EQ(w.list.FocusedControl(), menu);

  // Down goes to the first item, again to the second; Enter chooses it.
  for (int i = 0; i < 2; ++i) {
    w.list.input().KeyDown(0x28);
    w.list.input().KeyUp(0x28);
    w.Frames(1);
  }
  EXPECT_EQ(menu->hovered(), 1);
  w.list.input().KeyDown(0x0d);
  w.list.input().KeyUp(0x0d);
  w.Frames(2);
  EXPECT_EQ(w.Str("picked"), "quit");
  EXPECT_EQ(w.Int("index"), 1);
  EXPECT_EQ(menu->play_mode(), LP_STOPFADE);

  w.Frames(10);
  EXPECT_EQ(w.Int("closed"), 1);
  EXPECT_EQ(w.Menu(), nullptr);
}

TEST(MenuCommand, CheckMarksAreSetAndReadByItemIndex) {
  MenuWorld w;
  w.Page("main.nsb", R"(Menu PR_NAME=`"m"` PR_TEXT=`"only"`
Calc `SetCheck("m", 0, TRUE)`
Calc `SetCheck("m", 5, TRUE)`
Calc `SetCheck("nobody", 0, TRUE)`
VarNew "checks" type=string value=`GetCheck("m", 0) ++ GetCheck("m", 5) ++ GetCheck("nobody", 0)`
)");
  w.Start("main.nsb");
  w.Frames(1);
  EXPECT_EQ(w.Str("checks"), "TRUEFALSEFALSE");
  ASSERT_NE(w.Menu(), nullptr);
  EXPECT_TRUE(w.Menu()->Checked(0));
}

}  // namespace
}  // namespace novu
