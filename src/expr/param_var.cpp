#include "expr/param_var.h"

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "expr/param_collection.h"
#include "platform/error.h"

namespace novu {

void TParamVar::BindName(TParamCollection& table, TParamCollectionItem& item) {
  Bind(table, item, 0);
  whole_ = !item.value().IsReference();
}

TCustomParam* TParamVar::WholeSystemValue() const {
  if (!whole_) return nullptr;
  TCustomParam* v = Value();
  return v != nullptr && v->IsSystem() ? v : nullptr;
}

void TParamVar::Bind(TParamCollection& table, TParamCollectionItem& item, int32_t index) {
  whole_ = false;
  table_ = &table;
  removal_epoch_ = table.removal_epoch();
  if (item.value().IsReference()) {
    const auto& inner = static_cast<const TParamVar&>(item.value());
    item_ = inner.target();
    item_serial_ = item_ ? item_->serial() : 0;
    index_ = inner.index_;
    return;
  }
  item_ = &item;
  item_serial_ = item.serial();
  index_ = index;
}

bool TParamVar::TryResolve(TParamCollection& table) {
  TParamCollectionItem* item = table.Find(name_);
  if (item == nullptr) {
    item_ = nullptr;
    return false;
  }
  BindName(table, *item);
  return true;
}

void TParamVar::Resolve(TParamCollection& table) {
  if (!TryResolve(table)) {
    throw NovuError(FormatOne(Jp("\"%s\" 変数がありません"), name_));
  }
}

TParamCollectionItem* TParamVar::target() const {
  if (item_ == nullptr) return nullptr;
  if (table_->removal_epoch() != removal_epoch_) {
    // Only a live item is looked at, and only the one bound (not a newer one at its address).
    if (!table_->Contains(item_) || item_->serial() != item_serial_) return nullptr;
    removal_epoch_ = table_->removal_epoch();
  }
  return item_;
}

TCustomParam* TParamVar::Value() const {
  TParamCollectionItem* item = target();
  return item == nullptr ? nullptr : &item->value();
}

int32_t TParamVar::GetCount() const {
  TCustomParam* v = Value();
  return v ? v->GetCount() : 0;
}
void TParamVar::SetCount(int32_t count) {
  if (TCustomParam* v = Value()) v->SetCount(count);
}
ParamType TParamVar::GetParamType() const {
  TCustomParam* v = Value();
  return v ? v->GetParamType() : PT_NONE;
}

bool TParamVar::GetAsBool() const {
  if (TCustomParam* s = WholeSystemValue()) return s->GetAsBool();
  return GetBoolAt(index_);
}
long double TParamVar::GetAsFloat() const {
  if (TCustomParam* s = WholeSystemValue()) return s->GetAsFloat();
  return GetFloatAt(index_);
}
int32_t TParamVar::GetAsInt() const {
  if (TCustomParam* s = WholeSystemValue()) return s->GetAsInt();
  return GetIntAt(index_);
}
std::string TParamVar::GetAsStr() const {
  if (TCustomParam* s = WholeSystemValue()) return s->GetAsStr();
  return GetStrAt(index_);
}
void TParamVar::SetAsBool(bool v) {
  if (TCustomParam* s = WholeSystemValue()) {
    s->SetAsBool(v);
    return;
  }
  SetBoolAt(index_, v);
}
void TParamVar::SetAsFloat(long double v) {
  if (TCustomParam* s = WholeSystemValue()) {
    s->SetAsFloat(v);
    return;
  }
  SetFloatAt(index_, v);
}
void TParamVar::SetAsInt(int32_t v) {
  if (TCustomParam* s = WholeSystemValue()) {
    s->SetAsInt(v);
    return;
  }
  SetIntAt(index_, v);
}
void TParamVar::SetAsStr(std::string_view v) {
  if (TCustomParam* s = WholeSystemValue()) {
    s->SetAsStr(v);
    return;
  }
  SetStrAt(index_, v);
}

int32_t TParamVar::GetIntAt(int32_t i) const {
  TCustomParam* v = Value();
  return v ? v->GetIntAt(i) : 0;
}
void TParamVar::SetIntAt(int32_t i, int32_t value) {
  if (TCustomParam* v = Value()) v->SetIntAt(i, value);
}
long double TParamVar::GetFloatAt(int32_t i) const {
  TCustomParam* v = Value();
  return v ? v->GetFloatAt(i) : 0;
}
void TParamVar::SetFloatAt(int32_t i, long double value) {
  if (TCustomParam* v = Value()) v->SetFloatAt(i, value);
}
bool TParamVar::GetBoolAt(int32_t i) const {
  TCustomParam* v = Value();
  return v ? v->GetBoolAt(i) : false;
}
void TParamVar::SetBoolAt(int32_t i, bool value) {
  if (TCustomParam* v = Value()) v->SetBoolAt(i, value);
}
std::string TParamVar::GetStrAt(int32_t i) const {
  TCustomParam* v = Value();
  return v ? v->GetStrAt(i) : std::string();
}
void TParamVar::SetStrAt(int32_t i, std::string_view value) {
  if (TCustomParam* v = Value()) v->SetStrAt(i, value);
}

int32_t TParamVar::GetDimCount() const {
  TCustomParam* v = Value();
  return v ? v->GetDimCount() : 1;
}
int32_t TParamVar::GetDimSize(int32_t dim) const {
  TCustomParam* v = Value();
  return v ? v->GetDimSize(dim) : 1;
}
void TParamVar::CopyData(const TCustomParam& src) {
  if (TCustomParam* v = Value()) v->CopyData(src);
}
void TParamVar::SetDims(std::span<const int32_t> sizes) {
  if (TCustomParam* v = Value()) v->SetDims(sizes);
}
void TParamVar::FillInt(int32_t value) {
  if (TCustomParam* v = Value()) v->FillInt(value);
}
void TParamVar::FillFloat(long double value) {
  if (TCustomParam* v = Value()) v->FillFloat(value);
}
void TParamVar::FillBool(bool value) {
  if (TCustomParam* v = Value()) v->FillBool(value);
}
void TParamVar::FillStr(std::string_view value) {
  if (TCustomParam* v = Value()) v->FillStr(value);
}
void TParamVar::CopyFrom(const TCustomParam& src) {
  if (TCustomParam* v = Value()) v->CopyFrom(src);
}
void TParamVar::ResetToScalar() {
  if (TCustomParam* v = Value()) v->ResetToScalar();
}
int32_t TParamVar::IndexOfStr(std::string_view text, bool case_sensitive, bool partial) const {
  TCustomParam* v = Value();
  return v ? v->IndexOfStr(text, case_sensitive, partial) : -1;
}
const TCustomParam* TParamVar::Deref() const {
  TCustomParam* v = Value();
  return v ? v->Deref() : this;
}

std::unique_ptr<TCustomParam> TParamVar::Clone() const {
  auto copy = std::make_unique<TParamVar>(name_);
  copy->flag_ = flag_;
  copy->index_ = index_;
  copy->whole_ = whole_;
  copy->item_ = item_;
  copy->item_serial_ = item_serial_;
  copy->table_ = table_;
  copy->removal_epoch_ = removal_epoch_;
  return copy;
}

void TParamVar::SaveToStream(BinaryWriter& out) const {
  SaveDims(out);
  out.String(name_);
  TParamCollectionItem* item = target();
  out.String(item ? std::string_view(item->name()) : std::string_view());
  out.U8(flag_);
  out.I32(index_);
}

void TParamVar::LoadFromStream(BinaryReader& in) {
  dims_ = LoadDims(in);
  name_ = in.String();
  loaded_target_name_ = in.String();
  flag_ = in.U8();
  index_ = in.I32();
  item_ = nullptr;
}

void TParamVar::RebindLoaded(TParamCollection& table) {
  table_ = &table;
  removal_epoch_ = table.removal_epoch();
  item_ = loaded_target_name_.empty() ? nullptr : table.Find(loaded_target_name_);
  item_serial_ = item_ ? item_->serial() : 0;
}

}  // namespace novu
