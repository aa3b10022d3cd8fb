#pragma once
// The type code every script object reports through PR_COMPOTYPE. Save files store it as one
// byte in front of each saved child, and the object list creates objects by it.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace novu {

enum ComponentType : uint8_t {
  LT_NONE = 0,  // the bases and the abstract classes
  LT_AUDIO = 1,
  LT_BOX = 2,
  LT_BUTTON = 3,
  LT_CINEMA = 4,
  LT_EDIT = 5,
  LT_FIRE = 6,
  LT_HTTP = 7,
  LT_IMAGES = 8,
  LT_LABEL = 9,
  LT_MAP = 10,
  LT_MEMO = 11,
  LT_MENU = 12,
  LT_MES = 13,
  LT_PARTICLE = 14,
  LT_TIMER = 15,
  LT_VIDEO = 16,
  LT_SOUND = 17,
  LT_MAPIMG = 18,
  LT_WAVE = 19,
  LT_TILE = 20,
  LT_SLIDER = 21,
  LT_SCROLLBAR = 22,
  LT_GAUGE = 23,
  LT_CGLABEL = 24,
  LT_PREVMENU = 25,
  LT_PROPMOTION = 26,
  LT_CABINET = 27,
};

inline constexpr int32_t kComponentTypeCount = LT_CABINET + 1;

struct ComponentTypeInfo {
  ComponentType type;
  std::string_view name;        // "LT_BOX"
  std::string_view class_name;  // "TNovuBox"; empty when no class has this code
};

// One row per code 0..27, in code order.
std::span<const ComponentTypeInfo> ComponentTypes();

// The code read from a file or a script, when it is one of 0..27.
std::optional<ComponentType> ComponentTypeFromCode(int32_t code);

// nullptr outside 0..27.
const ComponentTypeInfo* FindComponentType(int32_t code);

// True when a class exists that the object list can create for this code: LT_NONE (bases,
// abstract classes) and the codes without a class (LT_AUDIO, LT_MAP) are never created.
bool IsCreatableComponentType(ComponentType type);

}  // namespace novu
