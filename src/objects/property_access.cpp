#include "objects/property_access.h"

#include "expr/custom_param.h"
#include "objects/novu_object.h"
#include "objects/property_catalogue.h"
#include "platform/error.h"

namespace novu {

void GetProp(TCustomParam& variable, const TNovuObject& object, int32_t id) {
  const PropertyInfo* info = FindPropertyById(id);
  if (info == nullptr) throw NovuError::FromUtf8("GetPropエラー");
  const PropValue value = object.GetProperty(info->id);
  switch (info->type) {
    case PT_INT:
      variable.SetAsInt(PropAsInt(value));
      break;
    case PT_BOOL:
      variable.SetAsBool(PropAsBool(value));
      break;
    case PT_FLOAT:
      variable.SetAsFloat(PropAsFloat(value));
      break;
    default:
      variable.SetAsStr(PropAsStr(value));
      break;
  }
}

void SetProp(TNovuObject& object, int32_t id, const TCustomParam& value) {
  const PropertyInfo* info = FindPropertyById(id);
  if (info == nullptr || info->IsWriteRefused()) throw NovuError::FromUtf8("SetPropエラー");
  if (info->IsReadOnly()) return;
  switch (info->type) {
    case PT_INT:
      object.SetProperty(info->id, value.GetAsInt());
      break;
    case PT_BOOL:
      object.SetProperty(info->id, value.GetAsBool());
      break;
    case PT_FLOAT:
      object.SetProperty(info->id, value.GetAsFloat());
      break;
    default:
      object.SetProperty(info->id, value.GetAsStr());
      break;
  }
}

}  // namespace novu
