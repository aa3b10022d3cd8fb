#include "engine/event_queue_stream.h"

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "engine/script_event_queue.h"
#include "objects/base_list.h"

namespace novu {
namespace {

// Handler, sender, id, level (one byte in old saves) and the argument count.
constexpr size_t kMinEntryBytes = 4 + 4 + 1 + 1 + 4;
constexpr size_t kMaxEntries = 1u << 20;
constexpr size_t kMaxArguments = 1u << 16;
// The first save version that keeps the level in four bytes.
constexpr int32_t kLevelWordVersion = 114;

}  // namespace

void SaveEventQueue(const ScriptEventQueue& queue, const TNovuBaseList& objects,
                    BinaryWriter& out) {
  out.I32(static_cast<int32_t>(queue.size()));
  for (const ScriptEvent& e : queue.entries()) {
    out.String(e.handler);
    const bool alive = e.object != nullptr && objects.IsRegistered(e.object);
    out.String(alive ? e.object->name() : std::string());
    out.U8(static_cast<uint8_t>(e.kind));
    out.I32(e.level);
    out.I32(static_cast<int32_t>(e.args.size()));
    for (const std::string& argument : e.args) out.String(argument);
  }
}

void LoadEventQueue(ScriptEventQueue& queue, const TNovuBaseList& objects, BinaryReader& in,
                    int32_t version) {
  queue.Clear();
  try {
    const size_t count = in.Count(kMinEntryBytes, kMaxEntries);
    for (size_t i = 0; i < count; ++i) {
      ScriptEvent event;
      event.handler = in.String();
      const std::string sender = in.String();
      if (!sender.empty()) {
        if (const TNovuObject* object = objects.FindComponent(sender)) {
          event.object = object;
          event.sender = sender;
        }
      }
      event.kind = in.U8();
      event.level = version >= kLevelWordVersion ? in.I32() : (in.U8() != 0 ? 1 : 0);
      // No handler ever runs at a negative level: such an entry could never leave the queue.
      if (event.level < 0) event.level = 0;
      const size_t arguments = in.Count(4, kMaxArguments);
      for (size_t a = 0; a < arguments; ++a) event.args.push_back(in.String());
      queue.Post(std::move(event));
    }
  } catch (...) {
    queue.Clear();
    throw;
  }
}

}  // namespace novu
