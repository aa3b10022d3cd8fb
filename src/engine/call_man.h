#pragma once
// TCallMan: the interpreter. It owns the loaded pages (most recently used first), the current
// position, the call stack and the current call's arguments, and runs the commands of one tick
// in Run. Between commands it dispatches pending object events into their handler pages; a
// handler runs as a call and the interrupted command resumes when it returns.
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/command_progress.h"
#include "engine/page.h"
#include "engine/script_event_queue.h"

namespace novu {

class TCustomParam;
class TNovuBaseList;
class TNovuHistoryFormatManager;
class TNovuReadList;
class TParamCollection;
struct ProcessState;

// A GameSave command's request, carried out after the tick's update.
struct GameSaveRequest {
  int32_t slot = 0;
  std::string resume_page;  // empty: the game goes on where it was saved
  int32_t resume_index = 0;
  std::string caption;  // empty: nothing is saved
};

// What the interpreter needs from the project and the program around it.
class CallManHost {
 public:
  virtual ~CallManHost() = default;
  // True when the page file can be had (present, or brought in by a disc request).
  virtual bool FileAvailable(std::string_view name) = 0;
  // The whole file; raises NovuError when it is missing.
  virtual std::vector<uint8_t> LoadPageFile(std::string_view name) = 0;
  // A page too old to run: show the page name and "リビルドしてください" and close.
  virtual void PageNeedsRebuild(std::string_view name) = 0;
  // A page could not be loaded (missing, damaged, unreadable); `reason` is the error's CP932
  // message. The failure still propagates to the command that wanted the page.
  virtual void PageLoadFailed(std::string_view /*name*/, std::string_view /*reason*/) {}
  // Terminate: close the main window.
  virtual void RequestClose() {}
  // Reset: clear the objects, variables, data tables and history formats.
  virtual void ResetWorld() {}
  // The object list the object commands work on; none: they only evaluate their expressions.
  virtual TNovuBaseList* Objects() { return nullptr; }
  // The history formats and the read marks the text commands work on; none: they do nothing.
  virtual TNovuHistoryFormatManager* Histories() { return nullptr; }
  virtual TNovuReadList* ReadMarks() { return nullptr; }
  // GameSave and GameLoad: the requests wait for the end of the tick.
  virtual void RequestGameSave(GameSaveRequest /*request*/) {}
  virtual void RequestGameLoad(int32_t /*slot*/) {}
};

struct TStack {
  std::string return_page;
  int32_t return_index = 0;
  bool started = false;
  bool continue_flag = false;
  std::string result_variable;
  std::vector<std::string> args;
  std::optional<std::string> sender;
  uint64_t sender_event = 0;  // serial of the queue entry whose handler this frame runs
  // The progress of the interrupted command (see command_progress.h).
  std::unique_ptr<CommandProgress> progress;
  // A restored frame's saved progress whose page could not be had when the game was loaded:
  // kept as it was saved, read when the frame returns.
  std::vector<uint8_t> saved_state;
  std::unique_ptr<TCustomParam> result;

  TStack();
  ~TStack();
  TStack(TStack&&) noexcept;
  TStack& operator=(TStack&&) noexcept;
};

class BinaryReader;
class BinaryWriter;

class TCallMan {
 public:
  static constexpr size_t kMaxCachedPages = 10;
  // A call beyond this depth fails ("スタックエラー") instead of exhausting memory.
  static constexpr size_t kMaxCallDepth = 65536;
  enum StepResult : int {
    kStepEnded = 0,
    kStepReturnedToMain = 1,
    kStepYield = 2,
    kStepReturned = -1
  };

  TCallMan(TParamCollection& vars, ProcessState& state, ScriptEventQueue& events,
           CallManHost& host);
  ~TCallMan();
  TCallMan(const TCallMan&) = delete;
  TCallMan& operator=(const TCallMan&) = delete;

  void Start(std::string_view page_name);
  // The loaded page of that name (exact), loading it when missing; with `to_front` it becomes
  // the most recently used one and the cache is trimmed, never evicting the current page.
  TPage* GetPage(std::string_view name, bool to_front);
  // One tick of interpretation.
  void Run();
  int Step();
  bool DispatchEvent(int32_t level);

  // Writes one line per executed command ("%.8x : %s(%d)") when installed.
  void SetTraceSink(std::function<void(std::string_view)> sink) { trace_ = std::move(sink); }

