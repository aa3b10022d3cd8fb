#include "expr/param_collection.h"

#include <algorithm>
#include <atomic>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "core/cp932.h"
#include "expr/novu_parser.h"
#include "expr/param_system.h"
#include "expr/param_var.h"
#include "expr/system_function.h"
#include "expr/system_variable_host.h"
#include "platform/error.h"

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

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

[[noreturn]] void ThrowCorrupt(const std::string& what) {
  throw NovuError(Jp("データが壊れています") + " (" + what + ")");
}

uint8_t TypeCodeOf(const TCustomParam& value) {
  return value.IsReference() ? uint8_t{PT_NONE} : static_cast<uint8_t>(value.GetParamType());
}

bool IsValueTypeCode(int32_t code) {
  return code >= PT_INT && code <= PT_STR;
}

// A reused temporary starts like a new one: a scalar at the zero value, or unbound.
void ResetToZero(TCustomParam& value) {
  if (value.IsReference()) {
    static_cast<TParamVar&>(value).Clear();
    return;
  }
  switch (value.GetParamType()) {
    case PT_INT:
      value.SetAsInt(0);
      break;
    case PT_FLOAT:
      value.SetAsFloat(0);
      break;
    case PT_BOOL:
      value.SetAsBool(false);
      break;
    default:
      value.SetAsStr({});
      break;
  }
}

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

TParamCollectionItem::TParamCollectionItem(std::string name, std::unique_ptr<TCustomParam> value)
    : THashCollectionItem(std::move(name)), value_(std::move(value)), serial_(NextEpoch()) {}

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
    AddItem(std::make_unique<TParamSystem>(*this, which), std::string(InfoOf(which).name), 0);
  }
}

TParamCollection::~TParamCollection() {
  // Items go before the members the system variables read.
  Clear();
}

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

void TParamCollection::TouchLookup() {
  lookup_epoch_ = NextEpoch();
}

void TParamCollection::Linked(THashCollectionItem& item) {
  if (!static_cast<TParamCollectionItem&>(item).is_temporary()) TouchLookup();
}

void TParamCollection::Unlinking(THashCollectionItem& item) {
  if (!static_cast<TParamCollectionItem&>(item).is_temporary()) TouchLookup();
}

bool TParamCollection::IsVisible(const TParamCollectionItem& item) const {
  return item.eval_level_ == 0 || item.eval_level_ == eval_level_;
}

