#pragma once
// A scene on the player's object list: an 800 x 600 screen and controls that fill their bounds
// with a colour, count their updates and can close on a right click.
#include <functional>
#include <string>
#include <vector>

#include "objects/base_list.h"
#include "objects/plain_objects.h"
#include "render/custom_dibx.h"

namespace novu::testing {

class Panel : public TNovuControl, public RightClickCloser {
 public:
  explicit Panel(ObjectList* owner) : TNovuControl(owner) {}

  ComponentType GetType() const override { return LT_BOX; }
  static const PropertyTable& Table() {
    using R = PropertyRows<Panel>;
    static const PropertyTable table(
        &TNovuControl::Table(), {
                                    R::Field(PR_RCLICKSCRAP, &Panel::right_click_scrap).NotSaved(),
                                    R::Field(PR_ONIDLE, &Panel::on_idle).NotSaved(),
                                });
    return table;
  }
  const PropertyTable& Properties() const override { return Table(); }
  int32_t Update() override {
    ++updates;
    if (on_update) on_update();
    return update_result;
  }
  void LButtonDown() override {
    TNovuControl::LButtonDown();
    if (on_left_down) on_left_down();
  }
  bool CloseByRightClick() override {
    if (!closes) return false;
    SetVisible(false);
    return true;
  }

  uint32_t fill = 0;
  bool right_click_scrap = false;
  bool closes = true;
  std::string on_idle;
  int updates = 0;
  int32_t update_result = 0;
  std::function<void()> on_update;
  std::function<void()> on_left_down;

 protected:
  void DrawSelf(render::TCustomDIBX& surface) override { surface.FillRect(GetBoundsRect(), fill); }
};

inline std::unique_ptr<TNovuObject> MakeSceneObject(ObjectList& list, uint8_t type) {
  if (type == LT_BOX) return MakeObject<Panel>(&list);
  return MakePlainObject(list, type);
}

struct BaseScene {
  BaseScene() : list(MakeSceneObject) { list.SetSize(800, 600); }

  // A panel on base 0 (or under `parent`) named `name`.
  Panel& Add(const std::string& name, render::Rect r, TNovuControl* parent = nullptr) {
    Panel& p = list.AddTo<Panel>(parent != nullptr ? *parent : list.base(0));
    p.SetName(name);
    p.SetBounds(r.left, r.top, r.Width(), r.Height());
    return p;
  }
  // One frame of input at `elapsed` ms.
  void Frame(int32_t elapsed = 15) { list.input().ProcessInput(elapsed); }
  std::vector<MemoryEventQueue::Entry>& events() { return list.queue().entries(); }
  // The handlers posted so far, in order, and the queue emptied.
  std::vector<std::string> TakeHandlers() {
    std::vector<std::string> out;
    for (const auto& e : events()) out.push_back(e.handler);
    events().clear();
    return out;
  }

  TNovuBaseList list;
};

}  // namespace novu::testing
