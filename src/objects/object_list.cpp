#include "objects/object_list.h"

namespace novu {

TNovuControl* ResolveSavedControlName(const ObjectList& list, std::string_view name) {
  return name.empty() ? nullptr : list.FindControl(name);
}

}  // namespace novu
