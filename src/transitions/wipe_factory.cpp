#include "transitions/wipe_factory.h"

#include "transitions/colour_wipes.h"
#include "transitions/mask_wipes.h"
#include "transitions/move_wipes.h"
#include "transitions/pixel_wipes.h"
#include "transitions/scale_wipes.h"

namespace novu::transitions {
namespace {

template <typename Wipe>
std::unique_ptr<TCustomWipe> Make(render::TCustomDIBX& target, const render::TCustomDIBX& from,
                                  const render::TCustomDIBX& to) {
  return std::make_unique<Wipe>(target, from, to);
}

using Maker = std::unique_ptr<TCustomWipe> (*)(render::TCustomDIBX&, const render::TCustomDIBX&,
                                               const render::TCustomDIBX&);

struct KindEntry {
  Maker make;
  WipeDefaults defaults;
};

// Indexed by kind - 1.
constexpr KindEntry kKinds[] = {
    {Make<TWipeFade>, {0, 0}},        {Make<TWipeBlindH>, {20, 1}},
    {Make<TWipeBlindV>, {20, 1}},     {Make<TWipeCurtainH>, {30, 1}},
    {Make<TWipeCurtainV>, {30, 1}},   {Make<TWipeScrollH>, {0, 0}},
    {Make<TWipeScrollV>, {0, 0}},     {Make<TWipeGrid>, {80, 30}},
    {Make<TWipeGridH>, {80, 30}},     {Make<TWipeGridV>, {80, 30}},
    {Make<TWipeDither>, {0, 0}},      {Make<TWipeWhite>, {0, 0}},
    {Make<TWipeBlack>, {0, 0}},       {Make<TWipeFlash>, {0, 0}},
    {Make<TWipeMosaic>, {0, 0}},      {Make<TWipeSudareH>, {0, 0}},
    {Make<TWipeSudareV>, {0, 0}},     {Make<TWipeSpot>, {0, 0}},
    {Make<TWipeShadow>, {0, 0}},      {Make<TWipeShadowWhite>, {0, 0}},
    {Make<TWipeShadowBlack>, {0, 0}}, {Make<TWipeSmall>, {0, 0}},
    {Make<TWipeBig>, {0, 0}},         {Make<TWipeRipple>, {5, 0}},
    {Make<TWipeBlurWhite>, {0, 0}},   {Make<TWipeBlurBlack>, {0, 0}},
    {Make<TWipeTwistH>, {0, 0}},      {Make<TWipeTwistV>, {0, 0}},
    {Make<TWipeCrack>, {64, 3}},      {Make<TWipeZoomin>, {0, 0}},
    {Make<TWipeClockhand>, {0, 0}},   {Make<TWipeRubberH>, {0, 0}},
    {Make<TWipeRubberV>, {0, 0}},     {Make<TWipeFan>, {0, 0}},
    {Make<TWipeWFan>, {0, 0}},        {Make<TWipeCircle>, {0, 0}},
    {Make<TWipeBlockCoil>, {60, 0}},  {Make<TWipeBlockRandom>, {60, 0}},
};
static_assert(std::size(kKinds) == kLastWipeKind);

}  // namespace

WipeDefaults DefaultParams(int32_t kind) {
  return IsWipeKind(kind) ? kKinds[kind - 1].defaults : WipeDefaults{};
}

std::unique_ptr<TCustomWipe> CreateWipe(int32_t kind, render::TCustomDIBX& target,
                                        const render::TCustomDIBX& from,
                                        const render::TCustomDIBX& to, WipeContext context) {
  if (!IsWipeKind(kind)) return nullptr;
  const KindEntry& entry = kKinds[kind - 1];
  auto wipe = entry.make(target, from, to);
  wipe->SetContext(std::move(context));
  wipe->SetParam(0, entry.defaults.param0);
  wipe->SetParam(1, entry.defaults.param1);
  return wipe;
}

}  // namespace novu::transitions
