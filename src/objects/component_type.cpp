#include "objects/component_type.h"

#include <array>

namespace novu {
namespace {

constexpr std::array<ComponentTypeInfo, kComponentTypeCount> kComponentTypes{{
    {LT_NONE, "LT_NONE", ""},
    {LT_AUDIO, "LT_AUDIO", ""},
    {LT_BOX, "LT_BOX", "TNovuBox"},
    {LT_BUTTON, "LT_BUTTON", "TNovuButton"},
    {LT_CINEMA, "LT_CINEMA", "TNovuCinema"},
    {LT_EDIT, "LT_EDIT", "TNovuEdit"},
    {LT_FIRE, "LT_FIRE", "TNovuFire"},
    {LT_HTTP, "LT_HTTP", "TNovuHttp"},
    {LT_IMAGES, "LT_IMAGES", "TNovuImages"},
    {LT_LABEL, "LT_LABEL", "TNovuLabel"},
    {LT_MAP, "LT_MAP", ""},
    {LT_MEMO, "LT_MEMO", "TNovuMemo"},
    {LT_MENU, "LT_MENU", "TNovuMenu"},
    {LT_MES, "LT_MES", "TNovuMes"},
    {LT_PARTICLE, "LT_PARTICLE", "TNovuParticle"},
    {LT_TIMER, "LT_TIMER", "TNovuTimer"},
    {LT_VIDEO, "LT_VIDEO", "TNovuVideo"},
    {LT_SOUND, "LT_SOUND", "TNovuSound"},
    {LT_MAPIMG, "LT_MAPIMG", "TNovuMapImage"},
    {LT_WAVE, "LT_WAVE", "TNovuWave"},
    {LT_TILE, "LT_TILE", "TNovuTile"},
    {LT_SLIDER, "LT_SLIDER", "TNovuSlider"},
    {LT_SCROLLBAR, "LT_SCROLLBAR", "TNovuScrollbar"},
    {LT_GAUGE, "LT_GAUGE", "TNovuGauge"},
    {LT_CGLABEL, "LT_CGLABEL", "TNovuCGLabel"},
    {LT_PREVMENU, "LT_PREVMENU", "TNovuPrevMenu"},
    {LT_PROPMOTION, "LT_PROPMOTION", "TNovuPropMotion"},
    {LT_CABINET, "LT_CABINET", "TNovuCabinet"},
}};

constexpr bool RowsAreInCodeOrder() {
  for (size_t i = 0; i < kComponentTypes.size(); ++i) {
    if (kComponentTypes[i].type != i) return false;
  }
  return true;
}
static_assert(RowsAreInCodeOrder(), "component type rows must be in code order");

}  // namespace

std::span<const ComponentTypeInfo> ComponentTypes() {
  return kComponentTypes;
}

std::optional<ComponentType> ComponentTypeFromCode(int32_t code) {
  if (code < 0 || code >= kComponentTypeCount) return std::nullopt;
  return static_cast<ComponentType>(code);
}

const ComponentTypeInfo* FindComponentType(int32_t code) {
  const std::optional<ComponentType> type = ComponentTypeFromCode(code);
  return type ? &kComponentTypes[*type] : nullptr;
}

bool IsCreatableComponentType(ComponentType type) {
  return type != LT_NONE && type < kComponentTypeCount && !kComponentTypes[type].class_name.empty();
}

}  // namespace novu
