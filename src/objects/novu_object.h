#pragma once
// TNovuObject, the root of every script object, and TNovuComponent, the base of the objects that
// are not drawn (sounds, timers, property motions, downloads). Scripts reach every object through
// its numbered properties. Each class declares its properties and its saved record once, in a
// property table (objects/property_table.h, docs/adding-a-control.md); a property no table
// mentions answers the catalogue default and ignores writes.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "objects/component_type.h"
#include "objects/property_id.h"
#include "objects/property_table.h"
#include "objects/property_value.h"

namespace novu {

class BinaryReader;
class BinaryWriter;
class ObjectList;
class TNovuControl;

// Object names that begin with this byte belong to the engine: the bases are 0x01 "BASE0" and
// 0x01 "BASE1", such objects are never saved as children and sort before ordinary siblings.
inline constexpr char kInternalNameMark = '\x01';
// The name the Flip command gives its picture; it always sorts after all its siblings.
inline constexpr std::string_view kTopmostName = "\x01\x01";

bool IsInternalName(std::string_view name);

// How deep controls may nest below the root of their tree (a base is at depth 0) and how many
// children one saved control may hold. Deeper trees are refused, whether a script builds them
// or a save describes them, so walking a tree can never exhaust the stack.
inline constexpr int32_t kMaxNesting = 64;
inline constexpr size_t kMaxSavedChildren = 65536;

// The first save version whose object records carry every field the writer writes; older
// versions lack some of them and are read field by field.
inline constexpr int32_t kObjectLayoutVersion = 137;

// The reading state of object records.
struct ObjectLoadContext {
  int32_t version = 0;  // the save file's format version
};

class TNovuObject {
 public:
  explicit TNovuObject(ObjectList* owner) : owner_(owner) {}
  virtual ~TNovuObject();
  TNovuObject(const TNovuObject&) = delete;
  TNovuObject& operator=(const TNovuObject&) = delete;

  // Stores the owner, gives the object its default name when it wants one, and registers it.
  // Called once, right after construction (virtual operations are not yet available there).
  virtual void Create();

  ObjectList* owner() const { return owner_; }
  const std::string& name() const { return name_; }
  const std::string& tag() const { return tag_; }
  int32_t priority() const { return priority_; }
  int32_t order() const { return order_; }
  void set_order(int32_t order) { order_ = order; }

  // The type code a class reports through PR_COMPOTYPE and stores in front of saved children.
  virtual ComponentType GetType() const { return LT_NONE; }
  virtual TNovuControl* AsControl() { return nullptr; }
  const TNovuControl* AsControl() const { return const_cast<TNovuObject*>(this)->AsControl(); }

  // Renames the object. A registered object already carrying the name is deleted (plain objects
  // and components) or renamed (controls, see TNovuControl). A base keeps its name.
  void SetName(std::string_view name);
  // Sets the name without looking at other objects (loading, deletion).
  void AssignName(std::string name) { name_ = std::move(name); }
  void SetTag(std::string_view tag) { tag_ = tag; }
  virtual void SetPriority(int32_t priority);

  virtual TNovuControl* GetParent() const { return nullptr; }
  // The control whose child list holds the object (for a control, its parent); none when the
  // object list holds it.
  TNovuControl* holder() const { return holder_; }
  virtual void SetParent(TNovuControl* /*parent*/) {}
  virtual bool IsVisible() const { return false; }
  virtual void SetVisible(bool /*visible*/) {}
  // The base at the root of the object's tree; none for components.
  virtual TNovuControl* GetBase() const { return nullptr; }
  virtual bool IsPaused() const;

  // The class's property table; every class with properties of its own overrides it.
  virtual const PropertyTable& Properties() const { return Table(); }
  static const PropertyTable& Table();

  // Property access by number, through the property table; the id is valid (0..162). The
  // getter answers in the catalogue type of the property; the setter is given a value of that
  // type.
  PropValue GetProperty(PropId id) const;
  void SetProperty(PropId id, const PropValue& value);
  // The answer of a class that does not implement `id`.
  PropValue CatalogueDefault(PropId id) const;

  // Per-frame work; a non-zero result asks the owner to delete the object.
  virtual int32_t Update() { return 0; }

  // The bytes an object offers other objects to read as a stream (a download's received data);
  // none for every other kind of object.
  virtual const std::string* DataStream() const { return nullptr; }

  // The saved state, as the property table lays it out: the object part, then what the classes
  // below add.
  void SaveToStream(BinaryWriter& out) const;
  void LoadFromStream(BinaryReader& in, const ObjectLoadContext& context);

  // Posts an event label to the owner's queue; nothing when the label is empty or there is no
  // owner.
  void PostEvent(std::string_view label, std::span<const std::string> arguments, uint8_t event_id);
  bool IsEventQueued(uint8_t event_id) const;

 protected:
  // True when the object is to get a default name ("object0", "object1", ...) on creation.
  virtual bool AutoName() const { return true; }
  // Called by SetName when `other` already has the name this object is taking.
  virtual void ResolveNameClash(TNovuObject& other);
  // Called after the priority changed (controls resort their siblings and repaint).
  virtual void PriorityChanged() {}
  // Called once a saved record has been read into the object.
  virtual void AfterLoad() {}

 private:
  friend class TNovuControl;   // keeps holder_ in step with its child list
  friend class TNovuBaseList;  // takes over the objects of a scene restored beside it

  ObjectList* owner_;
  TNovuControl* holder_ = nullptr;
  std::string name_;
  std::string tag_;
  int32_t priority_ = 0;
  int32_t order_ = 0;
};

// Objects that are not drawn; destroying one removes its queued events.
class TNovuComponent : public TNovuObject {
 public:
  using TNovuObject::TNovuObject;
  ~TNovuComponent() override;
};

// Builds an object of class T with `owner`, runs its creation and returns it; the caller decides
// who owns it (a parent, or the list through AdoptRoot).
template <typename T, typename... Args>
std::unique_ptr<T> MakeObject(ObjectList* owner, Args&&... args) {
  auto object = std::make_unique<T>(owner, std::forward<Args>(args)...);
  object->Create();
  return object;
}

}  // namespace novu
