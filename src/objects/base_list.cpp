#include "objects/base_list.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "platform/error.h"

namespace novu {
namespace {

// The names the two bases carry, and the name that stands for the base not shown.
constexpr std::string_view kBaseNames[2] = {
    "\x01"
    "BASE0",
    "\x01"
    "BASE1"};
constexpr std::string_view kInactiveBaseName = "\x01";

// The smallest saved component: its type byte, an empty name and the priority.
constexpr size_t kMinComponentRecordSize = 1 + 4 + 4;
// The smallest queued event: handler, sender, id, level and argument count.
constexpr size_t kMinEventRecordSize = 4 + 4 + 1 + 1 + 4;
constexpr size_t kMaxSavedObjects = 1u << 20;
constexpr size_t kMaxSavedEvents = 1u << 20;
constexpr size_t kMaxEventArguments = 1u << 16;
// The first save version whose queued events keep their level in four bytes.
constexpr int32_t kEventLevelWordVersion = 114;
// The first save version that keeps the focused control.
constexpr int32_t kSavedFocusVersion = 119;

[[noreturn]] void ThrowBadSave() {
  throw NovuError::FromUtf8("セーブデータのオブジェクトが不正です");
}

}  // namespace

TNovuBaseList::TNovuBaseList(Factory factory) : factory_(std::move(factory)) {
  own_screen_.SetSize(width_, height_, depth_);
  CreateBases();
}

TNovuBaseList::~TNovuBaseList() {
  transition_.reset();
  FreeAll();
}

// --- screens ---

void TNovuBaseList::CreateBases() {
  for (int i = 0; i < 2; ++i) {
    bases_[i] = MakeObject<TNovuBase>(this);
    bases_[i]->AssignName(std::string(kBaseNames[i]));
    bases_[i]->Resize(width_, height_, depth_);
  }
  AttachSurfaces();
}

void TNovuBaseList::FreeAll() {
  focus_ = nullptr;
  // Loose objects before the bases, children before their parents (the parents see to that).
  while (!roots_.empty()) {
    std::unique_ptr<TNovuObject> last = std::move(roots_.back());
    roots_.pop_back();
    last.reset();
  }
  bases_[1].reset();
  bases_[0].reset();
  deletion_set_.clear();
  input_.ForgetAll();
  queue_.entries().clear();
  focus_ = nullptr;
  choose_focus_ = false;
}

void TNovuBaseList::AttachSurfaces() {
  for (int i = 0; i < 2; ++i) {
    if (!bases_[i]) continue;
    const bool shows_screen = i == active_ && transition_kind_ == 0;
    bases_[i]->DrawIntoScreen(shows_screen ? screen_ : nullptr);
  }
}

void TNovuBaseList::SetSize(int32_t width, int32_t height) {
  const int32_t old_width = width_;
  const int32_t old_height = height_;
  try {
    ApplySize(std::max(width, 1), std::max(height, 1));
  } catch (...) {
    // A size the surfaces refuse leaves the screens as they were.
    ApplySize(old_width, old_height);
    throw;
  }
}

void TNovuBaseList::ApplySize(int32_t width, int32_t height) {
  // A transition keeps tables of the old size: the change shows its end at once.
  transition_.reset();
  if (transition_kind_ != 0) {
    transition_kind_ = 0;
    AttachSurfaces();
  }
  width_ = width;
  height_ = height;
  if (screen_ == &own_screen_) own_screen_.SetSize(width_, height_, depth_);
  for (auto& base : bases_) {
    base->Resize(width_, height_, depth_);
    base->InvalidateAll();
  }
}

void TNovuBaseList::SetSurfaceDepth(int depth) {
  const int old_depth = depth_;
  depth_ = depth;
  try {
    ApplySize(width_, height_);
  } catch (...) {
    depth_ = old_depth;
    ApplySize(width_, height_);
    throw;
  }
}

void TNovuBaseList::SetScreenSurface(render::TCustomDIBX* surface) {
  transition_.reset();  // it draws into the old screen
  transition_kind_ = 0;
  screen_ = surface != nullptr ? surface : &own_screen_;
  if (screen_ == &own_screen_) own_screen_.SetSize(width_, height_, depth_);
  AttachSurfaces();
  for (auto& base : bases_) base->InvalidateAll();
}

void TNovuBaseList::SetActiveBase(int32_t index, int32_t kind, bool reverse, bool force,
                                  int32_t elapsed_ms, int32_t duration_ms) {
  transition_.reset();
  const int32_t previous = active_;
  active_ = index != 0 ? 1 : 0;
  // A flip always repaints: the screen surface still holds the other base's pixels.
  if (force || kind != 0 || active_ != previous) {
    for (auto& base : bases_) base->InvalidateAll();
  }
  transition_kind_ = 0;
  if (kind != 0 && transition_maker_) {
    // The old picture is the screen as it stands (the active base still draws into it).
    if (!snapshot_fresh_) CaptureScreen();
    ScreenTransitionRequest request;
    request.kind = kind;
    request.duration = duration_ms;
    request.reverse = reverse;
    transition_ =
        transition_maker_(request, *screen_, snapshot_, bases_[1 - active_]->own_surface());
    if (transition_) {
      transition_kind_ = kind;
      transition_elapsed_ = elapsed_ms;
    }
  }
  snapshot_fresh_ = false;
  AttachSurfaces();
  if (focus_ == nullptr || focus_->GetBase() != bases_[active_].get()) {
    focus_ = nullptr;
    choose_focus_ = true;
  }
}

void TNovuBaseList::CaptureScreen() {
  Paint();
  snapshot_.SetSize(screen_->Width(), screen_->Height(), screen_->BitCount());
  snapshot_.Assign(*screen_);
  snapshot_fresh_ = true;
}

void TNovuBaseList::ClearDirty() {
  for (auto& base : bases_) base->ClearDirty();
}

// --- registry ---

void TNovuBaseList::Register(TNovuObject& object) {
  registry_.push_back(&object);
  registered_.insert(&object);
}

void TNovuBaseList::Unregister(TNovuObject& object) {
  const auto it = std::find(registry_.begin(), registry_.end(), &object);
  if (it != registry_.end()) {
    const auto index = static_cast<size_t>(it - registry_.begin());
    registry_.erase(it);
    // The update pass goes on with the object that now stands where it was.
    if (updating_ && index < iteration_) --iteration_;
  }
  registered_.erase(&object);
  std::erase(deletion_set_, &object);
  input_.Forget(object);
  if (focus_ == &object) focus_ = nullptr;
  if (updated_object_ == &object) updated_object_ = nullptr;
  for (auto& base : bases_) {
    if (base && base->mouse().previous == &object) base->mouse().previous = nullptr;
  }
}

bool TNovuBaseList::IsRegistered(const TNovuObject* object) const {
  return object != nullptr && registered_.contains(object);
}

int32_t TNovuBaseList::IndexOf(const TNovuObject* object) const {
  if (!IsRegistered(object)) return -1;
  const auto it = std::find(registry_.begin(), registry_.end(), object);
  return static_cast<int32_t>(it - registry_.begin());
}

void TNovuBaseList::ScheduleDeletion(TNovuObject& object) {
  if (!IsPendingDeletion(object)) deletion_set_.push_back(&object);
  object.AssignName({});
}

bool TNovuBaseList::IsPendingDeletion(const TNovuObject& object) const {
  return std::find(deletion_set_.begin(), deletion_set_.end(), &object) != deletion_set_.end();
}

std::string TNovuBaseList::UniqueName(std::string_view prefix) const {
  // The smallest i whose name prefix + i is free. With n objects it is at most n, so only the
  // numbers 0..n need marking: one pass over the names, without building any of them.
  std::vector<bool> taken(registry_.size() + 1, false);
  for (const TNovuObject* object : registry_) {
    const std::string_view name = object->name();
    if (name.size() <= prefix.size() || !name.starts_with(prefix)) continue;
    const std::string_view digits = name.substr(prefix.size());
    if (digits.size() > 1 && digits[0] == '0') continue;  // never a number's own spelling
    size_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error == std::errc() && end == digits.data() + digits.size() && value < taken.size()) {
      taken[value] = true;
    }
  }
  const auto free = std::find(taken.begin(), taken.end(), false);
  return std::string(prefix) + std::to_string(free - taken.begin());
}

