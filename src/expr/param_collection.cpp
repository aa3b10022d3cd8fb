#include "expr/param_collection.h"

#include <algorithm>
#include <atomic>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "core/cp932.h"
#include "core/error.h"
#include "expr/novu_parser.h"
#include "expr/param_system.h"
#include "expr/param_var.h"
#include "expr/system_function.h"
#include "expr/system_variable_host.h"

namespace novu {

const std::array<std::string_view, 4> kVarScopeLabels = {"グローバル", "自動破棄", "ローカル",
                                                         "ステータス"};

namespace {

// Smallest possible entry of a variable block: type byte, empty name, empty dimension list
// and element count, status, reserved, depth and local fields.
constexpr size_t kMinVariableEntryBytes = 1 + 4 + 8 + 1 + 1 + 4 + 1;
// Smallest variable-stack item: type code, empty name, empty dimension list.
constexpr size_t kMinStackItemBytes = 4 + 4 + 4;
constexpr size_t kMaxVarStackEntries = size_t{1} << 20;

SystemFunctionDispatcher& DefaultFunctions() {
  static SystemFunctionDispatcher functions;
  return functions;
}

uint64_t NextEpoch() {
  static std::atomic<uint64_t> counter{0};
  return counter.fetch_add(1, std::memory_order_relaxed) + 1;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

[[noreturn]] void ThrowCorrupt(const std::string& what) {
  throw NovuError(Jp("データが壊れています") + " (" + what + ")");
}

uint8_t TypeCodeOf(const TCustomParam& value) {
  return value.IsReference() ? uint8_t{PT_NONE} : static_cast<uint8_t>(value.GetParamType());
}

bool IsValueTypeCode(int32_t code) { return code >= PT_INT && code <= PT_STR; }

}  // namespace

uint8_t NameHash(std::string_view name) {
  uint32_t h = static_cast<uint32_t>(name.size()) * 16;
  if (name.size() > 1) {
    // The byte before the last is lower-cased only when it starts a character.
    const size_t at = name.size() - 2;
    bool trail = false;
    for (size_t i = 0; i < at; ++i) {
      if (cp932::IsLeadByte(static_cast<uint8_t>(name[i]))) {
        if (i + 1 == at) trail = true;
        ++i;
      }
    }
    const char second_last = trail ? name[at] : LowerAscii(name[at]);
    h += static_cast<uint8_t>(second_last) + static_cast<uint8_t>(LowerAscii(name[0]));
  }
  return static_cast<uint8_t>(h);
}

void CheckVariableName(std::string_view name) {
  const bool valid = !name.empty() && name.find_first_of(" \t") == std::string_view::npos &&
                     !(name[0] >= '0' && name[0] <= '9');
  if (!valid) throw NovuError(FormatOne(Jp("\"%s\"：変数名が不正です"), name));
}

// ---- items ----

void TParamCollectionItem::SetName(std::string name) {
  if (name == name_) return;
  owner_->Unlink(*this);
  name_ = std::move(name);
  owner_->Link(*this);
  if (eval_level_ == 0) owner_->TouchLookup();
}

VarScope TParamCollectionItem::scope() const {
  if (status_) return VarScope::kStatus;
  if (scope_depth_ < 0) return VarScope::kGlobal;
  return local_ ? VarScope::kLocal : VarScope::kAutoDispose;
}

// ---- table ----

TParamCollection::TParamCollection()
    : host_(&SystemVariableHost::Default()),
      functions_(&DefaultFunctions()),
      lookup_epoch_(NextEpoch()) {
  for (int i = 0; i < kSystemVariableCount; ++i) {
    auto which = static_cast<SystemVariable>(i);
    AddItem(std::make_unique<TParamSystem>(*this, which))
        ->SetName(std::string(InfoOf(which).name));
  }
}

TParamCollection::~TParamCollection() = default;

void TParamCollection::SetHost(SystemVariableHost* host) {
  host_ = host ? host : &SystemVariableHost::Default();
}

void TParamCollection::SetFunctions(SystemFunctionDispatcher* functions) {
  functions_ = functions ? functions : &DefaultFunctions();
}

void TParamCollection::SetDepth(int32_t depth) {
  if (depth == depth_) return;
  depth_ = depth;
  TouchLookup();
}

void TParamCollection::TouchLookup() { lookup_epoch_ = NextEpoch(); }

void TParamCollection::Link(TParamCollectionItem& item) {
  const uint8_t bucket = NameHash(item.name_);
  item.bucket_ = bucket;
  item.prev_ = nullptr;
  item.next_ = buckets_[bucket];
  if (item.next_) item.next_->prev_ = &item;
  buckets_[bucket] = &item;
}

void TParamCollection::Unlink(TParamCollectionItem& item) {
  if (item.bucket_ < 0) return;
  if (item.prev_) {
    item.prev_->next_ = item.next_;
  } else {
    buckets_[static_cast<size_t>(item.bucket_)] = item.next_;
  }
  if (item.next_) item.next_->prev_ = item.prev_;
  item.prev_ = item.next_ = nullptr;
  item.bucket_ = -1;
}

bool TParamCollection::IsVisible(const TParamCollectionItem& item) const {
  return item.eval_level_ == 0 || item.eval_level_ == eval_level_;
}

TParamCollectionItem* TParamCollection::Find(std::string_view name) const {
  TParamCollectionItem* oldest = nullptr;
  for (TParamCollectionItem* it = buckets_[NameHash(name)]; it; it = it->next_) {
    if (!cp932::EqualsNoCase(it->name_, name) || !IsVisible(*it)) continue;
    if (it->local_) {
      if (it->scope_depth_ == depth_) return it;
      continue;
    }
    oldest = it;  // chains are newest first
  }
  return oldest;
}

TParamCollectionItem* TParamCollection::FindForDeclare(std::string_view name, bool local) const {
  TParamCollectionItem* found = nullptr;
  for (TParamCollectionItem* it = buckets_[NameHash(name)]; it; it = it->next_) {
    if (!cp932::EqualsNoCase(it->name_, name) || !IsVisible(*it)) continue;
    if (local) {
      if (it->local_ && it->scope_depth_ == depth_) return it;
    } else if (!it->local_) {
      found = it;
    }
  }
  return found;
}

bool TParamCollection::Contains(const TParamCollectionItem* item) const {
  return std::any_of(items_.begin(), items_.end(),
                     [item](const auto& owned) { return owned.get() == item; });
}

TParamCollectionItem* TParamCollection::AddItem(std::unique_ptr<TCustomParam> value) {
  auto item = std::make_unique<TParamCollectionItem>(*this, std::move(value));
  item->index_ = static_cast<int32_t>(items_.size());
  item->eval_level_ = 0;
  TParamCollectionItem* raw = item.get();
  items_.push_back(std::move(item));
  Link(*raw);
  TouchLookup();
  return raw;
}

TParamCollectionItem* TParamCollection::Add(uint8_t type_code) {
  std::unique_ptr<TCustomParam> value = MakeParam(type_code);
  if (!value) ThrowCorrupt("variable type " + std::to_string(type_code));
  return AddItem(std::move(value));
}

TParamCollectionItem* TParamCollection::AddTemporary(uint8_t type_code, std::string_view name) {
  std::unique_ptr<TCustomParam> value = MakeParam(type_code);
  if (!value) ThrowCorrupt("variable type " + std::to_string(type_code));
  auto item = std::make_unique<TParamCollectionItem>(*this, std::move(value));
  item->index_ = static_cast<int32_t>(items_.size());
  item->eval_level_ = eval_level_;
  item->name_ = name;
  TParamCollectionItem* raw = item.get();
  items_.push_back(std::move(item));
  Link(*raw);
  return raw;
}

void TParamCollection::FreeTemporary(TParamCollectionItem* item) { Free(item); }

void TParamCollection::Free(TParamCollectionItem* item) {
  Unlink(*item);
  const bool ordinary = item->eval_level_ == 0;
  const auto at = static_cast<size_t>(item->index_);
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(at));
  for (size_t i = at; i < items_.size(); ++i) items_[i]->index_ = static_cast<int32_t>(i);
  ++removal_epoch_;
  if (ordinary) TouchLookup();
}

void TParamCollection::FreeIf(const auto& predicate) {
  std::vector<TParamCollectionItem*> doomed;
  for (const auto& item : items_) {
    if (predicate(*item)) doomed.push_back(item.get());
  }
  if (doomed.empty()) return;
  for (TParamCollectionItem* item : doomed) Unlink(*item);
  std::erase_if(items_, [&](const auto& item) {
    return std::find(doomed.begin(), doomed.end(), item.get()) != doomed.end();
  });
  for (size_t i = 0; i < items_.size(); ++i) items_[i]->index_ = static_cast<int32_t>(i);
  ++removal_epoch_;
  TouchLookup();
}

TParamCollectionItem* TParamCollection::Declare(std::string_view name, ParamType type,
                                                VarScope scope, TNovuParser* initial_value) {
  if (name.empty()) throw NovuError::FromUtf8("変数名がありません");
  CheckVariableName(name);
  TParamCollectionItem* item = FindForDeclare(name, scope == VarScope::kLocal);
  if (item == nullptr) {
    item = Add(type);
    item->SetName(std::string(name));
    if (scope == VarScope::kAutoDispose || scope == VarScope::kLocal) {
      item->scope_depth_ = depth_;
    }
    item->local_ = scope == VarScope::kLocal;
    item->status_ = scope == VarScope::kStatus;
    TouchLookup();
  } else if (item->status_) {
    return item;  // a status variable keeps its value
  }
  if (initial_value == nullptr) return item;
  initial_value->Evaluate(*this);
  const TCustomParam* value = initial_value->result();
  if (value == nullptr) return item;
  TCustomParam& target = item->value();
  switch (type) {
    case PT_INT: target.SetAsInt(value->GetAsInt()); break;
    case PT_FLOAT: target.SetAsFloat(value->GetAsFloat()); break;
    case PT_BOOL: target.SetAsBool(value->GetAsBool()); break;
    case PT_STR: target.SetAsStr(value->GetAsStr()); break;
    case PT_NONE: break;
  }
  return item;
}

void TParamCollection::Delete(std::string_view name) {
  TParamCollectionItem* item = Find(name);
  if (item != nullptr && !item->is_system() && !item->is_temporary()) Free(item);
}

void TParamCollection::DeleteScope(int32_t depth) {
  if (depth < 0) return;  // -1 marks variables bound to no call depth
  FreeIf([depth](const TParamCollectionItem& item) {
    return !item.is_system() && !item.is_temporary() && item.scope_depth_ == depth;
  });
}

void TParamCollection::LowerScopesDeeperThan(int32_t depth) {
  for (const auto& item : items_) {
    if (item->scope_depth_ > depth && item->scope_depth_ >= 0) --item->scope_depth_;
  }
  TouchLookup();
}

std::unique_ptr<TCustomParam> TParamCollection::CopyValue(std::string_view name) const {
  TParamCollectionItem* item = Find(name);
  if (item == nullptr) return nullptr;
  const TCustomParam& value = item->value();
  const ParamType type = value.GetParamType();
  if (!IsValueTypeCode(type)) throw NovuError(FormatOne(Jp("%s:不正な変数です"), name));
  if (!value.IsReference()) {
    if (auto copy = value.Clone()) return copy;
  }
  // A reference gives the element it addresses; a system variable its current value.
  std::unique_ptr<TCustomParam> copy = MakeParam(type);
  if (value.IsReference()) {
    switch (type) {
      case PT_INT: copy->SetAsInt(value.GetAsInt()); break;
      case PT_FLOAT: copy->SetAsFloat(value.GetAsFloat()); break;
      case PT_BOOL: copy->SetAsBool(value.GetAsBool()); break;
      default: copy->SetAsStr(value.GetAsStr()); break;
    }
  } else {
    copy->AssignConverted(value);
  }
  return copy;
}

void TParamCollection::Reset() {
  FreeIf([](const TParamCollectionItem& item) {
    return !item.is_system() && !item.status_ && !item.is_temporary();
  });
  text_delay_ = 50;
  cursor_.clear();
}

// ---- save data ----

void TParamCollection::WriteItemRecord(BinaryWriter& out, const TParamCollectionItem& item) const {
  out.String(item.name_);
  item.value_->SaveToStream(out);
  out.U8(item.status_ ? 1 : 0);
  out.U8(item.reserved_);
  out.I32(item.scope_depth_);
  out.U8(item.local_ ? 1 : 0);
}

void TParamCollection::WriteEntries(BinaryWriter& out, bool status) const {
  std::vector<const TParamCollectionItem*> pending;
  for (const auto& item : items_) {
    if (!item->is_system() && !item->is_temporary() && item->status_ == status) {
      pending.push_back(item.get());
    }
  }
  // A reference is written after the variable it refers to; one whose target is never
  // written is left out.
  std::vector<const TParamCollectionItem*> order;
  bool progress = true;
  while (!pending.empty() && progress) {
    progress = false;
    for (auto it = pending.begin(); it != pending.end();) {
      const TParamCollectionItem* item = *it;
      bool ready = true;
      if (item->value_->IsReference()) {
        const TParamCollectionItem* target =
            static_cast<const TParamVar&>(*item->value_).target();
        ready = target != nullptr &&
                std::find(order.begin(), order.end(), target) != order.end();
      }
      if (ready) {
        order.push_back(item);
        it = pending.erase(it);
        progress = true;
      } else {
        ++it;
      }
    }
  }
  out.I32(static_cast<int32_t>(order.size()));
  for (const TParamCollectionItem* item : order) {
    out.U8(TypeCodeOf(*item->value_));
    WriteItemRecord(out, *item);
  }
}

void TParamCollection::ReadEntries(BinaryReader& in, bool status) {
  (void)status;
  const size_t count = in.Count(kMinVariableEntryBytes);
  for (size_t i = 0; i < count; ++i) {
    TParamCollectionItem* item = Add(in.U8());
    try {
      std::string name = in.String();
      item->value_->LoadFromStream(in);
      item->status_ = in.U8() != 0;
      item->reserved_ = in.U8();
      item->scope_depth_ = in.I32();
      item->local_ = in.U8() != 0;
      if (name.empty()) {
        Free(item);  // an unnamed item is dropped
        continue;
      }
      item->SetName(std::move(name));
      if (item->value_->IsReference()) static_cast<TParamVar&>(*item->value_).RebindLoaded(*this);
    } catch (...) {
      Free(item);
      throw;
    }
  }
  TouchLookup();
}

void TParamCollection::SaveToStream(BinaryWriter& out) const {
  WriteEntries(out, false);
  out.I32(text_delay_);
  out.String(cursor_);
  out.String(sel_str_);
  out.I32(sel_index_);
  out.String(assign_temp_name_);
  out.I32(static_cast<int32_t>(var_stack_.size()));
  for (const std::string& entry : var_stack_) out.Bytes(entry);
}

void TParamCollection::LoadFromStream(BinaryReader& in, int32_t version) {
  {
    // Read everything once into a scratch table first, so a damaged block fails before the
    // current variables are touched.
    BinaryReader probe = in;
    TParamCollection scratch;
    scratch.LoadBlock(probe, version);
  }
  LoadBlock(in, version);
}

void TParamCollection::LoadBlock(BinaryReader& in, int32_t version) {
  FreeIf([](const TParamCollectionItem& item) {
    return !item.is_system() && !item.status_ && !item.is_temporary();
  });
  ReadEntries(in, false);
  text_delay_ = in.I32();
  cursor_ = in.String();
  if (version > 102) {
    sel_str_ = in.String();
    sel_index_ = in.I32();
  }
  if (version > 112 && version < 135) {
    for (int32_t& limit : legacy_history_limits_) limit = in.I32();
  }
  if (version > 120) assign_temp_name_ = in.String();
  var_stack_.clear();
  if (version >= 139) {
    const size_t count = in.Count(4, kMaxVarStackEntries);
    for (size_t i = 0; i < count; ++i) var_stack_.push_back(ReadVarStackEntry(in));
  }
}

void TParamCollection::SaveStatusToStream(BinaryWriter& out) const { WriteEntries(out, true); }

void TParamCollection::LoadStatusFromStream(BinaryReader& in) {
  {
    BinaryReader probe = in;
    TParamCollection scratch;
    scratch.ReadEntries(probe, true);
  }
  ReadEntries(in, true);
}

// ---- variable stack ----

namespace {

// Whether a variable-stack item holds a system variable's record (only a dimension list).
bool IsSystemRecordName(std::string_view name) { return SystemVariableIndex(name) >= 0; }

void SkipValueRecord(BinaryReader& in, int32_t type, std::string_view name) {
  if (IsSystemRecordName(name)) {
    TCustomParam dims_only;
    dims_only.LoadFromStream(in);
    return;
  }
  if (!IsValueTypeCode(type)) ThrowCorrupt("variable type " + std::to_string(type));
  MakeParam(static_cast<uint8_t>(type))->LoadFromStream(in);
}

}  // namespace

void TParamCollection::PushVars(std::span<const std::string> names) {
  BinaryWriter body;
  int32_t count = 0;
  for (const std::string& name : names) {
    TParamCollectionItem* item = Find(name);
    if (item == nullptr || TypeCodeOf(*item->value_) == PT_NONE) continue;
    body.I32(item->value_->GetParamType());
    body.String(name);
    if (IsSystemRecordName(name)) {
      body.I32(0);
    } else {
      item->value_->SaveToStream(body);
    }
    ++count;
  }
  BinaryWriter entry;
  entry.I32(count);
  entry.Bytes(body.bytes());
  var_stack_.push_back(entry.TakeString());
}

void TParamCollection::PopVars() {
  if (var_stack_.empty()) return;
  const std::string entry = std::move(var_stack_.back());
  var_stack_.pop_back();
  BinaryReader in(entry);
  const size_t count = in.Count(kMinStackItemBytes);
  for (size_t i = 0; i < count; ++i) {
    const int32_t type = in.I32();
    std::string name = in.String();
    if (IsSystemRecordName(name)) {
      SkipValueRecord(in, type, name);
      continue;
    }
    if (!IsValueTypeCode(type)) ThrowCorrupt("variable type " + std::to_string(type));
    TParamCollectionItem* item = Find(name);
    if (item != nullptr && TypeCodeOf(*item->value_) != type) {
      // The variable changes class: it gets a new value and moves to the end of the table,
      // as if freed and created again, but keeps its identity so nothing bound to it dangles.
      item->value_ = MakeParam(static_cast<uint8_t>(type));
      auto at = items_.begin() + item->index_;
      std::unique_ptr<TParamCollectionItem> owned = std::move(*at);
      items_.erase(at);
      items_.push_back(std::move(owned));
      for (size_t j = 0; j < items_.size(); ++j) items_[j]->index_ = static_cast<int32_t>(j);
      ++removal_epoch_;
      TouchLookup();
    } else if (item == nullptr) {
      item = Add(static_cast<uint8_t>(type));
      item->SetName(std::move(name));
    }
    item->value_->LoadFromStream(in);
  }
}

std::string TParamCollection::ReadVarStackEntry(BinaryReader& in) const {
  const size_t start = in.position();
  const size_t count = in.Count(kMinStackItemBytes);
  for (size_t i = 0; i < count; ++i) {
    const int32_t type = in.I32();
    std::string name = in.String();
    SkipValueRecord(in, type, name);
  }
  const auto bytes = in.data().subspan(start, in.position() - start);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace novu
