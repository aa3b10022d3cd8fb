#pragma once
// A plain object list held in memory: two bases, a registry, the deletion set, the focus and a
// MemoryEventQueue. The tools, the fuzz targets and the tests of the object classes build their
// scenes with it; the player's own list adds the screens, input routing and the frame passes.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "objects/event_queue.h"
#include "objects/novu_control.h"
#include "objects/object_list.h"

namespace novu {

// A base as far as the controls on it are concerned: the root of a tree, its mouse state and
// the rectangles reported for repainting, clamped to the base.
class MemoryBase final : public TNovuControl {
 public:
  using TNovuControl::TNovuControl;

  bool IsBase() const override { return true; }
  BaseInputState* InputState() override { return &input_; }
  void InvalidateRect(const Rect& rect) override;
  render::TCustomDIBX* GetSurface() const override { return surface_; }
  void set_surface(render::TCustomDIBX* surface) { surface_ = surface; }

  std::vector<Rect>& dirty() { return dirty_; }

 private:
  BaseInputState input_;
  std::vector<Rect> dirty_;
  render::TCustomDIBX* surface_ = nullptr;  // not owned
};

class MemoryObjectList final : public ObjectList {
 public:
  // Creates the object of a type code (already stripped of its top bit) with `list` as owner,
  // or returns null for codes it does not know.
  using Factory = std::function<std::unique_ptr<TNovuObject>(ObjectList& list, uint8_t type)>;

  explicit MemoryObjectList(Factory factory = {});
  ~MemoryObjectList() override;

  // An object of class T owned by the list (no parent).
  template <typename T, typename... Args>
  T& Add(Args&&... args) {
    auto object = MakeObject<T>(this, std::forward<Args>(args)...);
    T& ref = *object;
    AdoptRoot(std::move(object));
    return ref;
  }
  // A control of class T placed under `parent`.
  template <typename T, typename... Args>
  T& AddTo(TNovuControl& parent, Args&&... args) {
    auto object = MakeObject<T>(this, std::forward<Args>(args)...);
    T& ref = *object;
    parent.AddChild(std::move(object));
    return ref;
  }

  MemoryBase& base(int index) const { return *bases_[index != 0 ? 1 : 0]; }
  void SetActiveBaseIndex(int index) { active_ = index != 0 ? 1 : 0; }
  void SetFocus(TNovuControl* control) { focus_ = control; }
  bool focus_requested() const { return focus_requested_; }
  // What the input pass does when a focus was requested.
  void ChooseFocus();
  // Frees an object at once, wherever it sits.
  void Free(TNovuObject& object);
  // Frees every object of the deletion set and empties it.
  void FreeScheduled();
  const std::vector<TNovuObject*>& registry() const { return registry_; }
  MemoryEventQueue& queue() { return queue_; }

  // --- ObjectList ---
  void Register(TNovuObject& object) override;
  void Unregister(TNovuObject& object) override;
  bool IsRegistered(const TNovuObject* object) const override;
  void ScheduleDeletion(TNovuObject& object) override;
  bool IsPendingDeletion(const TNovuObject& object) const override;
  std::string UniqueName(std::string_view prefix) const override;
  TNovuObject* FindByName(std::string_view name) const override;
  TNovuControl* FindControl(std::string_view name) const override;
  void AdoptRoot(std::unique_ptr<TNovuObject> object) override;
  std::unique_ptr<TNovuObject> ReleaseRoot(TNovuObject& object) override;
  std::unique_ptr<TNovuObject> CreateByType(uint8_t type_code) override;
  TNovuControl* ActiveBase() const override { return bases_[active_].get(); }
  TNovuControl* FocusedControl() const override { return focus_; }
  void ClearFocus() override { focus_ = nullptr; }
  void RequestFocus() override { focus_requested_ = true; }
  EventQueue& Events() override { return queue_; }

 private:
  // Declared first so that they outlive every object: objects report to them while they die.
  Factory factory_;
  MemoryEventQueue queue_;
  std::vector<TNovuObject*> registry_;
  std::vector<TNovuObject*> deletion_set_;
  TNovuControl* focus_ = nullptr;
  bool focus_requested_ = false;
  int active_ = 0;

  std::unique_ptr<MemoryBase> bases_[2];
  std::vector<std::unique_ptr<TNovuObject>> roots_;
};

}  // namespace novu