TNovuObject* TNovuBaseList::FindByName(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TNovuObject* object : registry_) {
    if (object->name() == name) return object;
  }
  return nullptr;
}

TNovuObject* TNovuBaseList::FindLive(std::string_view name, bool control_only) const {
  for (TNovuObject* object : registry_) {
    if (control_only && object->AsControl() == nullptr) continue;
    if (object->name() == name && !IsPendingDeletion(*object)) return object;
  }
  return nullptr;
}

TNovuObject* TNovuBaseList::FindComponent(std::string_view name) const {
  if (name.empty() || name == kBaseNames[0]) return bases_[active_].get();
  if (name == kInactiveBaseName || name == kBaseNames[1]) return bases_[1 - active_].get();
  return FindLive(name, false);
}

TNovuControl* TNovuBaseList::FindControl(std::string_view name) const {
  if (name.empty()) return bases_[active_].get();
  if (name == kInactiveBaseName) return bases_[1 - active_].get();
  if (name == kBaseNames[0]) return bases_[0].get();
  if (name == kBaseNames[1]) return bases_[1].get();
  TNovuObject* found = FindLive(name, true);
  return found != nullptr ? found->AsControl() : nullptr;
}

int32_t TNovuBaseList::ListNames(std::vector<std::string>& out, uint8_t type,
                                 const TNovuControl* owner) const {
  int32_t count = 0;
  for (const TNovuObject* object : registry_) {
    if (IsPendingDeletion(*object)) continue;
    if (type != 0 && object->GetType() != type) continue;
    if (owner != nullptr && object->holder() != owner) continue;
    out.push_back(object->name());
    ++count;
  }
  return count;
}

