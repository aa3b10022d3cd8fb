// The call manager's saved state inside a game save: the current page and position, the flags,
// the run state and sender, the arguments, a spare frame, the call stack (bottom first), the
// handler level and, for a command that had begun, its progress.
//
// A frame record: return page, return index, started, continue, result variable, arguments,
// sender, the interrupted command's progress (size-prefixed) and the result (a type byte, 0 for
// none, then the value record).
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "engine/call_man.h"
#include "expr/custom_param.h"
#include "expr/param_collection.h"
#include "platform/error.h"

namespace novu {
namespace {

// Page name, index, two flags, result variable, argument count, sender, state size, result type.
constexpr size_t kMinFrameBytes = 4 + 4 + 1 + 1 + 4 + 4 + 4 + 4 + 1;
constexpr size_t kMaxArguments = 1u << 16;
constexpr int32_t kLastRunState = 3;

[[noreturn]] void ThrowBadState(std::string_view what) {
  throw NovuError("call state: " + std::string(what));
}

void WriteStrings(BinaryWriter& out, const std::vector<std::string>& strings) {
  out.I32(static_cast<int32_t>(strings.size()));
  for (const std::string& s : strings) out.String(s);
}

std::vector<std::string> ReadStrings(BinaryReader& in) {
  const size_t count = in.Count(4, kMaxArguments);
  std::vector<std::string> strings;
  strings.reserve(count);
  for (size_t i = 0; i < count; ++i) strings.push_back(in.String());
  return strings;
}

}  // namespace

void TCallMan::WriteFrame(BinaryWriter& out, const TStack& frame) const {
  out.String(frame.return_page);
  out.I32(frame.return_index);
  out.Bool(frame.started);
  out.Bool(frame.continue_flag);
  out.String(frame.result_variable);
  WriteStrings(out, frame.args);
  const bool sender_alive = frame.sender && !events_.SenderDeleted(frame.sender_event);
  out.String(sender_alive ? *frame.sender : std::string());
  const std::vector<uint8_t> state =
      frame.progress ? SaveProgress(*frame.progress) : frame.saved_state;
  out.I32(static_cast<int32_t>(state.size()));
  out.Bytes(state);
  if (frame.result) {
    out.U8(static_cast<uint8_t>(frame.result->GetParamType()));
    frame.result->SaveToStream(out);
  } else {
    out.U8(0);
  }
}

void TCallMan::SaveToStream(BinaryWriter& out) const {
  out.String(current_ != nullptr ? current_->name() : std::string());
  out.I32(index_);
  out.Bool(continue_);
  out.Bool(started_);
  out.I32(static_cast<int32_t>(run_state_));
  out.String(SenderName());
  WriteStrings(out, args_);
  WriteFrame(out, TStack());  // the spare frame: nothing is kept in it
  out.I32(static_cast<int32_t>(stack_.size()));
  for (const TStack& frame : stack_) WriteFrame(out, frame);
  out.I32(level_);
  if (started_ && current_ != nullptr && current_->Contains(index_)) {
    const TCommand& command = current_->Command(index_);
    // A command that has begun always has its progress; a fresh one stands in should it not.
    std::unique_ptr<CommandProgress> fresh = progress_ ? nullptr : command.MakeProgress();
    const CommandProgress* progress = progress_ ? progress_.get() : fresh.get();
    if (progress != nullptr) out.Bytes(SaveProgress(*progress));
  }
}

TStack TCallMan::ReadFrame(BinaryReader& in,
                           const std::function<bool(std::string_view)>& sender_exists) {
  TStack frame;
  frame.return_page = in.String();
  frame.return_index = in.I32();
  frame.started = in.Bool();
  frame.continue_flag = in.Bool();
  frame.result_variable = in.String();
  frame.args = ReadStrings(in);
  std::string sender = in.String();
  if (!sender.empty() && sender_exists(sender)) frame.sender = std::move(sender);
  const size_t state_size = in.CheckCount(in.I32(), 1);
  const auto state = in.Bytes(state_size);
  const uint8_t result_type = in.U8();
  if (result_type > PT_STR) ThrowBadState("result type " + std::to_string(result_type));
  if (result_type != PT_NONE) {
    frame.result = MakeParam(result_type);
    frame.result->LoadFromStream(in);
  }
  if (state.empty() || !frame.started) return frame;
  // The progress is read now, through the command it belongs to, so that damage shows at load
  // time; a page that cannot be had keeps the bytes (the flow stops there on return anyway).
  TPage* page = nullptr;
  try {
    page = GetPage(frame.return_page, false);
  } catch (const NovuError&) {
    page = nullptr;
  }
  if (page == nullptr || !page->Contains(frame.return_index)) {
    frame.saved_state.assign(state.begin(), state.end());
    return frame;
  }
  frame.progress = page->Command(frame.return_index).MakeProgress();
  if (frame.progress) {
    BinaryReader progress_in(state);
    LoadProgress(*frame.progress, progress_in);
  }
  return frame;
}

std::unique_ptr<TCallMan::SavedState> TCallMan::ReadState(
    BinaryReader& in, const std::function<bool(std::string_view)>& sender_exists,
    std::string_view resume_page, int32_t resume_index) {
  auto saved = std::make_unique<SavedState>();
  const std::string page_name = in.String();
  // Fetched without reordering the cache: nothing is evicted by a load that may still fail.
  if (!page_name.empty()) saved->page = GetPage(page_name, false);
  saved->index = in.I32();
  saved->continue_flag = in.Bool();
  saved->started = in.Bool();
  const int32_t run_state = in.I32();
  if (run_state < 0 || run_state > kLastRunState) {
    ThrowBadState("run state " + std::to_string(run_state));
  }
  saved->run_state = static_cast<RunState>(run_state);
  std::string sender = in.String();
  if (!sender.empty() && sender_exists(sender)) saved->sender = std::move(sender);
  saved->args = ReadStrings(in);
  ReadFrame(in, sender_exists);  // the spare frame is read and dropped
  const size_t frames = in.Count(kMinFrameBytes, kMaxCallDepth);
  saved->frames.reserve(frames);
  for (size_t i = 0; i < frames; ++i) saved->frames.push_back(ReadFrame(in, sender_exists));
  saved->level = in.I32();
  // Each nested handler adds a frame above level 2; a level beyond that was never reached.
  if (saved->level < 0 || static_cast<size_t>(saved->level) > frames + 2) {
    ThrowBadState("level " + std::to_string(saved->level));
  }
  if (saved->started && saved->page != nullptr && saved->page->Contains(saved->index)) {
    saved->progress = saved->page->Command(saved->index).MakeProgress();
    if (saved->progress) LoadProgress(*saved->progress, in);
  }
  if (!resume_page.empty()) {
    TPage* resume = GetPage(resume_page, false);
    if (saved->page != nullptr) {
      if (saved->frames.size() >= kMaxCallDepth) ThrowBadState("stack depth");
      TStack frame;
      frame.return_page = saved->page->name();
      frame.return_index = saved->index;
      frame.continue_flag = saved->continue_flag;
      frame.started = saved->started;
      frame.sender = saved->sender;
      frame.args = saved->args;
      frame.progress = std::move(saved->progress);
      saved->frames.push_back(std::move(frame));
    }
    saved->page = resume;
    if (resume_index > 0) saved->index = resume_index;
    saved->started = false;
    saved->progress.reset();
  }
  return saved;
}

uint64_t TCallMan::RunningEventOf(const std::optional<std::string>& sender) const {
  if (!sender) return 0;
  for (const ScriptEvent& e : events_.entries()) {
    if (e.level != 0 && e.sender == sender && e.object != nullptr) return e.serial;
  }
  return 0;
}

void TCallMan::Adopt(std::unique_ptr<SavedState> saved) {
  stack_ = std::move(saved->frames);
  for (TStack& frame : stack_) frame.sender_event = RunningEventOf(frame.sender);
  PublishDepth();
  if (saved->page != nullptr) GetPage(saved->page->name(), true);  // a hit: no page is freed
  current_ = saved->page;
  index_ = saved->index;
  continue_ = saved->continue_flag;
  started_ = saved->started;
  progress_ = std::move(saved->progress);
  run_state_ = saved->run_state;
  sender_ = std::move(saved->sender);
  sender_event_ = RunningEventOf(sender_);
  args_ = std::move(saved->args);
  level_ = saved->level;
  last_traced_ = nullptr;
}

}  // namespace novu
