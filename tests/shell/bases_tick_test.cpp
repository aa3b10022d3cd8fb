// The tick's hooks with the object list, the screen manager and the interpreter together: a
// click delivered to the window reaches a control, whose handler page runs and sets a variable,
// and the control's pixels reach the window.
#include <gtest/gtest.h>

#include "../engine/script_world.h"
#include "objects/base_list.h"
#include "platform/headless_window.h"
#include "platform/message_box.h"
#include "shell/runtime.h"
#include "shell/view.h"

namespace novu {
namespace {

class FilledBox final : public TNovuControl {
 public:
  using TNovuControl::TNovuControl;
  ComponentType GetType() const override { return LT_BOX; }

 protected:
  void DrawSelf(render::TCustomDIBX& surface) override {
    surface.FillRect(GetBoundsRect(), surface.ColorToPixel(0x0000FF));  // red
  }
};

// The runtime's hooks with the test's interpreter in place of a project.
class WorldHooks final : public RuntimeHooks {
 public:
  WorldHooks(Runtime& runtime, test::ScriptWorld& world) : RuntimeHooks(runtime), world_(world) {}
  void RunScripts() override { world_.calls->Run(); }

 private:
  test::ScriptWorld& world_;
};

struct TickScene {
  TickScene() : hooks(runtime, world) {
    auto window_owned = std::make_unique<platform::HeadlessWindow>();
    window = window_owned.get();
    runtime.window = std::move(window_owned);
    runtime.objects = std::make_unique<TNovuBaseList>();
    runtime.CreateScreens(320, 240, 320, 240);
    runtime.objects->SetEventQueue(&world.events);
    view = std::make_unique<TFormView>(runtime.state, hooks, *runtime.window, boxes);
    view->SetProjectReady(true);
    runtime.state.terminate = false;
  }
  ~TickScene() { runtime.objects->SetEventQueue(nullptr); }

  void Tick() {
    runtime.state.game_clock += 15;
    runtime.state.frame_delta = 15;
    view->Tick();
  }
  void Send(platform::InputEvent::Kind kind, int x, int y) {
    platform::InputEvent e{kind};
    e.x = x;
    e.y = y;
    view->HandleEvent(e, 0);
  }

  test::ScriptWorld world;
  Runtime runtime;
  platform::HeadlessWindow* window = nullptr;
  platform::HeadlessMessageBoxes boxes;
  WorldHooks hooks;
  std::unique_ptr<TFormView> view;
};

TEST(BasesTick, ClickRunsTheControlsHandlerAndTheFrameShowsTheControl) {
  TickScene s;
  s.world.Page("main.nsb", R"(VarNew "clicks" type=int
VarNew "where" type=string
VarNew "who" type=string
Wait time=`100000` stop
)");
  s.world.Page("click.nsb", R"(Calc `clicks = clicks + 1`
Calc `where = @ParamStr[1]`
Calc `who = @Sender`
)");
  s.world.Start("main.nsb");
  auto box_owned = MakeObject<FilledBox>(s.runtime.objects.get());
  FilledBox& box = *box_owned;
  s.runtime.objects->base(0).AddChild(std::move(box_owned));
  box.SetName("button");
  box.SetBounds(40, 30, 100, 50);
  box.SetEventLabel(PR_ONLBTNDOWN, "click.nsb");
  s.Tick();

  s.Send(platform::InputEvent::Kind::MouseDown, 50, 45);
  s.Tick();  // the press is routed and the handler runs between commands
  s.Send(platform::InputEvent::Kind::MouseUp, 50, 45);
  s.Tick();
  EXPECT_EQ(s.world.Int("clicks"), 1);
  EXPECT_EQ(s.world.Str("where"), "15");  // 45 - 30, relative to the control
  EXPECT_EQ(s.world.Str("who"), "button");

  s.Send(platform::InputEvent::Kind::MouseDown, 5, 5);  // beside the control
  s.Tick();
  EXPECT_EQ(s.world.Int("clicks"), 1);

  const platform::FrameView frame = s.window->LastFrame();
  ASSERT_EQ(frame.width, 320);
  auto pixel = [&](int x, int y) { return frame.pixels[y * frame.pitch / 4 + x] & 0xFFFFFFu; };
  EXPECT_EQ(pixel(60, 40), 0xFF0000u);
  EXPECT_EQ(pixel(10, 10), 0x000000u);
}

TEST(BasesTick, KeysReachTheFocusedControlOnlyWhileTheWindowIsActive) {
  TickScene s;
  s.world.Page("main.nsb", R"(VarNew "key" type=string
Wait time=`100000` stop
)");
  s.world.Page("key.nsb", "Calc `key = @ParamStr[0]`\n");
  s.world.Start("main.nsb");
  auto field_owned = MakeObject<FilledBox>(s.runtime.objects.get());
  FilledBox& field = *field_owned;
  s.runtime.objects->base(0).AddChild(std::move(field_owned));
  field.SetHandleKey(true);
  field.SetEventLabel(PR_ONKEYDOWN, "key.nsb");
  s.Tick();

  platform::InputEvent down{platform::InputEvent::Kind::KeyDown};
  down.vk = 65;
  s.view->HandleEvent(down, 0);
  s.Tick();
  s.Tick();
  EXPECT_EQ(s.world.Str("key"), "65");
  EXPECT_TRUE(s.runtime.objects->input().keys().IsHeld(65));

  s.view->SetPauseWhenInactive(true);
  s.view->HandleEvent({platform::InputEvent::Kind::FocusLost}, 0);
  EXPECT_FALSE(s.runtime.objects->input().keys().IsHeld(65));  // nothing stays held while away
}

}  // namespace
}  // namespace novu
