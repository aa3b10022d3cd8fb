#include "engine/call_man.h"

#include <algorithm>
#include <cstdio>

#include "core/binary_reader.h"
#include "core/cp932.h"
#include "core/process_state.h"
#include "expr/param_collection.h"
#include "platform/error.h"

namespace novu {

TStack::TStack() = default;
TStack::~TStack() = default;
TStack::TStack(TStack&&) noexcept = default;
TStack& TStack::operator=(TStack&&) noexcept = default;

namespace {

// The variable a page keeps for itself while it is loaded: byte 0x01, then the page name.
std::string PageVariableName(std::string_view page) {
  return "\x01" + std::string(page);
}

// Splits "page.nsb:label" at the last colon that is not the trail byte of a two-byte
// character; a "." or "\" met first (scanning from the end) means there is no label.
std::pair<std::string, std::string> SplitHandler(std::string_view handler) {
  std::optional<size_t> colon;
  for (size_t i = 0; i < handler.size(); ++i) {
    const auto c = static_cast<uint8_t>(handler[i]);
    if (cp932::IsLeadByte(c)) {
      ++i;
      continue;
    }
    if (c == ':') {
      colon = i;
    } else if (c == '.' || c == '\\') {
      colon.reset();
    }
  }
  if (!colon) return {std::string(handler), {}};
  return {std::string(handler.substr(0, *colon)), std::string(handler.substr(*colon + 1))};
}

std::string WithPageExtension(std::string file) {
  if (file.size() >= 3) {
    file.replace(file.size() - 3, 3, "nsb");
  }
  return file;
}

}  // namespace

TCallMan::TCallMan(TParamCollection& vars, ProcessState& state, ScriptEventQueue& events,
                   CallManHost& host)
    : vars_(vars), state_(state), events_(events), host_(host) {}

TCallMan::~TCallMan() {
  ClearStack();
  current_ = nullptr;
  while (!pages_.empty()) {
    std::unique_ptr<TPage> page = std::move(pages_.back());
    pages_.pop_back();
    FreePage(std::move(page));
  }
}

void TCallMan::FreePage(std::unique_ptr<TPage> page) {
  const std::string name = PageVariableName(page->name());
  if (vars_.Find(name) != nullptr) vars_.Delete(name);
}

std::vector<std::string> TCallMan::CachedPageNames() const {
  std::vector<std::string> names;
  for (const auto& page : pages_) names.push_back(page->name());
  return names;
}

TPage* TCallMan::GetPage(std::string_view name, bool to_front) {
  for (auto it = pages_.begin(); it != pages_.end(); ++it) {
    if ((*it)->name() != name) continue;
    TPage* page = it->get();
    if (to_front && it != pages_.begin()) pages_.splice(pages_.begin(), pages_, it);
    return page;
  }
  auto page = std::make_unique<TPage>();
  TPage::LoadResult loaded;
  try {
    const std::vector<uint8_t> data = host_.LoadPageFile(name);
    loaded = page->Load(name, data);
  } catch (const NovuError& e) {
    host_.PageLoadFailed(name, e.message());
    throw;
  }
  if (loaded == TPage::LoadResult::kNeedsRebuild) {
    state_.terminate = true;
    host_.PageNeedsRebuild(name);
  }
  TPage* result = page.get();
  if (to_front) {
    pages_.push_front(std::move(page));
    TrimCache();
  } else {
    pages_.push_back(std::move(page));
  }
  return result;
}

void TCallMan::TrimCache() {
  while (pages_.size() > kMaxCachedPages) {
    if (pages_.back().get() == current_) break;
    std::unique_ptr<TPage> last = std::move(pages_.back());
    pages_.pop_back();
    FreePage(std::move(last));
  }
}

void TCallMan::PublishDepth() {
  vars_.SetDepth(static_cast<int32_t>(stack_.size()));
}

void TCallMan::PushFrame(TStack frame) {
  stack_.push_back(std::move(frame));
  PublishDepth();
}

TStack TCallMan::PopFrame() {
  if (stack_.empty()) throw NovuError::FromUtf8("スタックエラー");
  TStack frame = std::move(stack_.back());
  stack_.pop_back();
  PublishDepth();
  return frame;
}

bool TCallMan::DeleteFrame(int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= stack_.size()) return false;
  vars_.DeleteScope(index);
  stack_.erase(stack_.begin() + index);
  vars_.LowerScopesDeeperThan(index);
  PublishDepth();
  return true;
}

void TCallMan::ClearStack() {
  stack_.clear();
  PublishDepth();
}

TCustomParam* TCallMan::CurrentResult() const {
  return stack_.empty() ? nullptr : stack_.back().result.get();
}

