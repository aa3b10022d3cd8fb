#include "expr/db_manager.h"

#include <algorithm>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "core/cp932.h"
#include "platform/error.h"

namespace novu {

int32_t TDBManager::IndexOfTable(std::string_view name) const {
  for (size_t i = 0; i < tables_.size(); ++i) {
    if (cp932::EqualsNoCase(tables_[i]->name(), name)) return static_cast<int32_t>(i);
  }
  return -1;
}

TDBTable* TDBManager::FindTable(std::string_view name) const {
  const int32_t index = IndexOfTable(name);
  return index < 0 ? nullptr : tables_[static_cast<size_t>(index)].get();
}

TDBTable* TDBManager::ActiveTable() const {
  return active_;
}

int32_t TDBManager::CreateTable(std::string_view name, bool status) {
  if (name.empty() || IndexOfTable(name) >= 0) return -1;
  tables_.push_back(std::make_unique<TDBTable>(std::string(name), status));
  active_ = tables_.back().get();
  return Count() - 1;
}

bool TDBManager::DeleteTable(std::string_view name) {
  const int32_t index = IndexOfTable(name);
  if (index < 0) return false;
  if (active_ == tables_[static_cast<size_t>(index)].get()) active_ = nullptr;
  tables_.erase(tables_.begin() + index);
  return true;
}

bool TDBManager::DeleteActiveTable() {
  if (active_ == nullptr) return false;
  std::erase_if(tables_, [&](const std::unique_ptr<TDBTable>& t) { return t.get() == active_; });
  active_ = nullptr;
  return true;
}

bool TDBManager::SetActive(std::string_view name) {
  TDBTable* table = FindTable(name);
  if (table == nullptr) return false;
  active_ = table;
  return true;
}

bool TDBManager::CopyTable(std::string_view destination, std::span<const int32_t> records) {
  TDBTable* target = FindTable(destination);
  if (active_ == nullptr || target == nullptr || target == active_) return false;
  target->ClearAll();
  target->AssignFields(active_->fields());
  bool copied = true;
  for (const int32_t index : records) {
    copied = target->AppendRecordBytes(active_->GetRecord(index)) && copied;
  }
  return copied;
}

bool TDBManager::InsertTable(std::string_view source, std::span<const int32_t> records) {
  TDBTable* from = FindTable(source);
  if (active_ == nullptr || from == nullptr || !from->fields().SameFields(active_->fields())) {
    return false;
  }
  // The indexes were found before anything is appended, so a table inserted into itself
  // copies each listed record once.
  bool inserted = true;
  for (const int32_t index : records) {
    inserted = active_->AppendRecordBytes(from->GetRecord(index)) && inserted;
  }
  return inserted;
}

TDBManager::Located TDBManager::Locate(std::string_view table, const DBKeys& keys,
                                       std::string_view field) const {
  TDBTable* found = FindTable(table);
  if (found == nullptr) return {};
  const std::vector<int32_t> matches = found->Find(keys);
  const int32_t index = found->fields().IndexOfField(field);
  if (matches.empty() || index < 0) return {};
  return {found, matches.front(), index};
}

bool TDBManager::DirectSetInt(std::string_view table, const DBKeys& keys, std::string_view field,
                              int32_t value) {
  const Located at = Locate(table, keys, field);
  return at.table != nullptr && at.table->SetInt(at.record, at.field, value);
}

bool TDBManager::DirectSetFloat(std::string_view table, const DBKeys& keys, std::string_view field,
                                long double value) {
  const Located at = Locate(table, keys, field);
  return at.table != nullptr && at.table->SetFloat(at.record, at.field, value);
}

bool TDBManager::DirectSetBool(std::string_view table, const DBKeys& keys, std::string_view field,
                               bool value) {
  const Located at = Locate(table, keys, field);
  return at.table != nullptr && at.table->SetBool(at.record, at.field, value);
}

bool TDBManager::DirectSetStr(std::string_view table, const DBKeys& keys, std::string_view field,
                              std::string_view value) {
  const Located at = Locate(table, keys, field);
  return at.table != nullptr && at.table->SetStr(at.record, at.field, value);
}

void TDBManager::ResetTables() {
  active_ = nullptr;
  std::erase_if(tables_, [](const std::unique_ptr<TDBTable>& t) { return !t->status(); });
}

void TDBManager::Clear() {
  active_ = nullptr;
  tables_.clear();
}

void TDBManager::SaveTables(BinaryWriter& out, bool status) const {
  out.I32(kBlockVersion);
  const auto count = std::count_if(tables_.begin(), tables_.end(),
                                   [&](const auto& t) { return t->status() == status; });
  out.I32(static_cast<int32_t>(count));
  for (const auto& table : tables_) {
    if (table->status() != status) continue;
    out.U8(TDBTable::kTableKind);
    table->SaveToStream(out);
  }
  if (!status) out.String(active_ != nullptr ? active_->name() : std::string());
}

void TDBManager::LoadTables(BinaryReader& in, bool status) {
  in.I32();  // the block version: every version reads the same way
  // A table takes at least its kind, an empty name, its flag and three counts: 18 bytes.
  const size_t count = in.Count(18);
  std::vector<std::unique_ptr<TDBTable>> loaded;
  for (size_t i = 0; i < count; ++i) {
    in.U8();  // the table kind: every kind is read as a table
    loaded.push_back(TDBTable::LoadFromStream(in));
    // A block holds the tables of its own kind only: a status table inside a saved game (or a
    // game table inside the status data) is damage, and would vanish from the next save.
    if (loaded.back()->status() != status) {
      throw NovuError(Jp("データが壊れています") + " (a data table of the other kind)");
    }
  }
  const std::string active_name = status ? std::string() : in.String();

  std::erase_if(tables_, [&](const std::unique_ptr<TDBTable>& t) { return t->status() == status; });
  active_ = nullptr;
  for (auto& table : loaded) {
    tables_.push_back(std::move(table));
    active_ = tables_.back().get();
  }
  if (!status) active_ = active_name.empty() ? nullptr : FindTable(active_name);
}

}  // namespace novu
