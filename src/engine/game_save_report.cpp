#include "engine/game_save_report.h"

#include "core/binary_reader.h"
#include "core/cp932.h"
#include "core/process_state.h"
#include "engine/call_man.h"
#include "engine/command_layout.h"
#include "engine/event_queue_stream.h"
#include "engine/game_save.h"
#include "engine/game_save_tables.h"
#include "engine/script_event_queue.h"
#include "expr/custom_param.h"
#include "expr/db_manager.h"
#include "expr/db_table.h"
#include "expr/param_collection.h"
#include "objects/component_type.h"
#include "objects/novu_control.h"
#include "objects/novu_object.h"
#include "platform/error.h"
#include "platform/text_encoding.h"

namespace novu {
namespace {

// The largest screen a report builds its scratch scene for.
constexpr int32_t kMaxReportScreenSide = 8192;
// Longer values are cut there (at a character boundary) and their length given.
constexpr size_t kMaxValueBytes = 120;

std::string Shortened(std::string_view cp932) {
  if (cp932.size() <= kMaxValueBytes) return "\"" + platform::Cp932ToUtf8(cp932) + "\"";
  size_t cut = 0;
  while (cut < kMaxValueBytes) {
    const size_t width = cp932::IsLeadByte(static_cast<uint8_t>(cp932[cut])) ? 2 : 1;
    if (cut + width > kMaxValueBytes) break;
    cut += width;
  }
  return "\"" + platform::Cp932ToUtf8(cp932.substr(0, cut)) + "\"... (" +
         std::to_string(cp932.size()) + " bytes)";
}

std::string Quoted(std::string_view cp932) {
  return "\"" + platform::Cp932ToUtf8(cp932) + "\"";
}

std::string QuotedList(const std::vector<std::string>& strings) {
  if (strings.empty()) return "none";
  std::string out;
  for (const std::string& s : strings) out += (out.empty() ? "" : " ") + Quoted(s);
  return out;
}

// "main.nsb:7 (Wait)": a position with the command found there.
std::string Position(TPage* page, std::string_view page_name, int32_t index) {
  std::string out = platform::Cp932ToUtf8(page_name) + ":" + std::to_string(index);
  if (page != nullptr && page->Contains(index)) {
    const uint8_t code = page->Command(index).GetCode();
    out += " (" + std::string(OpcodeLayout(code).name) + ")";
  }
  return out;
}

std::string_view TypeName(ParamType type) {
  switch (type) {
    case PT_INT:
      return "int";
    case PT_FLOAT:
      return "float";
    case PT_BOOL:
      return "bool";
    case PT_STR:
      return "string";
    default:
      return "reference";
  }
}

std::string_view ScopeName(VarScope scope) {
  static constexpr std::string_view kNames[] = {"global", "auto", "local", "status"};
  const auto i = static_cast<size_t>(scope);
  return i < std::size(kNames) ? kNames[i] : "?";
}

void DescribeFrame(std::string& out, TCallMan& calls, const TStack& frame) {
  TPage* page = nullptr;
  try {
    if (!frame.return_page.empty()) page = calls.GetPage(frame.return_page, false);
  } catch (const NovuError&) {
  }
  out += "    returns to " + Position(page, frame.return_page, frame.return_index);
  if (frame.started) out += ", started";
  if (!frame.result_variable.empty()) out += ", result into " + Quoted(frame.result_variable);
  if (frame.sender) out += ", handling " + Quoted(*frame.sender);
  out += "; arguments " + QuotedList(frame.args) + "\n";
}

void DescribeInterpreter(std::string& out, TCallMan& calls, const TCallMan::SavedState& saved) {
  out += "interpreter:\n";
  if (saved.page != nullptr) {
    out += "  at " + Position(saved.page, saved.page->name(), saved.index);
  } else {
    out += "  at no page";
  }
  out += saved.started ? ", started" : ", not started";
  out += ", state " + std::to_string(static_cast<int32_t>(saved.run_state)) + ", level " +
         std::to_string(saved.level) + "\n";
  if (saved.sender) out += "  handling an event of " + Quoted(*saved.sender) + "\n";
  out += "  arguments " + QuotedList(saved.args) + "\n";
  const size_t frames = saved.frames.size();
  out += "  call stack: " + std::to_string(frames) + (frames == 1 ? " frame" : " frames") +
         (frames == 0 ? "\n" : ", bottom first\n");
  for (const TStack& frame : saved.frames) DescribeFrame(out, calls, frame);
}

void DescribeVariables(std::string& out, const TParamCollection& vars) {
  std::string lines;
  int count = 0;
  for (int32_t i = 0; i < vars.Count(); ++i) {
    const TParamCollectionItem& item = vars.Var(i);
    if (item.is_system() || item.is_temporary() || IsTemporaryName(item.name())) continue;
    ++count;
    const TCustomParam& value = item.value();
    lines += "  " + platform::Cp932ToUtf8(item.name()) + " " +
             std::string(TypeName(value.GetParamType()));
    for (const int32_t dim : value.dims()) lines += "[" + std::to_string(dim) + "]";
    lines += " " + std::string(ScopeName(item.scope())) + " =";
    for (int32_t e = 0; e < value.GetCount(); ++e) lines += " " + Shortened(value.GetStrAt(e));
    lines += "\n";
  }
  out += "variables (" + std::to_string(count) + "):\n" + lines;
}

std::string ClassOf(const TNovuObject& object) {
  const ComponentTypeInfo* info = FindComponentType(object.GetType());
  if (info == nullptr) return "?";
  return std::string(info->class_name.empty() ? info->name : info->class_name);
}

void DescribeObjects(std::string& out, const TNovuBaseList& scene) {
  std::string lines;
  int count = 0;
  for (const TNovuObject* object : scene.registry()) {
    if (object == nullptr || object->name().starts_with('\x01')) continue;  // the bases
    ++count;
    lines += "  " + Quoted(object->name()) + " " + ClassOf(*object);
    const TNovuControl* parent = object->GetParent();
    if (parent != nullptr && !parent->name().starts_with('\x01')) {
      lines += " in " + Quoted(parent->name());
    }
    lines += "\n";
  }
  out += "objects (" + std::to_string(count) + "):\n" + lines;
}

void DescribeEvents(std::string& out, const ScriptEventQueue& events) {
  out += "queued events (" + std::to_string(events.entries().size()) + "):\n";
  for (const ScriptEvent& e : events.entries()) {
    out += "  " + Quoted(e.handler) + " event " + std::to_string(e.kind);
    out += e.sender ? " from " + Quoted(*e.sender) : std::string(" without sender");
    out += e.level == 0 ? ", pending" : ", handled at level " + std::to_string(e.level);
    out += "; arguments " + QuotedList(e.args) + "\n";
  }
}

void DescribeTables(std::string& out, const TDBManager& tables) {
  out += "data tables (" + std::to_string(tables.Count()) + "):\n";
  for (int32_t i = 0; i < tables.Count(); ++i) {
    const TDBTable& table = tables.Table(i);
    out += "  " + Quoted(table.name()) + " " + std::to_string(table.GetRecordCount()) + " records" +
           (&table == tables.ActiveTable() ? ", active\n" : "\n");
  }
}

// The scratch scene takes the saved screen size, which the object block begins with.
void SizeSceneFor(TNovuBaseList& scene, BinaryReader in) {
  const int32_t width = in.I32();
  const int32_t height = in.I32();
  if (width < 1 || height < 1 || width > kMaxReportScreenSide || height > kMaxReportScreenSide) {
    throw NovuError("screen size " + std::to_string(width) + " x " + std::to_string(height));
  }
  scene.SetSize(width, height);
}

}  // namespace

std::string DescribeGameSave(std::span<const uint8_t> entry, CallManHost& pages,
                             TNovuBaseList::Factory factory) {
  BinaryReader in(entry);
  const GameSaveHeader header = ReadGameSaveHeader(in);
  std::string out = "version " + std::to_string(header.version) + "\n";
  out += "caption " + Quoted(header.caption) + "\n";
  out += header.resume_page.empty() ? std::string("resumes where it was saved\n")
                                    : "resumes at " + platform::Cp932ToUtf8(header.resume_page) +
                                          ":" + std::to_string(header.resume_index) + "\n";

  ProcessState state;
  ScriptEventQueue events;
  TNovuBaseList scene(std::move(factory));
  scene.SetProcessState(&state);
  ScriptEventQueueStreamer streamer(events, scene);
  scene.SetEventQueue(&events, &streamer);
  SizeSceneFor(scene, in);
  scene.LoadFromStream(in, header.version);
  EmptyHistoryBlock().Read(in, header.version);

  TParamCollection vars;
  TCallMan calls(vars, state, events, pages);
  // Without a resume page: the position as it was saved.
  const auto saved = calls.ReadState(
      in, [&scene](std::string_view name) { return scene.FindComponent(name) != nullptr; }, {}, 0);
  vars.LoadFromStream(in, header.version);
  TDBManager tables;
  ReadGameTables(in, header.version, tables);

  DescribeInterpreter(out, calls, *saved);
  DescribeVariables(out, vars);
  DescribeObjects(out, scene);
  DescribeEvents(out, events);
  DescribeTables(out, tables);
  scene.SetEventQueue(nullptr);
  return out;
}

}  // namespace novu