void TCallMan::Start(std::string_view page_name) {
  TPage* page = GetPage(page_name, true);
  current_ = page;
  index_ = 0;
  started_ = false;
  progress_.reset();
  args_.clear();
  run_state_ = RunState::kMainFlow;
  ClearStack();
  sender_.reset();
  sender_event_ = 0;
  for (int32_t level = 1; level <= level_; ++level) events_.RemoveLevel(level);
  level_ = 2;
}

void TCallMan::Trace(const TCommand& command) {
  if (!trace_ || &command == last_traced_) return;
  last_traced_ = &command;
  char line[64];
  std::snprintf(line, sizeof line, "%.8x : ", static_cast<uint32_t>(state_.game_clock));
  trace_(std::string(line) + current_->name() + "(" + std::to_string(command.header().line) + ")");
}

int TCallMan::Step() {
  TPage* next = current_;
  bool yield = false;
  if (current_ == nullptr || !current_->Contains(index_)) {
    next = nullptr;
  } else {
    TCommand& command = current_->Command(index_);
    Trace(command);
    const int32_t index_before = index_;
    const size_t height_before = stack_.size();
    bool skipped = false;
    try {
      if (!started_) {
        if (command.GetDisabled()) {
          ++index_;
          skipped = true;
        } else {
          progress_.reset();
          command.Begin(*this);
          started_ = true;
        }
      }
      if (!skipped) {
        continue_ = command.GetContinue();
        yield = command.YieldsToEvents(progress_.get());
        command.Execute(*this, next, index_);
      }
    } catch (const NovuError&) {
      // A failing command is passed over; it advanced its index before the failure.
    }
    if (next != current_ || index_ != index_before || stack_.size() != height_before) {
      started_ = false;
      progress_.reset();
    } else if (!skipped) {
      // A command that stays where it is ends the tick, whatever its continue byte says.
      continue_ = false;
    }
  }
  const int result = yield ? kStepYield : kStepEnded;
  if (next != nullptr) {
    current_ = next;
    return result;
  }
  if (stack_.empty()) {
    continue_ = false;
    return result;
  }
  ReturnFromCall();
  if (!sender_) return kStepReturnedToMain;
  return result == kStepEnded ? kStepReturned : result;
}

void TCallMan::StoreResult(TStack& frame) {
  if (frame.result_variable.empty() || !frame.result) return;
  if (TParamCollectionItem* target = vars_.Find(frame.result_variable)) {
    target->value().AssignConverted(*frame.result);
    return;
  }
  TParamCollectionItem* item = vars_.Declare(frame.result_variable, frame.result->GetParamType(),
                                             VarScope::kGlobal, nullptr);
  item->value().AssignConverted(*frame.result);
}

void TCallMan::ReturnFromCall() {
  vars_.DeleteScope(static_cast<int32_t>(stack_.size()));
  TStack frame = PopFrame();
  try {
    StoreResult(frame);
  } catch (const NovuError&) {
    // A result that cannot be stored is dropped; the return itself goes on.
  }
  current_ = nullptr;
  try {
    current_ = GetPage(frame.return_page, true);
  } catch (const NovuError&) {
    // The caller's page cannot be had again: the flow stops there, as at the end of a page.
    current_ = nullptr;
  }
  index_ = frame.return_index;
  started_ = frame.started;
  continue_ = frame.continue_flag;
  args_ = std::move(frame.args);
  sender_ = std::move(frame.sender);
  sender_event_ = frame.sender_event;
  progress_ = started_ ? std::move(frame.progress) : nullptr;
  if (started_ && !progress_ && !frame.saved_state.empty() && current_ != nullptr &&
      current_->Contains(index_)) {
    // A restored frame whose page was not at hand when the game was loaded.
    progress_ = current_->Command(index_).MakeProgress();
    if (progress_) {
      try {
        BinaryReader in(frame.saved_state);
        LoadProgress(*progress_, in);
      } catch (const NovuError&) {
        progress_ = current_->Command(index_).MakeProgress();
      }
    }
  }
}

void TCallMan::EnterCall(TPage*& page, int32_t& index, std::string_view target,
                         int32_t target_index, std::string_view result_variable,
                         std::vector<std::string> args) {
  if (stack_.size() >= kMaxCallDepth) throw NovuError::FromUtf8("スタックエラー");
  TStack frame;
  frame.return_page = page->name();
  frame.return_index = index;
  // The caller resumes at the command after the Call, which has not begun yet.
  frame.started = false;
  frame.continue_flag = continue_;
  frame.sender = sender_;
  frame.sender_event = sender_event_;
  frame.result_variable = result_variable;
  frame.args = std::move(args_);
  TPage* callee = GetPage(target, true);
  if (callee->result_type() != PT_NONE) frame.result = MakeParam(callee->result_type());
  PushFrame(std::move(frame));
  args_ = std::move(args);
  page = callee;
  index = target_index;
}