void TNovuBaseList::AdoptRoot(std::unique_ptr<TNovuObject> object) {
  if (object != nullptr) roots_.push_back(std::move(object));
}

std::unique_ptr<TNovuObject> TNovuBaseList::ReleaseRoot(TNovuObject& object) {
  const auto it = std::find_if(roots_.begin(), roots_.end(),
                               [&object](const auto& r) { return r.get() == &object; });
  if (it == roots_.end()) return nullptr;
  std::unique_ptr<TNovuObject> taken = std::move(*it);
  roots_.erase(it);
  return taken;
}

std::unique_ptr<TNovuObject> TNovuBaseList::CreateByType(uint8_t type_code) {
  const auto type = static_cast<ComponentType>(type_code & 0x7f);
  if (type == LT_CABINET) return MakeObject<TNovuCabinet>(this);
  if (!factory_ || !IsCreatableComponentType(type)) return nullptr;
  return factory_(*this, static_cast<uint8_t>(type));
}

void TNovuBaseList::Free(TNovuObject& object) {
  if (TNovuControl* control = object.AsControl()) control->Invalidate();
  TNovuControl* holder = object.holder();
  std::unique_ptr<TNovuObject> doomed =
      holder != nullptr ? holder->RemoveChild(object) : ReleaseRoot(object);
  doomed.reset();
}

void TNovuBaseList::FreeScheduled() {
  while (!deletion_set_.empty()) {
    TNovuObject* object = deletion_set_.back();
    deletion_set_.pop_back();
    // An earlier free may have taken this one with its parent; then it left the set already.
    if (IsRegistered(object)) Free(*object);
  }
}

// --- focus ---

void TNovuBaseList::SetFocus(TNovuControl* control) {
  if (control != focus_) {
    TNovuControl* old = focus_;
    if (IsRegistered(old) && !old->IsInputDisabled()) {
      old->PostEvent(old->EventLabel(PR_ONFOCUSOUT), {}, PR_ONFOCUSOUT);
    }
    focus_ = IsRegistered(control) ? control : nullptr;
    if (focus_ != nullptr && !focus_->IsInputDisabled()) {
      focus_->PostEvent(focus_->EventLabel(PR_ONFOCUSIN), {}, PR_ONFOCUSIN);
    }
    choose_focus_ = false;
    if (focus_ != nullptr) focus_->FocusEntered();
  }
  choose_focus_ = false;
}

void TNovuBaseList::RestoreFocus(TNovuControl* control) {
  focus_ = IsRegistered(control) ? control : nullptr;
  if (focus_ != nullptr) choose_focus_ = false;
}

void TNovuBaseList::ChooseFocus() {
  SetFocus(active_base().FindFocusCandidate());
}

// --- update pass ---

void TNovuBaseList::PostIdle(TNovuObject& object) {
  const std::string label = PropAsStr(object.GetProperty(PR_ONIDLE));
  if (label.empty()) return;
  const TNovuControl* control = object.AsControl();
  if (control != nullptr && (control->InCabinet() || control->IsInputDisabled())) return;
  if (object.IsEventQueued(PR_ONIDLE)) return;
  object.PostEvent(label, {}, PR_ONIDLE);
}

