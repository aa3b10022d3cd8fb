#include "engine/page.h"

#include <algorithm>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "engine/control_commands.h"
#include "platform/error.h"

namespace novu {
namespace {

// Opcode byte plus the common header.
constexpr size_t kMinRecordBytes = 1 + 4 + 1 + 1 + 4;
// A stored set table larger than this is not a page.
constexpr int64_t kMaxSetTableBytes = int64_t{1} << 20;

}  // namespace

TPage::~TPage() = default;

void TPage::SetHeader(std::string_view name, int32_t version, uint8_t result_type) {
  name_ = name;
  version_ = version;
  result_type_ = result_type;
}

void TPage::SetStoredSets(int32_t count, int32_t size, std::vector<uint8_t> bytes) {
  stored_set_count_ = count;
  stored_set_size_ = size;
  stored_sets_ = std::move(bytes);
  ApplyStoredSets();
}

void TPage::ApplyStoredSets() {
  sets_ = {};
  const size_t size = static_cast<size_t>(stored_set_size_);
  const size_t kept = std::min(size, kPropertySetBytes);
  for (size_t i = 0; i < static_cast<size_t>(stored_set_count_) && i < sets_.size(); ++i) {
    std::copy_n(stored_sets_.begin() + static_cast<ptrdiff_t>(i * size), kept, sets_[i].begin());
  }
}

TPage::LoadResult TPage::Load(std::string_view name, std::span<const uint8_t> data) {
  commands_.clear();
  name_ = name;
  BinaryReader in(data);
  version_ = in.I32();
  if (version_ > kNewestPageVersion) return LoadResult::kTooNew;
  if (version_ < kOldestPageVersion) return LoadResult::kNeedsRebuild;
  try {
    result_type_ = in.U8();
    const int32_t count = in.I32();
    const int32_t size = in.I32();
    if (count < 0 || size < 0 || int64_t{count} * size > kMaxSetTableBytes) {
      throw NovuError(Jp("データが壊れています") + " (property set table " + std::to_string(count) +
                      " x " + std::to_string(size) + ")");
    }
    const size_t table_bytes = static_cast<size_t>(count) * static_cast<size_t>(size);
    const auto table = in.Bytes(table_bytes);
    SetStoredSets(count, size, std::vector<uint8_t>(table.begin(), table.end()));
    const size_t command_count = in.Count(kMinRecordBytes);
    commands_.reserve(command_count);
    for (size_t i = 0; i < command_count; ++i) {
      const uint8_t code = in.U8();
      std::unique_ptr<TCommand> command = CreateCommand(code);
      command->LoadFromStream(in, version_, sets_[command->GetCode()]);
      command->header().opcode_byte = code;
      commands_.push_back(std::move(command));
    }
  } catch (...) {
    commands_.clear();
    throw;
  }
  return LoadResult::kLoaded;
}

std::vector<uint8_t> TPage::Serialize() const {
  BinaryWriter out;
  out.I32(version_);
  out.U8(result_type_);
  out.I32(stored_set_count_);
  out.I32(stored_set_size_);
  out.Bytes(stored_sets_);
  out.I32(Count());
  for (const auto& command : commands_) command->SaveToStream(out);
  return out.Take();
}

std::unique_ptr<TCommand> TPage::CreateCommand(uint8_t code) {
  code &= 0x7F;
  if (code >= kOpcodeCount) throw NovuError::FromUtf8("不正なコマンド");
  return MakeCommand(*this, code);
}

int32_t TPage::IndexOf(const TCommand* command) const {
  for (size_t i = 0; i < commands_.size(); ++i) {
    if (commands_[i].get() == command) return static_cast<int32_t>(i);
  }
  return -1;
}

int32_t TPage::FindLabel(std::string_view name) const {
  for (size_t i = 0; i < commands_.size(); ++i) {
    if (commands_[i]->MatchesLabel(name)) return static_cast<int32_t>(i);
  }
  return -1;
}

}  // namespace novu
