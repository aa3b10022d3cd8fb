#pragma once
// The queue of pending script calls that objects post into. Objects never call scripts; they
// post the handler label with their event id and the arguments the handler reads as @ParamStr.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace novu {

class TNovuObject;

class EventQueue {
 public:
  virtual ~EventQueue() = default;

  // Appends a pending entry; the arguments are copied.
  virtual void PostEvent(TNovuObject* sender, std::string_view handler,
                         std::span<const std::string> arguments, uint8_t event_id) = 0;
  // Index of the first entry of `sender` with `event_id`, pending or running; -1 if none.
  virtual int32_t FindEvent(const TNovuObject* sender, uint8_t event_id) const = 0;
  // Removes the sender's pending entries. Entries already running stay but forget the sender,
  // so they never point at a freed object.
  virtual void RemoveObjectEvents(const TNovuObject* sender) = 0;
  // Removes the sender's pending entries only; running ones keep their sender, so the sender
  // still cannot queue the same event while its handler runs.
  virtual void RemovePendingEvents(const TNovuObject* sender) = 0;
  // Drops every entry, running ones included.
  virtual void Clear() = 0;

  bool IsQueued(const TNovuObject* sender, uint8_t event_id) const {
    return FindEvent(sender, event_id) >= 0;
  }
};

// A plain list of entries in posting order: enough for the objects and their tests until the
// interpreter takes entries from the queue.
class MemoryEventQueue final : public EventQueue {
 public:
  struct Entry {
    std::string handler;
    TNovuObject* sender = nullptr;
    uint8_t event_id = 0;
    int32_t level = 0;  // 0 while pending
    std::vector<std::string> arguments;
  };

  void PostEvent(TNovuObject* sender, std::string_view handler,
                 std::span<const std::string> arguments, uint8_t event_id) override;
  int32_t FindEvent(const TNovuObject* sender, uint8_t event_id) const override;
  void RemoveObjectEvents(const TNovuObject* sender) override;
  void RemovePendingEvents(const TNovuObject* sender) override;
  void Clear() override { entries_.clear(); }

  std::vector<Entry>& entries() { return entries_; }
  const std::vector<Entry>& entries() const { return entries_; }

 private:
  std::vector<Entry> entries_;
};

}  // namespace novu
