#pragma once
// The classes the object list builds by type code (the cabinet excepted, which the list makes
// itself). Codes whose classes do not exist yet give none, so a creator command makes nothing
// for them and a save holding one is refused.
#include <cstdint>
#include <memory>

namespace novu {

class ObjectList;
class TNovuObject;

std::unique_ptr<TNovuObject> MakeScriptObject(ObjectList& list, uint8_t type);

}  // namespace novu