bool TCallMan::DispatchEvent(int32_t level) {
  ScriptEvent* event = events_.FirstPending();  // usually none: the cheapest test first
  if (event == nullptr) return false;
  if (started_ && progress_ != nullptr && progress_->BlocksEvents()) return false;
  if (stack_.size() >= kMaxCallDepth) return false;
  return EnterEventHandler(event, level);
}

bool TCallMan::EnterEventHandler(ScriptEvent* event, int32_t level) {
  auto [file, label] = SplitHandler(event->handler);
  file = WithPageExtension(std::move(file));
  TPage* handler = nullptr;
  try {
    if (host_.FileAvailable(file)) handler = GetPage(file, true);
  } catch (const NovuError&) {
    handler = nullptr;
  }
  if (handler == nullptr) {
    // A handler that cannot be had would block the queue for ever.
    events_.Remove(event);
    return false;
  }
  TStack frame;
  frame.return_page = current_ != nullptr ? current_->name() : std::string();
  frame.return_index = index_;
  frame.started = started_;
  frame.args = std::move(args_);
  frame.sender = sender_;
  frame.sender_event = sender_event_;
  frame.continue_flag = continue_;
  frame.progress = std::move(progress_);
  PushFrame(std::move(frame));
  current_ = handler;
  index_ = label.empty() ? 0 : std::max(handler->FindLabel(label), 0);
  if (trace_) {
    char line[64];
    std::snprintf(line, sizeof line, "%.8x : <Event>", static_cast<uint32_t>(state_.game_clock));
    const int32_t first_line = handler->Count() > 0 ? handler->Command(0).header().line : 0;
    trace_(std::string(line) + file + "(" + std::to_string(first_line) + ")");
  }
  started_ = false;
  event->level = level;
  args_ = event->args;
  sender_ = event->sender;
  sender_event_ = event->serial;
  run_state_ = RunState::kHandler;
  return true;
}

void TCallMan::Run() {
  do {
    switch (run_state_) {
      case RunState::kMainFlow:
        if (!DispatchEvent(1)) Step();
        break;
      case RunState::kHandler: {
        const int r = Step();
        if (r == kStepReturnedToMain) {
          events_.RemoveLevel(1);
          run_state_ = RunState::kMainFlow;
          continue_ = true;
        } else if (r == kStepYield) {
          level_ = 2;
          run_state_ = RunState::kNestedDispatch;
          return;
        }
        break;
      }
      case RunState::kNestedDispatch:
        if (DispatchEvent(level_)) {
          ++level_;
          run_state_ = RunState::kNestedHandler;
        } else {
          run_state_ = level_ <= 2 ? RunState::kHandler : RunState::kNestedHandler;
        }
        break;
      case RunState::kNestedHandler: {
        const int r = Step();
        if (r == kStepReturnedToMain || r == kStepReturned) {
          --level_;
          events_.RemoveLevel(level_);
          if (level_ <= 2) run_state_ = RunState::kNestedDispatch;
        } else if (r == kStepYield) {
          run_state_ = RunState::kNestedDispatch;
          return;
        }
        break;
      }
    }
  } while ((continue_ || run_state_ != RunState::kMainFlow) && !state_.terminate);
}

void TCallMan::ResetTo(std::string_view page_name, int32_t index, bool full, TPage*& page,
                       int32_t& current_index) {
  vars_.DeleteScope(static_cast<int32_t>(stack_.size()));
  if (full) {
    for (size_t i = stack_.size(); i-- > 0;) {
      vars_.DeleteScope(static_cast<int32_t>(i));
      const TStack& frame = stack_[i];
      if (frame.sender || !frame.started) continue;
      TPage* owner = GetPage(frame.return_page, false);
      if (owner->Contains(frame.return_index)) {
        owner->Command(frame.return_index).Finish(*this, frame.progress.get());
      }
    }
    Start(page_name);
    page = current_;
    current_index = index;
    events_.Clear();
    return;
  }
  size_t position = stack_.size();
  bool found_sender = false;
  for (size_t i = 0; i < stack_.size(); ++i) {
    if (stack_[i].sender) {
      position = i;
      found_sender = true;
      break;
    }
  }
  if (!found_sender && !sender_) position = 0;
  bool redirected = false;
  for (size_t i = position; i-- > 0;) {
    TStack& frame = stack_[i];
    if (frame.sender) continue;
    vars_.DeleteScope(static_cast<int32_t>(i + 1));
    frame.return_page = std::string(page_name);
    frame.return_index = index;
    frame.started = false;
    frame.result_variable.clear();
    frame.args.clear();
    frame.progress.reset();
    ++current_index;
    redirected = true;
    break;
  }
  if (!redirected) {
    page = GetPage(page_name, true);
    current_index = index;
  }
  events_.RemoveHandled();
}

void TCallMan::HardReset(std::string_view page_name, int32_t index, TPage*& page,
                         int32_t& current_index) {
  host_.ResetWorld();
  vars_.Reset();
  Start(page_name);
  page = current_;
  current_index = index;
}

}  // namespace novu
