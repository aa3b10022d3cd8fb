#pragma once
// TNovuBaseList: the object list of the player. It owns the two bases and every script object,
// registers and names them, creates them by type code, deletes them when asked (at the end of
// the update pass), keeps the focus, and runs the three passes of a frame: input routing (its
// InputRouter), update and repaint of the dirty regions.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "core/process_state.h"
#include "objects/event_queue.h"
#include "objects/input_router.h"
#include "objects/novu_base.h"
#include "objects/object_list.h"
#include "objects/screen_transition.h"
#include "objects/screen_variables.h"
#include "render/dibx.h"

namespace novu {

class BinaryReader;
class BinaryWriter;

class TNovuBaseList final : public ObjectList {
 public:
  // Creates the objects of the type codes the list does not build itself (everything but the
  // cabinet), or returns null for codes it does not know.
  using Factory = std::function<std::unique_ptr<TNovuObject>(ObjectList& list, uint8_t type)>;

  static constexpr int32_t kInitialSize = 8;

  explicit TNovuBaseList(Factory factory = {});
  // The classes of the script objects join when they are there.
  void SetFactory(Factory factory) { factory_ = std::move(factory); }
  ~TNovuBaseList() override;
  TNovuBaseList(const TNovuBaseList&) = delete;
  TNovuBaseList& operator=(const TNovuBaseList&) = delete;

  // --- screens ---
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  // Resizes the screen surface (when the list owns it) and both bases. A size the surfaces
  // refuse throws NovuError and changes nothing.
  void SetSize(int32_t width, int32_t height);
  // The depth of every surface the list creates (32 without a screen manager).
  void SetSurfaceDepth(int depth);
  int surface_depth() const { return depth_; }
  // The surface the shown base draws into; none: a surface of the list's own.
  void SetScreenSurface(render::TCustomDIBX* surface);
  render::TCustomDIBX& ScreenSurface() const { return *screen_; }
  TNovuBase& base(int index) const { return *bases_[index != 0 ? 1 : 0]; }
  int32_t active_index() const { return active_; }
  TNovuBase& active_base() const { return *bases_[active_]; }
  // Shows base `index`. A running transition is freed first. With a kind that the transition
  // maker knows, a transition from the current screen to the other base's picture starts and
  // runs until the next call; otherwise the change is immediate.
  void SetActiveBase(int32_t index, int32_t kind = 0, bool reverse = false, bool force = false,
                     int32_t elapsed_ms = 0, int32_t duration_ms = 0);
  // The transitions the list can run; none: every flip is immediate.
  void SetTransitionMaker(ScreenTransitionMaker maker) { transition_maker_ = std::move(maker); }
  // Paints the list and keeps the screen as the old picture of the next transition (a flip
  // that moves controls between the bases takes it before moving them).
  void CaptureScreen();
  // The running transition, for its parameters; null when none runs.
  ScreenTransition* transition() const { return transition_.get(); }
  // The time since the transition started; its next step draws that moment.
  void AdvanceTransition(int32_t elapsed) { transition_elapsed_ = elapsed; }
  // The rectangle a running transition drew this frame; when set, the whole of it is presented
  // instead of the dirty lists.
  const Rect& transition_rect() const { return transition_rect_; }
  void SetTransitionRect(const Rect& rect) { transition_rect_ = rect; }
  // Empties the dirty lists of both bases (after presenting).
  void ClearDirty();

  // --- the frame's passes ---
  // Input routing runs first: input().ProcessInput(elapsed_ms).
  InputRouter& input() { return input_; }
  const InputRouter& input() const { return input_; }
  // Per-frame update of every object; deletions asked for meanwhile happen at its end.
  void Update();
  // Repaints the dirty regions of both bases, then draws the running transition's step into the
  // screen (its dirty rectangle is presented whole).
  void Paint();

  // --- names and lookups ---
  // Components by name: the empty name and 0x01 "BASE0" give the active base, 0x01 and
  // 0x01 "BASE1" the inactive one.
  TNovuObject* FindComponent(std::string_view name) const;
  // The registry index, -1 when the object is gone.
  int32_t IndexOf(const TNovuObject* object) const;
  // Appends the names of registered objects (of `type` unless 0; children of `owner` unless
  // null); returns how many were appended.
  int32_t ListNames(std::vector<std::string>& out, uint8_t type, const TNovuControl* owner) const;
  const std::vector<TNovuObject*>& registry() const { return registry_; }

  // --- building and freeing ---
  // An object of class T owned by the list (no parent).
  template <typename T, typename... Args>
  T& Add(Args&&... args) {
    auto object = MakeObject<T>(this, std::forward<Args>(args)...);
    T& added = *object;
    AdoptRoot(std::move(object));
    return added;
  }
  // An object of class T placed under `parent` (a component is held there, not parented).
  template <typename T, typename... Args>
  T& AddTo(TNovuControl& parent, Args&&... args) {
    auto object = MakeObject<T>(this, std::forward<Args>(args)...);
    T& added = *object;
    parent.AddChild(std::move(object));
    return added;
  }
  // Frees the object at once: it leaves its parent (or the list) and the registry.
  void Free(TNovuObject& object);
  // Frees every object of the deletion set that is still registered (the update pass ends so).
  void FreeScheduled();

