#include "objects/object_registry.h"

#include <algorithm>
#include <unordered_set>

#include "objects/novu_object.h"

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

bool ContainsObject(std::span<TNovuObject* const> objects, const TNovuObject* object) {
  return std::find(objects.begin(), objects.end(), object) != objects.end();
}

}  // namespace novu
