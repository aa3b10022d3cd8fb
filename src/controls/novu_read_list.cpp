#include "controls/novu_read_list.h"

#include <algorithm>
#include <memory>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "platform/error.h"

namespace novu {

bool TNovuRead::Holds(int32_t command_index, int32_t page_index) const {
  for (size_t i = 0; i < command_indexes.size() && i < page_indexes.size(); ++i) {
    if (command_indexes[i] == command_index && page_indexes[i] == page_index) return true;
  }
  return false;
}

bool TNovuReadList::IsRead(std::string_view script_page, int32_t command_index,
                           int32_t page_index) const {
  const auto* item = static_cast<const TNovuRead*>(items_.Find(script_page));
  return item != nullptr && item->Holds(command_index, page_index);
}

void TNovuReadList::Arm(std::string_view window, std::string_view script_page, int32_t page_index,
                        int32_t command_index) {
  armed_window_ = window;
  armed_page_ = script_page;
  armed_index_ = page_index;
  armed_command_ = command_index;
}

TNovuRead& TNovuReadList::ItemFor(std::string_view script_page) {
  if (auto* item = static_cast<TNovuRead*>(items_.Find(script_page))) return *item;
  return items_.Adopt(std::make_unique<TNovuRead>(std::string(script_page)));
}

void TNovuReadList::Commit(std::string_view window) {
  if (armed_page_.empty() || armed_window_ != window) return;
  TNovuRead& item = ItemFor(armed_page_);
  if (!item.Holds(armed_command_, armed_index_)) {
    item.command_indexes.push_back(armed_command_);
    item.page_indexes.push_back(armed_index_);
  }
  armed_page_.clear();
  armed_window_.clear();
}

void TNovuReadList::Clear() {
  items_.Clear();
  armed_page_.clear();
  armed_window_.clear();
  armed_command_ = 0;
  armed_index_ = 0;
}

void TNovuReadList::Save(BinaryWriter& out) const {
  out.I32(items_.Count());
  for (int i = 0; i < items_.Count(); ++i) {
    const auto& item = static_cast<const TNovuRead&>(items_.Item(i));
    const size_t n = std::min(item.command_indexes.size(), item.page_indexes.size());
    out.String(item.Name());
    out.I32(static_cast<int32_t>(n));
    for (size_t k = 0; k < n; ++k) out.I32(item.command_indexes[k]);
    for (size_t k = 0; k < n; ++k) out.I32(item.page_indexes[k]);
  }
  out.String(armed_page_);
  out.I32(armed_command_);
  out.I32(armed_index_);
  out.String(armed_window_);
}

void TNovuReadList::Load(BinaryReader& in, int32_t version) {
  Clear();
  if (version < 100) return;
  try {
    // A page name takes at least its count and its mark count.
    const size_t count = in.Count(8);
    for (size_t i = 0; i < count; ++i) {
      std::string name = in.String();
      const size_t n = in.Count(8);
      auto item = std::make_unique<TNovuRead>(std::move(name));
      item->command_indexes.resize(n);
      item->page_indexes.resize(n);
      for (size_t k = 0; k < n; ++k) item->command_indexes[k] = in.I32();
      for (size_t k = 0; k < n; ++k) item->page_indexes[k] = in.I32();
      items_.Adopt(std::move(item));
    }
    armed_page_ = in.String();
    armed_command_ = in.I32();
    armed_index_ = in.I32();
    armed_window_ = in.String();
  } catch (const NovuError&) {
    Clear();
    throw;
  }
}

}  // namespace novu
