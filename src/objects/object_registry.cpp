#include "objects/object_registry.h"

#include <algorithm>
#include <unordered_set>

#include "objects/novu_control.h"
#include "objects/object_list.h"

namespace novu {

std::string FirstFreeName(std::span<TNovuObject* const> objects, std::string_view prefix) {
  std::unordered_set<std::string_view> taken;
  for (const TNovuObject* object : objects) taken.insert(object->name());
  for (int64_t i = 0;; ++i) {
    std::string name = std::string(prefix) + std::to_string(i);
    if (!taken.contains(name)) return name;
  }
}

TNovuObject* FindNamed(std::span<TNovuObject* const> objects, std::string_view name) {
  if (name.empty()) return nullptr;
  for (TNovuObject* object : objects) {
    if (object->name() == name) return object;
  }
  return nullptr;
}

std::optional<int> BaseIndexOfControlName(std::string_view name, int active_index) {
  if (name.empty()) return active_index;
  if (name == kInactiveBaseName) return 1 - active_index;
  if (name == kBaseNames[0]) return 0;
  if (name == kBaseNames[1]) return 1;
  return std::nullopt;
}

TNovuControl* FindLiveControl(std::span<TNovuObject* const> objects, std::string_view name,
                              const ObjectList& list) {
  for (TNovuObject* object : objects) {
    TNovuControl* control = object->AsControl();
    if (control != nullptr && object->name() == name && !list.IsPendingDeletion(*object)) {
      return control;
    }
  }
  return nullptr;
}

bool ContainsObject(std::span<TNovuObject* const> objects, const TNovuObject* object) {
  return std::find(objects.begin(), objects.end(), object) != objects.end();
}

}  // namespace novu