  // ---- what commands use ----
  TParamCollection& vars() const { return vars_; }
  ProcessState& state() const { return state_; }
  CallManHost& host() const { return host_; }
  ScriptEventQueue& events() const { return events_; }
  void SetContinue(bool value) { continue_ = value; }
  // The progress of the command being run: a blocking command begins it in Begin and finds it
  // again in Execute; it goes when the command is left.
  template <class P>
  P& BeginProgress() {
    auto progress = std::make_unique<P>();
    P& ref = *progress;
    progress_ = std::move(progress);
    return ref;
  }
  template <class P>
  P* Progress() const {
    return dynamic_cast<P*>(progress_.get());
  }
  // Call: pushes the caller's frame and enters the callee at `index`.
  void EnterCall(TPage*& page, int32_t& index, std::string_view target, int32_t target_index,
                 std::string_view result_variable, std::vector<std::string> args);
  // Full and partial PCReset, Reset.
  void ResetTo(std::string_view page_name, int32_t index, bool full, TPage*& page,
               int32_t& current_index);
  void HardReset(std::string_view page_name, int32_t index, TPage*& page, int32_t& current_index);
  // DeleteStack: removes call frame `index` (0-based): the variables of that scope depth go,
  // deeper ones move up one depth and the table learns the new depth, so the running frame's
  // locals stay visible. False when there is no such frame.
  bool DeleteFrame(int32_t index);

  // ---- what system variables read ----
  size_t ArgumentCount() const { return args_.size(); }
  std::string Argument(size_t i) const { return i < args_.size() ? args_[i] : std::string(); }
  const std::vector<std::string>& arguments() const { return args_; }
  // Empty outside handlers and once the sending object has been deleted.
  std::string SenderName() const {
    return sender_ && !events_.SenderDeleted(sender_event_) ? *sender_ : std::string();
  }
  TCustomParam* CurrentResult() const;

  // ---- the saved state (part of a game save) ----
  // A saved state read back and checked, its pages loaded: ready to take the interpreter's place.
  struct SavedState;
  void SaveToStream(BinaryWriter& out) const;
  // Reads a saved state without touching the interpreter (only pages join the cache); raises
  // NovuError on malformed data. `sender_exists` tells whether an object of that name is in the
  // scene being restored. With a resume page the saved position is pushed as a frame and the
  // game goes on at that page, at `resume_index` when it is positive.
  std::unique_ptr<SavedState> ReadState(BinaryReader& in,
                                        const std::function<bool(std::string_view)>& sender_exists,
                                        std::string_view resume_page, int32_t resume_index);
  // Makes a read state the interpreter's; senders are matched with the running entries of the
  // event queue (restored before).
  void Adopt(std::unique_ptr<SavedState> state);

  // ---- inspection ----
  TPage* current_page() const { return current_; }
  int32_t index() const { return index_; }
  // What Run is doing between ticks.
  enum class RunState : int32_t {
    kMainFlow = 0,        // the main flow runs; level-1 events are dispatched between commands
    kHandler = 1,         // a level-1 event handler runs
    kNestedDispatch = 2,  // a command yielded: events of the next level may be dispatched
    kNestedHandler = 3,   // a handler entered from a yield runs
  };
  int32_t run_state() const { return static_cast<int32_t>(run_state_); }
  CommandProgress* progress() const { return progress_.get(); }
  int32_t level() const { return level_; }
  size_t StackHeight() const { return stack_.size(); }
  // Names of the cached pages, most recently used first.
  std::vector<std::string> CachedPageNames() const;

 private:
  // Calls the handler of a pending event (DispatchEvent has checked it may run now).
  bool EnterEventHandler(ScriptEvent* event, int32_t level);
  void Trace(const TCommand& command);
  void ReturnFromCall();
  void PushFrame(TStack frame);
  TStack PopFrame();
  void PublishDepth();
  void ClearStack();
  void FreePage(std::unique_ptr<TPage> page);
  void TrimCache();
  void StoreResult(TStack& frame);

  TParamCollection& vars_;
  ProcessState& state_;
  ScriptEventQueue& events_;
  CallManHost& host_;
  std::function<void(std::string_view)> trace_;
  const TCommand* last_traced_ = nullptr;

  void WriteFrame(BinaryWriter& out, const TStack& frame) const;
  TStack ReadFrame(BinaryReader& in, const std::function<bool(std::string_view)>& sender_exists);
  uint64_t RunningEventOf(const std::optional<std::string>& sender) const;

  std::list<std::unique_ptr<TPage>> pages_;
  TPage* current_ = nullptr;
  int32_t index_ = 0;
  bool continue_ = false;
  bool started_ = false;
  std::unique_ptr<CommandProgress> progress_;  // of the started command
  std::vector<std::string> args_;
  RunState run_state_ = RunState::kMainFlow;
  int32_t level_ = 2;
  std::optional<std::string> sender_;
  uint64_t sender_event_ = 0;
  std::vector<TStack> stack_;
};

struct TCallMan::SavedState {
  TPage* page = nullptr;
  int32_t index = 0;
  bool continue_flag = false;
  bool started = false;
  RunState run_state = RunState::kMainFlow;
  std::optional<std::string> sender;
  std::vector<std::string> args;
  std::vector<TStack> frames;
  int32_t level = 2;
  std::unique_ptr<CommandProgress> progress;
};

}  // namespace novu
