#pragma once
// Creates the script objects by component type for the object list: the picture controls here,
// the timers and motions of the object model; codes without a class yet give none.
#include <cstdint>
#include <memory>

#include "controls/image_environment.h"
#include "objects/base_list.h"

namespace novu {

// The factory keeps `env` by value; what it points at must outlive the object list.
TNovuBaseList::Factory MakeControlFactory(ImageEnvironment env);

// One object of `type` (null for codes no class answers to yet).
std::unique_ptr<TNovuObject> CreateControl(ObjectList& list, uint8_t type,
                                           const ImageEnvironment& env);

}  // namespace novu
