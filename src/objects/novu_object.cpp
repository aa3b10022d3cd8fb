#include "objects/novu_object.h"

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "objects/event_queue.h"
#include "objects/novu_control.h"
#include "objects/object_list.h"
#include "objects/property_catalogue.h"

namespace novu {

bool IsInternalName(std::string_view name) {
  return !name.empty() && name.front() == kInternalNameMark;
}

TNovuObject::~TNovuObject() {
  if (owner_ != nullptr) owner_->Unregister(*this);
}

void TNovuObject::Create() {
  if (owner_ == nullptr) return;
  if (AutoName()) name_ = owner_->UniqueName("object");
  owner_->Register(*this);
}

void TNovuObject::SetName(std::string_view name) {
  if (name == name_) return;
  // The two bases are found, saved and restored by their fixed names: a base is never renamed.
  if (const TNovuControl* control = AsControl(); control != nullptr && control->IsBase()) return;
  if (owner_ != nullptr && !name.empty()) {
    TNovuObject* other = owner_->FindByName(name);
    if (other != nullptr && other != this) ResolveNameClash(*other);
  }
  name_ = name;
}

void TNovuObject::ResolveNameClash(TNovuObject& other) {
  owner_->ScheduleDeletion(other);
}

void TNovuObject::SetPriority(int32_t priority) {
  if (priority == priority_) return;
  priority_ = priority;
  order_ = 0;
  PriorityChanged();
}

bool TNovuObject::IsPaused() const {
  return PropAsBool(GetProperty(PR_PAUSED));
}

const PropertyTable& TNovuObject::Table() {
  using R = PropertyRows<TNovuObject>;
  static const PropertyTable table(
      nullptr,
      {
          R::Field(PR_NAME, &TNovuObject::name_).Set(&TNovuObject::SetName),
          R::Field(PR_PRIORITY, &TNovuObject::priority_).Set(&TNovuObject::SetPriority),
          R::SavedField(&TNovuObject::order_).Since(104),
          R::Field(PR_TAG, &TNovuObject::tag_).Set(&TNovuObject::SetTag).Since(120),
          R::Answer(PR_COMPOTYPE,
                    [](const TNovuObject& o) { return static_cast<int32_t>(o.GetType()); }),
      });
  return table;
}

PropValue TNovuObject::GetProperty(PropId id) const {
  if (const PropertyRow* row = Properties().Getter(id)) return row->get(*this);
  return CatalogueDefault(id);
}

void TNovuObject::SetProperty(PropId id, const PropValue& value) {
  // Properties the class does not take ignore the write.
  if (const PropertyRow* row = Properties().Setter(id)) row->set(*this, value);
}

PropValue TNovuObject::CatalogueDefault(PropId id) const {
  const PropertyInfo* info = FindPropertyById(id);
  if (info == nullptr) return int32_t{0};
  switch (info->fallback.source) {
    case DefaultSource::kName:
      return name_;
    case DefaultSource::kPriority:
      return priority_;
    case DefaultSource::kTag:
      return tag_;
    case DefaultSource::kWidth:
      return PropAsInt(GetProperty(PR_WIDTH));
    case DefaultSource::kHeight:
      return PropAsInt(GetProperty(PR_HEIGHT));
    case DefaultSource::kConstant:
      break;
  }
  switch (info->type) {
    case PT_STR:
      return std::string();
    case PT_BOOL:
      return info->fallback.AsBool();
    case PT_FLOAT:
      return static_cast<long double>(info->fallback.AsFloat());
    default:
      return info->fallback.AsInt();
  }
}

void TNovuObject::SaveToStream(BinaryWriter& out) const {
  Serializer s(out);
  // Saving only reads the object (see property_table.h).
  Properties().Sync(const_cast<TNovuObject&>(*this), s);
}

void TNovuObject::LoadFromStream(BinaryReader& in, const ObjectLoadContext& context) {
  Serializer s(in, context.version);
  Properties().Sync(*this, s);
  AfterLoad();
}

void TNovuObject::PostEvent(std::string_view label, std::span<const std::string> arguments,
                            uint8_t event_id) {
  if (label.empty() || owner_ == nullptr) return;
  owner_->Events().PostEvent(this, label, arguments, event_id);
}

bool TNovuObject::IsEventQueued(uint8_t event_id) const {
  return owner_ != nullptr && owner_->Events().IsQueued(this, event_id);
}

TNovuComponent::~TNovuComponent() {
  if (owner() != nullptr) owner()->Events().RemoveObjectEvents(this);
}

}  // namespace novu
