#pragma once
// TPage: one compiled script page (*.nsb): a header, the per-opcode property-set table and the
// flat command list. Control structure is not nested in the file: every command carries its
// depth, and jump targets are stored command indices.
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/command.h"

namespace novu {

inline constexpr int32_t kNewestPageVersion = 114;
inline constexpr int32_t kOldestPageVersion = 103;

class TPage {
 public:
  enum class LoadResult {
    kLoaded,
    kTooNew,        // the page stays empty
    kNeedsRebuild,  // too old: the caller asks for a rebuild and closes
  };

  TPage() = default;
  ~TPage();
  TPage(const TPage&) = delete;
  TPage& operator=(const TPage&) = delete;

  // Parses a whole page file. Counts are checked against the data; an opcode above 60 raises
  // "不正なコマンド", truncated data the reader's error. On failure the page is left empty.
  LoadResult Load(std::string_view name, std::span<const uint8_t> data);
  // The page file: written back exactly as read (the stored property-set table included).
  std::vector<uint8_t> Serialize() const;

  // The command of an opcode (the top bit ignored), or "不正なコマンド" above 60.
  std::unique_ptr<TCommand> CreateCommand(uint8_t code);

  int32_t IndexOf(const TCommand* command) const;
  // Index of the first command matching the label (exact), else -1.
  int32_t FindLabel(std::string_view name) const;

  const std::string& name() const { return name_; }
  int32_t version() const { return version_; }
  uint8_t result_type() const { return result_type_; }
  int32_t Count() const { return static_cast<int32_t>(commands_.size()); }
  TCommand& Command(int32_t index) const { return *commands_.at(static_cast<size_t>(index)); }
  bool Contains(int32_t index) const { return index >= 0 && index < Count(); }
  const PropertySet& Set(uint8_t code) const { return sets_.at(code); }

  // The property-set table as stored: entry count, bytes per entry, and the raw entries.
  int32_t stored_set_count() const { return stored_set_count_; }
  int32_t stored_set_size() const { return stored_set_size_; }
  const std::vector<uint8_t>& stored_sets() const { return stored_sets_; }

  // For building pages in code (the assembler): header, table and commands.
  void SetHeader(std::string_view name, int32_t version, uint8_t result_type);
  void SetStoredSets(int32_t count, int32_t size, std::vector<uint8_t> bytes);
  void Append(std::unique_ptr<TCommand> command) { commands_.push_back(std::move(command)); }

 private:
  void ApplyStoredSets();

  std::string name_;
  int32_t version_ = kNewestPageVersion;
  uint8_t result_type_ = 0;
  std::array<PropertySet, kOpcodeCount> sets_{};
  int32_t stored_set_count_ = 0;
  int32_t stored_set_size_ = 0;
  std::vector<uint8_t> stored_sets_;
  std::vector<std::unique_ptr<TCommand>> commands_;
};

}  // namespace novu
