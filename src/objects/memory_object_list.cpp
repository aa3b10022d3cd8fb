#include "objects/memory_object_list.h"
#include "objects/object_registry.h"

#include <algorithm>

namespace novu {

void MemoryBase::InvalidateRect(const Rect& rect) {
  const Rect clamped = Intersect(rect, {0, 0, width(), height()});
  if (!clamped.IsEmpty()) dirty_.push_back(clamped);
}

MemoryObjectList::MemoryObjectList(Factory factory) : factory_(std::move(factory)) {
  for (int i = 0; i < 2; ++i) {
    bases_[i] = MakeObject<MemoryBase>(this);
    bases_[i]->AssignName(std::string(kBaseNames[i]));
  }
}

MemoryObjectList::~MemoryObjectList() {
  // Children before their bases, everything before the registry and the queue.
  while (!roots_.empty()) roots_.pop_back();
  bases_[1].reset();
  bases_[0].reset();
}

void MemoryObjectList::ChooseFocus() {
  focus_ = ActiveBase()->FindFocusCandidate();
  focus_requested_ = false;
}

void MemoryObjectList::Free(TNovuObject& object) {
  TNovuControl* holder = object.holder();
  std::unique_ptr<TNovuObject> doomed =
      holder != nullptr ? holder->RemoveChild(object) : ReleaseRoot(object);
}

void MemoryObjectList::FreeScheduled() {
  const std::vector<TNovuObject*> doomed = std::move(deletion_set_);
  deletion_set_.clear();
  for (TNovuObject* object : doomed) {
    // An earlier free may have taken this one with its parent.
    if (IsRegistered(object)) Free(*object);
  }
}

void MemoryObjectList::Register(TNovuObject& object) {
  registry_.push_back(&object);
}

void MemoryObjectList::Unregister(TNovuObject& object) {
  std::erase(registry_, &object);
  std::erase(deletion_set_, &object);
}

bool MemoryObjectList::IsRegistered(const TNovuObject* object) const {
  return ContainsObject(registry_, object);
}

void MemoryObjectList::ScheduleDeletion(TNovuObject& object) {
  if (!IsPendingDeletion(object)) deletion_set_.push_back(&object);
  object.AssignName({});
}

bool MemoryObjectList::IsPendingDeletion(const TNovuObject& object) const {
  return ContainsObject(deletion_set_, &object);
}

std::string MemoryObjectList::UniqueName(std::string_view prefix) const {
  return FirstFreeName(registry_, prefix);
}

TNovuObject* MemoryObjectList::FindByName(std::string_view name) const {
  return FindNamed(registry_, name);
}

TNovuControl* MemoryObjectList::FindControl(std::string_view name) const {
  if (const std::optional<int> base = BaseIndexOfControlName(name, active_)) {
    return bases_[*base].get();
  }
  return FindLiveControl(registry_, name, *this);
}

void MemoryObjectList::AdoptRoot(std::unique_ptr<TNovuObject> object) {
  if (object != nullptr) roots_.push_back(std::move(object));
}

std::unique_ptr<TNovuObject> MemoryObjectList::ReleaseRoot(TNovuObject& object) {
  const auto it = std::find_if(roots_.begin(), roots_.end(),
                               [&object](const auto& r) { return r.get() == &object; });
  if (it == roots_.end()) return nullptr;
  std::unique_ptr<TNovuObject> taken = std::move(*it);
  roots_.erase(it);
  return taken;
}

std::unique_ptr<TNovuObject> MemoryObjectList::CreateByType(uint8_t type_code) {
  const auto type = static_cast<uint8_t>(type_code & 0x7f);
  if (!factory_ || !IsCreatableComponentType(static_cast<ComponentType>(type))) return nullptr;
  return factory_(*this, type);
}

}  // namespace novu
