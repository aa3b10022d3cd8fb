#include "transitions/screen_wipe.h"

#include "transitions/wipe_factory.h"

namespace novu::transitions {
namespace {

class ScreenWipe final : public ScreenTransition {
 public:
  explicit ScreenWipe(std::unique_ptr<TCustomWipe> wipe) : wipe_(std::move(wipe)) {}

  void SetParam(int index, int32_t value) override { wipe_->SetParam(index, value); }
  void SetRuleName(std::string name) override { wipe_->SetRuleName(std::move(name)); }
  void Prepare() override { wipe_->Prepare(); }
  bool Step(int32_t elapsed) override {
    wipe_->SetElapsed(elapsed);
    return wipe_->Step();
  }
  Rect DirtyRect() const override { return wipe_->DirtyRect(); }

 private:
  std::unique_ptr<TCustomWipe> wipe_;
};

}  // namespace

ScreenTransitionMaker MakeScreenTransitions(std::function<WipeContext()> context) {
  return [context = std::move(context)](
             const ScreenTransitionRequest& request, render::TCustomDIBX& screen,
             const render::TCustomDIBX& from,
             const render::TCustomDIBX& to) -> std::unique_ptr<ScreenTransition> {
    auto wipe = CreateWipe(request.kind, screen, from, to, context ? context() : WipeContext{});
    if (!wipe) return nullptr;
    // The order of a flip: duration, direction, then the caller's parameters and preparation.
    wipe->SetDuration(request.duration);
    wipe->SetReverse(request.reverse);
    return std::make_unique<ScreenWipe>(std::move(wipe));
  };
}

}  // namespace novu::transitions