void TNovuBaseList::Update() {
  for (auto& base : bases_) base->Update();
  updating_ = true;
  for (iteration_ = 0; iteration_ < registry_.size();) {
    TNovuObject* object = registry_[iteration_];
    if (object == bases_[0].get() || object == bases_[1].get()) {
      ++iteration_;
      continue;
    }
    PostIdle(*object);
    const TNovuControl* control = object->AsControl();
    const bool in_cabinet = control != nullptr && control->InCabinet();
    int32_t result = 0;
    updated_object_ = object;
    if (!object->IsPaused() && !IsPendingDeletion(*object) && !in_cabinet) {
      result = object->Update();
    }
    // An object freed during its own update has already left its place in the registry.
    if (updated_object_ == nullptr) continue;
    updated_object_ = nullptr;
    if (result != 0) {
      Free(*object);  // the walk goes on at the same index
    } else {
      ++iteration_;
    }
  }
  updating_ = false;
  FreeScheduled();
}

// --- paint pass ---

void TNovuBaseList::Paint() {
  transition_rect_ = {};
  for (auto& base : bases_) base->PaintDirty();
  if (transition_) {
    transition_->Step(transition_elapsed_);
    transition_rect_ = transition_->DirtyRect();
  }
}

// --- reset and saving ---

void TNovuBaseList::Reset() {
  const BaseInputState mouse = bases_[0]->input();
  transition_.reset();
  snapshot_fresh_ = false;
  FreeAll();
  transition_kind_ = 0;
  transition_rect_ = {};
  active_ = 0;
  CreateBases();
  const int32_t width = width_;
  const int32_t height = height_;
  SetSize(kInitialSize, kInitialSize);
  SetSize(width, height);
  for (auto& base : bases_) {
    base->InputState()->mouse_x = mouse.mouse_x;
    base->InputState()->mouse_y = mouse.mouse_y;
  }
}

std::unique_ptr<TNovuBaseList> TNovuBaseList::MakeSceneAside() const {
  auto aside = std::make_unique<TNovuBaseList>(factory_);
  aside->SetProcessState(process_);
  aside->SetSurfaceDepth(depth_);
  aside->SetSize(width_, height_);
  return aside;
}

std::unique_ptr<TNovuBaseList> TNovuBaseList::MakeNestedScene() const {
  auto nested = std::make_unique<TNovuBaseList>(factory_);
  nested->SetProcessState(process_);
  nested->SetSurfaceDepth(depth_);
  nested->SetTransitionMaker(transition_maker_);
  return nested;
}

void TNovuBaseList::AdoptScene(TNovuBaseList& aside) {
  const BaseInputState mouse = bases_[0]->input();
  transition_.reset();
  snapshot_fresh_ = false;
  FreeAll();
  transition_kind_ = 0;
  transition_rect_ = {};
  for (int i = 0; i < 2; ++i) bases_[i] = std::move(aside.bases_[i]);
  roots_ = std::move(aside.roots_);
  registry_ = std::move(aside.registry_);
  registered_ = std::move(aside.registered_);
  deletion_set_ = std::move(aside.deletion_set_);
  focus_ = std::exchange(aside.focus_, nullptr);
  choose_focus_ = std::exchange(aside.choose_focus_, false);
  active_ = std::exchange(aside.active_, 0);
  aside.roots_.clear();
  aside.registry_.clear();
  aside.registered_.clear();
  aside.deletion_set_.clear();
  aside.input_.ForgetAll();
  for (TNovuObject* object : registry_) object->owner_ = this;
  AttachSurfaces();
  for (auto& base : bases_) {
    base->InvalidateAll();
    base->InputState()->mouse_x = mouse.mouse_x;
    base->InputState()->mouse_y = mouse.mouse_y;
  }
}

