#pragma once
// Objects that report a type code but keep only the state every object shares: a control for
// the visible types and a component for the others. Tools and fuzz targets read saved object
// trees with them before (or without) the concrete classes.
#include <memory>

#include "objects/novu_control.h"
#include "objects/novu_object.h"

namespace novu {

class ObjectList;

class TPlainControl final : public TNovuControl {
 public:
  TPlainControl(ObjectList* owner, ComponentType type) : TNovuControl(owner), type_(type) {}
  ComponentType GetType() const override { return type_; }

 private:
  ComponentType type_;
};

class TPlainComponent final : public TNovuComponent {
 public:
  TPlainComponent(ObjectList* owner, ComponentType type) : TNovuComponent(owner), type_(type) {}
  ComponentType GetType() const override { return type_; }

 private:
  ComponentType type_;
};

// True for the types whose classes are not drawn (sound, timer, download, property motion).
bool IsComponentOnlyType(ComponentType type);

// A plain object of a creatable type code with `list` as owner; null for any other code.
std::unique_ptr<TNovuObject> MakePlainObject(ObjectList& list, uint8_t type);

}  // namespace novu
