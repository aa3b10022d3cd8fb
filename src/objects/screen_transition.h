#pragma once
// What the object list needs of an animated screen change. The transitions layer implements it
// and hands the list a maker; the list owns at most one running transition.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "render/custom_dibx.h"

namespace novu {

class ScreenTransition {
 public:
  virtual ~ScreenTransition() = default;
  virtual void SetParam(int index, int32_t value) = 0;
  virtual void SetRuleName(std::string name) = 0;
  // Called once after the parameters are set.
  virtual void Prepare() = 0;
  // Draws the picture of `elapsed` into the screen; true (drawing nothing) once elapsed reaches
  // the duration.
  virtual bool Step(int32_t elapsed) = 0;
  // The area the last step changed.
  virtual Rect DirtyRect() const = 0;
};

struct ScreenTransitionRequest {
  int32_t kind = 0;
  int32_t duration = 1;
  bool reverse = false;
};

// Makes the transition of a request drawing into `screen` from `from` to `to`, or null for a
// kind that has none (the flip then happens at once).
using ScreenTransitionMaker = std::function<std::unique_ptr<ScreenTransition>(
    const ScreenTransitionRequest& request, render::TCustomDIBX& screen,
    const render::TCustomDIBX& from, const render::TCustomDIBX& to)>;

}  // namespace novu