void TNovuBaseList::SaveToStream(BinaryWriter& out) const {
  out.I32(width_);
  out.I32(height_);
  out.I32(active_);
  bases_[0]->SaveToStream(out);
  bases_[1]->SaveToStream(out);
  std::vector<const TNovuObject*> components;
  for (const TNovuObject* object : registry_) {
    // Components in a control's child list are saved with that control.
    if (object->AsControl() != nullptr || object->holder() != nullptr) continue;
    if (IsPendingDeletion(*object)) continue;
    if (object->GetType() == LT_NONE || IsInternalName(object->name())) continue;
    components.push_back(object);
  }
  out.I32(static_cast<int32_t>(components.size()));
  for (const TNovuObject* object : components) {
    out.U8(object->GetType());
    object->SaveToStream(out);
  }
  SaveEvents(out);
  out.String(IsRegistered(focus_) ? focus_->name() : std::string());
}

void TNovuBaseList::SetEventQueue(EventQueue* queue, EventQueueStreamer* streamer) {
  events_ = queue != nullptr ? queue : &queue_;
  streamer_ = queue != nullptr ? streamer : nullptr;
}

void TNovuBaseList::SaveEvents(BinaryWriter& out) const {
  if (events_ != &queue_ && streamer_ != nullptr) {
    streamer_->SaveQueue(out);
    return;
  }
  const auto& entries = queue_.entries();
  out.I32(static_cast<int32_t>(entries.size()));
  for (const auto& e : entries) {
    out.String(e.handler);
    out.String(IsRegistered(e.sender) ? e.sender->name() : std::string());
    out.U8(e.event_id);
    out.I32(e.level);
    out.I32(static_cast<int32_t>(e.arguments.size()));
    for (const std::string& argument : e.arguments) out.String(argument);
  }
}

void TNovuBaseList::LoadFromStream(BinaryReader& in, int32_t version) {
  Reset();
  try {
    LoadState(in, version);
  } catch (...) {
    Reset();           // never leave a half-loaded scene behind
    events_->Clear();  // nor events of objects that were never made
    throw;
  }
}

void TNovuBaseList::LoadState(BinaryReader& in, int32_t version) {
  const int32_t width = in.I32();
  const int32_t height = in.I32();
  if (width != width_ || height != height_) {
    throw NovuError::FromUtf8("セーブデータの画面サイズがゲームと異なります");
  }
  const int32_t active = in.I32();
  if (active != 0 && active != 1) ThrowBadSave();
  active_ = active;
  const ObjectLoadContext context{version};
  for (int i = 0; i < 2; ++i) {
    TNovuBase& base = *bases_[i];
    base.LoadFromStream(in, context);
    // The bases keep their own names and the screen's size whatever the record says.
    base.AssignName(std::string(kBaseNames[i]));
    base.SetBounds(0, 0, width_, height_);
  }
  AttachSurfaces();
  for (auto& base : bases_) base->InvalidateAll();

  const size_t count = in.Count(kMinComponentRecordSize, kMaxSavedObjects);
  for (size_t i = 0; i < count; ++i) {
    std::unique_ptr<TNovuObject> object = CreateByType(in.U8());
    // Controls are saved with their parents, never here.
    if (object == nullptr || object->AsControl() != nullptr) ThrowBadSave();
    TNovuObject& loaded = *object;
    AdoptRoot(std::move(object));
    loaded.LoadFromStream(in, context);
  }
  LoadEvents(in, version);
  if (version >= kSavedFocusVersion) {
    RestoreFocus(ResolveSavedControlName(*this, in.String()));
  }
}

void TNovuBaseList::LoadEvents(BinaryReader& in, int32_t version) {
  if (events_ != &queue_ && streamer_ != nullptr) {
    streamer_->LoadQueue(in, version);
    return;
  }
  const size_t count = in.Count(kMinEventRecordSize, kMaxSavedEvents);
  auto& entries = queue_.entries();
  entries.clear();
  for (size_t i = 0; i < count; ++i) {
    MemoryEventQueue::Entry entry;
    entry.handler = in.String();
    const std::string sender = in.String();
    // The saver wrote the sender's own name, or nothing for a sender that was gone: no
    // stand-in names here (an empty name is not the active base, a base's name is that base).
    entry.sender = sender.empty() ? nullptr : FindLive(sender, false);
    entry.event_id = in.U8();
    entry.level = version >= kEventLevelWordVersion ? in.I32() : (in.U8() != 0 ? 1 : 0);
    const size_t arguments = in.Count(4, kMaxEventArguments);
    for (size_t a = 0; a < arguments; ++a) entry.arguments.push_back(in.String());
    entries.push_back(std::move(entry));
  }
}

}  // namespace novu
