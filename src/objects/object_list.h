#pragma once
// What a script object needs from the object list that owns it: the registry of every object,
// names, the deferred deletion set, the factory, the bases, the keyboard focus and the event
// queue. TNovuBaseList (base_list.h) implements it.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace novu {

class EventQueue;
class TNovuControl;
class TNovuObject;

class ObjectList {
 public:
  virtual ~ObjectList() = default;

  // --- registry ---
  virtual void Register(TNovuObject& object) = 0;
  virtual void Unregister(TNovuObject& object) = 0;
  // False once the object has been freed (the registry index test).
  virtual bool IsRegistered(const TNovuObject* object) const = 0;

  // --- deferred deletion ---
  // Puts the object into the deletion set and clears its name, so lookups no longer find it.
  virtual void ScheduleDeletion(TNovuObject& object) = 0;
  virtual bool IsPendingDeletion(const TNovuObject& object) const = 0;

  // --- names ---
  // The first of prefix0, prefix1, ... that no registered object has.
  virtual std::string UniqueName(std::string_view prefix) const = 0;
  // The first registered object with exactly this name (none for the empty name).
  virtual TNovuObject* FindByName(std::string_view name) const = 0;
  // Controls by name: the empty name is the active base, 0x01 the inactive one, 0x01 "BASE0"
  // and 0x01 "BASE1" the bases themselves; otherwise the first registered control with the
  // name that is not in the deletion set.
  virtual TNovuControl* FindControl(std::string_view name) const = 0;

  // --- ownership ---
  // Objects without a parent belong to the list; a parent owns its children.
  virtual void AdoptRoot(std::unique_ptr<TNovuObject> object) = 0;
  // Hands back an object the list holds; null when it holds no such object.
  virtual std::unique_ptr<TNovuObject> ReleaseRoot(TNovuObject& object) = 0;
  // A new object of the type code (top bit ignored), created with this list as owner; null for
  // codes no class answers to.
  virtual std::unique_ptr<TNovuObject> CreateByType(uint8_t type_code) = 0;

  // --- bases and focus ---
  virtual TNovuControl* ActiveBase() const = 0;
  virtual TNovuControl* FocusedControl() const = 0;
  // Drops the focus without any focus events (the holder is going away or out of reach).
  virtual void ClearFocus() = 0;
  // Asks the next input pass to choose a default focus.
  virtual void RequestFocus() = 0;

  virtual EventQueue& Events() = 0;

  // --- time ---
  // The game clock and the length of the last frame (ms) that timers and motions run on; both
  // 0 where no frame loop runs.
  virtual int32_t GameClock() const { return 0; }
  virtual int32_t FrameDelta() const { return 0; }
};

// A saved reference to an object by name: the empty name means "none", never the active base.
TNovuControl* ResolveSavedControlName(const ObjectList& list, std::string_view name);

}  // namespace novu