TParamCollectionItem* TParamCollection::Find(std::string_view name) const {
  TParamCollectionItem* oldest = nullptr;
  for (auto* head = BucketHead(NameHash(name)); head; head = head->NextInBucket()) {
    auto* it = static_cast<TParamCollectionItem*>(head);
    if (!cp932::EqualsNoCase(it->Name(), name) || !IsVisible(*it)) continue;
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
  for (auto* head = BucketHead(NameHash(name)); head; head = head->NextInBucket()) {
    auto* it = static_cast<TParamCollectionItem*>(head);
    if (!cp932::EqualsNoCase(it->Name(), name) || !IsVisible(*it)) continue;
    if (local) {
      if (it->local_ && it->scope_depth_ == depth_) return it;
    } else if (!it->local_) {
      found = it;
    }
  }
  return found;
}

int TParamCollection::IndexOf(std::string_view name) const {
  const TParamCollectionItem* item = Find(name);
  return item ? item->index() : -1;
}

bool TParamCollection::Contains(const TParamCollectionItem* item) const {
  for (int i = Count(); i-- > 0;) {
    if (&Item(i) == item) return true;
  }
  return false;
}

TParamCollectionItem* TParamCollection::AddItem(std::unique_ptr<TCustomParam> value,
                                                std::string name, int32_t eval_level) {
  auto item = std::make_unique<TParamCollectionItem>(std::move(name), std::move(value));
  item->eval_level_ = eval_level;
  return &Adopt(std::move(item));
}

TParamCollectionItem* TParamCollection::Add(uint8_t type_code) {
  std::unique_ptr<TCustomParam> value = MakeParam(type_code);
  if (!value) ThrowCorrupt("variable type " + std::to_string(type_code));
  return AddItem(std::move(value), std::string(), 0);
}

TParamCollectionItem* TParamCollection::AddTemporary(uint8_t type_code, std::string_view name,
                                                     std::unique_ptr<THashCollectionItem> spare) {
  return &static_cast<TParamCollectionItem&>(
      Adopt(MakeTemporary(type_code, name, std::move(spare))));
}

std::unique_ptr<THashCollectionItem> TParamCollection::MakeTemporary(
    uint8_t type_code, std::string_view name, std::unique_ptr<THashCollectionItem> spare) {
  if (spare) {
    auto* item = static_cast<TParamCollectionItem*>(spare.get());
    if (item->Name() == name && TypeCodeOf(*item->value_) == (type_code & 0x7F)) {
      ResetToZero(*item->value_);
      item->eval_level_ = eval_level_;
      item->status_ = item->local_ = false;
      item->scope_depth_ = -1;
      return spare;
    }
  }
  std::unique_ptr<TCustomParam> value = MakeParam(type_code);
  if (!value) ThrowCorrupt("variable type " + std::to_string(type_code));
  auto item = std::make_unique<TParamCollectionItem>(std::string(name), std::move(value));
  item->eval_level_ = eval_level_;
  return item;
}

void TParamCollection::FreeTemporary(TParamCollectionItem* item) {
  Free(item);
}

std::unique_ptr<THashCollectionItem> TParamCollection::ExtractTemporary(
    TParamCollectionItem* item) {
  std::unique_ptr<THashCollectionItem> owned = Extract(item->index());
  ++removal_epoch_;
  return owned;
}

void TParamCollection::Free(TParamCollectionItem* item) {
  THashCollection::Delete(item->index());
  ++removal_epoch_;
}

void TParamCollection::FreeIf(const auto& predicate) {
  bool freed = false;
  for (int i = Count(); i-- > 0;) {
    if (predicate(Var(i))) {
      THashCollection::Delete(i);
      freed = true;
    }
  }
  if (freed) ++removal_epoch_;
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
    case PT_INT:
      target.SetAsInt(value->GetAsInt());
      break;
    case PT_FLOAT:
      target.SetAsFloat(value->GetAsFloat());
      break;
    case PT_BOOL:
      target.SetAsBool(value->GetAsBool());
      break;
    case PT_STR:
      target.SetAsStr(value->GetAsStr());
      break;
    case PT_NONE:
      break;
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
  for (int i = 0; i < Count(); ++i) {
    TParamCollectionItem& item = Var(i);
    if (item.scope_depth_ > depth && item.scope_depth_ >= 0) --item.scope_depth_;
  }
  TouchLookup();
}

std::unique_ptr<TCustomParam> TParamCollection::CopyValue(std::string_view name) const {
  TParamCollectionItem* item = Find(name);
  if (item == nullptr) return nullptr;
  return CopyValue(*item);
}

std::unique_ptr<TCustomParam> TParamCollection::CopyValue(const TParamCollectionItem& item) const {
  const std::string_view name = item.name();
  const TCustomParam& value = item.value();
  const ParamType type = value.GetParamType();
  if (!IsValueTypeCode(type)) throw NovuError(FormatOne(Jp("%s:不正な変数です"), name));
  if (!value.IsReference()) {
    if (auto copy = value.Clone()) return copy;
  }
  // A reference gives the element it addresses; a system variable its current value.
  std::unique_ptr<TCustomParam> copy = MakeParam(type);
  if (value.IsReference()) {
    switch (type) {
      case PT_INT:
        copy->SetAsInt(value.GetAsInt());
        break;
      case PT_FLOAT:
        copy->SetAsFloat(value.GetAsFloat());
        break;
      case PT_BOOL:
        copy->SetAsBool(value.GetAsBool());
        break;
      default:
        copy->SetAsStr(value.GetAsStr());
        break;
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
  out.String(item.Name());
  item.value_->SaveToStream(out);
  out.U8(item.status_ ? 1 : 0);
  out.U8(item.reserved_);
  out.I32(item.scope_depth_);
  out.U8(item.local_ ? 1 : 0);
}

void TParamCollection::WriteEntries(BinaryWriter& out, bool status) const {
  std::vector<const TParamCollectionItem*> pending;
  for (int i = 0; i < Count(); ++i) {
    const TParamCollectionItem& item = Var(i);
    if (!item.is_system() && !item.is_temporary() && item.status_ == status) {
      pending.push_back(&item);
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
        const TParamCollectionItem* target = static_cast<const TParamVar&>(*item->value_).target();
        ready = target != nullptr && std::find(order.begin(), order.end(), target) != order.end();
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

void TParamCollection::ReadEntries(BinaryReader& in) {
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

void TParamCollection::ProbeFromStream(BinaryReader& in, int32_t version) const {
  TParamCollection scratch;
  scratch.LoadBlock(in, version);
}

void TParamCollection::LoadBlock(BinaryReader& in, int32_t version) {
  FreeIf([](const TParamCollectionItem& item) {
    return !item.is_system() && !item.status_ && !item.is_temporary();
  });
  ReadEntries(in);
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

void TParamCollection::SaveStatusToStream(BinaryWriter& out) const {
  WriteEntries(out, true);
}

void TParamCollection::LoadStatusFromStream(BinaryReader& in) {
  {
    BinaryReader probe = in;
    TParamCollection scratch;
    scratch.ReadEntries(probe);
  }
  ReadEntries(in);
}

// ---- variable stack ----

namespace {

// Whether a variable-stack item holds a system variable's record (only a dimension list).
bool IsSystemRecordName(std::string_view name) {
  return SystemVariableIndex(name) >= 0;
}

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
      std::unique_ptr<THashCollectionItem> owned = Extract(item->index());
      item->value_ = MakeParam(static_cast<uint8_t>(type));
      Adopt(std::move(owned));
      ++removal_epoch_;
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
