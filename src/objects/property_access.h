#pragma once
// Reading and writing any object's property by its number, as the GetProp and SetProp commands
// and the expression evaluator do. The property's catalogue type decides how the value moves
// between the variable and the object.
#include <cstdint>

namespace novu {

class TCustomParam;
class TNovuObject;

// Stores property `id` of `object` into `variable`. An id outside 0..162 fails with
// "GetPropエラー".
void GetProp(TCustomParam& variable, const TNovuObject& object, int32_t id);

// Writes `value` into property `id` of `object`. Ids outside 0..162, and the two properties
// nobody may write, fail with "SetPropエラー"; read-only properties ignore the write.
void SetProp(TNovuObject& object, int32_t id, const TCustomParam& value);

}  // namespace novu
