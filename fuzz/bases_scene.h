#pragma once
// The input layout of the saved-scene fuzz target: one byte choosing the save version, then the
// object list's record for a 64 x 48 screen.
#include "objects/base_list.h"
#include "objects/plain_objects.h"
#include "objects_stream.h"

namespace novu::fuzz {

inline constexpr int32_t kSceneWidth = 64;
inline constexpr int32_t kSceneHeight = 48;

inline std::unique_ptr<TNovuBaseList> MakeScene() {
  auto list = std::make_unique<TNovuBaseList>(MakePlainObject);
  list->SetSize(kSceneWidth, kSceneHeight);
  return list;
}

}  // namespace novu::fuzz