  // --- focus ---
  void SetFocus(TNovuControl* control);
  // Makes `control` the focus without focus events (restoring a saved game).
  void RestoreFocus(TNovuControl* control);
  bool focus_requested() const { return choose_focus_; }
  // Gives the focus to the active base's focus candidate; the input pass does so when a focus
  // was requested.
  void ChooseFocus();

  // --- the @ variables of the screens kept for the scripts ---
  ScreenVariables& screen_variables() { return screen_variables_; }
  const ScreenVariables& screen_variables() const { return screen_variables_; }

  // Frees every object and the queued events and starts over with two fresh bases of the same
  // size; the mouse position is kept.
  void Reset();

  // The saved state. Loading starts with Reset; a save of another screen size, a malformed
  // record or an unknown type code throws NovuError and leaves the list reset.
  void SaveToStream(BinaryWriter& out) const;
  void LoadFromStream(BinaryReader& in, int32_t version);

  // Restoring a saved game beside the running one: an empty list like this one (same classes,
  // clock, screen size and depth) to load the saved state into, and taking its scene over once
  // everything else of the save has been read. Until then nothing here changes.
  std::unique_ptr<TNovuBaseList> MakeSceneAside() const;
  // A scene inside a control (a cinema's film): an empty list with the same classes, clock,
  // depth and transitions as this one.
  std::unique_ptr<TNovuBaseList> MakeNestedScene() const;
  // Frees this list's objects and takes over the bases, objects, deletions and focus of `aside`
  // (left empty); the screens are repainted whole, any transition is dropped and the mouse
  // position is kept.
  void AdoptScene(TNovuBaseList& aside);

  // Saves and loads an outside queue inside the list's saved state: only the queue's owner knows
  // its saved form.
  class EventQueueStreamer {
   public:
    virtual ~EventQueueStreamer() = default;
    virtual void SaveQueue(BinaryWriter& out) const = 0;
    virtual void LoadQueue(BinaryReader& in, int32_t version) = 0;
  };
  // The queue objects post into: the list's own until the interpreter hands over the one it
  // takes events from. `streamer` saves and loads that queue inside the list's saved state;
  // without it an outside queue's events are not saved.
  void SetEventQueue(EventQueue* queue, EventQueueStreamer* streamer = nullptr);
  // The list's own queue.
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
  void RequestFocus() override { choose_focus_ = true; }
  EventQueue& Events() override { return *events_; }
  int32_t GameClock() const override { return process_ ? process_->game_clock : 0; }
  int32_t FrameDelta() const override { return process_ ? process_->frame_delta : 0; }
  // The frame loop's clock that timers and motions read; none: the clock stands at 0.
  void SetProcessState(const ProcessState* process) { process_ = process; }

 private:
  void CreateBases();
  void ApplySize(int32_t width, int32_t height);
  void FreeAll();
  void AttachSurfaces();
  // The first registered object with exactly this name that is not about to be deleted,
  // a control when `control_only`.
  TNovuObject* FindLive(std::string_view name, bool control_only) const;
  void PostIdle(TNovuObject& object);
  void SaveEvents(BinaryWriter& out) const;
  void LoadEvents(BinaryReader& in, int32_t version);
  void LoadState(BinaryReader& in, int32_t version);

  // Declared first so that they outlive every object: objects report to them while they die.
  Factory factory_;
  const ProcessState* process_ = nullptr;
  MemoryEventQueue queue_;
  EventQueue* events_ = &queue_;
  EventQueueStreamer* streamer_ = nullptr;
  InputRouter input_{*this};
  ScreenVariables screen_variables_{*this};
  std::vector<TNovuObject*> registry_;
  std::unordered_set<const TNovuObject*> registered_;
  std::vector<TNovuObject*> deletion_set_;
  TNovuControl* focus_ = nullptr;
  bool choose_focus_ = false;
  // The index the update pass is at; lowered when an object before it goes away.
  size_t iteration_ = 0;
  bool updating_ = false;
  // The object being updated; cleared when it goes away, so a pointer is never followed
  // after its object was freed.
  TNovuObject* updated_object_ = nullptr;

  int32_t width_ = kInitialSize;
  int32_t height_ = kInitialSize;
  int depth_ = 32;
  render::TDIBX own_screen_;
  render::TCustomDIBX* screen_ = &own_screen_;
  int32_t active_ = 0;
  int32_t transition_kind_ = 0;
  Rect transition_rect_{};

  std::unique_ptr<TNovuBase> bases_[2];
  std::vector<std::unique_ptr<TNovuObject>> roots_;

  // Declared last so that the transition goes before the pictures it draws from.
  ScreenTransitionMaker transition_maker_;
  render::TDIBX snapshot_;
  bool snapshot_fresh_ = false;
  int32_t transition_elapsed_ = 0;
  std::unique_ptr<ScreenTransition> transition_;
};

}  // namespace novu
