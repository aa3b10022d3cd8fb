#pragma once
// TNovuReadList: the message pages a reader has seen to the end, as (script page, command
// index, message page index) triples kept by script page name, plus the one mark a window has
// armed while its page is still being revealed. It belongs to the status data, so read text
// stays read in later runs of the game.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "storage/hash_collection.h"

namespace novu {

class BinaryReader;
class BinaryWriter;

class TNovuRead final : public THashCollectionItem {
 public:
  using THashCollectionItem::THashCollectionItem;
  // Parallel: one element per read message page.
  std::vector<int32_t> command_indexes;
  std::vector<int32_t> page_indexes;

  bool Holds(int32_t command_index, int32_t page_index) const;
};

class TNovuReadList {
 public:
  bool IsRead(std::string_view script_page, int32_t command_index, int32_t page_index) const;
  // Replaces the armed mark.
  void Arm(std::string_view window, std::string_view script_page, int32_t page_index,
           int32_t command_index);
  // Marks the page armed for `window` as read and disarms; nothing when none is armed for it.
  void Commit(std::string_view window);
  void Clear();

  // The status data's read-mark block.
  void Save(BinaryWriter& out) const;
  // Replaces everything with a block of status version `version` (nothing before 100). Throws
  // NovuError for a block that does not fit the data; the list is then left empty.
  void Load(BinaryReader& in, int32_t version);

  int32_t ItemCount() const { return items_.Count(); }
  const std::string& armed_page() const { return armed_page_; }
  const std::string& armed_window() const { return armed_window_; }

 private:
  TNovuRead& ItemFor(std::string_view script_page);

  THashCollection items_;
  std::string armed_page_;
  int32_t armed_command_ = 0;
  int32_t armed_index_ = 0;
  std::string armed_window_;
};

}  // namespace novu
