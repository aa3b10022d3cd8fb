#include "objects/object_factory.h"

#include "objects/novu_timer.h"
#include "objects/object_list.h"
#include "objects/prop_motion.h"

namespace novu {

std::unique_ptr<TNovuObject> MakeScriptObject(ObjectList& list, uint8_t type) {
  switch (type & 0x7f) {
    case LT_TIMER:
      return MakeObject<TNovuTimer>(&list);
    case LT_PROPMOTION:
      return MakeObject<TNovuPropMotion>(&list);
    default:
      return nullptr;
  }
}

}  // namespace novu
