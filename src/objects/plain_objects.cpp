#include "objects/plain_objects.h"

namespace novu {

bool IsComponentOnlyType(ComponentType type) {
  return type == LT_SOUND || type == LT_TIMER || type == LT_HTTP || type == LT_PROPMOTION;
}

std::unique_ptr<TNovuObject> MakePlainObject(ObjectList& list, uint8_t type) {
  const auto code = ComponentTypeFromCode(type);
  if (!code || !IsCreatableComponentType(*code)) return nullptr;
  if (IsComponentOnlyType(*code)) return MakeObject<TPlainComponent>(&list, *code);
  return MakeObject<TPlainControl>(&list, *code);
}

}  // namespace novu
