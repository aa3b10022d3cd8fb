#include "expr/db_field_list.h"

#include <algorithm>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "core/cp932.h"
#include "platform/error.h"

namespace novu {
namespace {

[[noreturn]] void Damaged(const std::string& what) {
  throw NovuError(Jp("データが壊れています") + " (" + what + ")");
}

}  // namespace

int32_t ClampDBCapacity(int64_t capacity) {
  return static_cast<int32_t>(std::clamp<int64_t>(capacity, 0, kDBMaxStringCapacity));
}

std::optional<int32_t> DBFieldSize(int32_t type, int32_t capacity) {
  switch (type) {
    case PT_INT:
      return 4;
    case PT_FLOAT:
      return 10;
    case PT_BOOL:
      return 1;
    case PT_STR:
      return ClampDBCapacity(capacity) + 1;
    default:
      return std::nullopt;
  }
}

int32_t TDBFieldList::IndexOfField(std::string_view name) const {
  for (size_t i = 0; i < fields_.size(); ++i) {
    if (cp932::EqualsNoCase(fields_[i].name, name)) return static_cast<int32_t>(i);
  }
  return -1;
}

bool TDBFieldList::SameFields(const TDBFieldList& other) const {
  if (fields_.size() != other.fields_.size()) return false;
  for (size_t i = 0; i < fields_.size(); ++i) {
    const TDBField& a = fields_[i];
    const TDBField& b = other.fields_[i];
    if (a.name != b.name || a.type != b.type || a.size != b.size) return false;
  }
  return true;
}

void TDBFieldList::Append(TDBField field) {
  offsets_.push_back(record_size_);
  record_size_ += field.size;
  fields_.push_back(std::move(field));
}

void TDBFieldList::Clear() {
  fields_.clear();
  offsets_.clear();
  record_size_ = 0;
}

void TDBFieldList::SaveToStream(BinaryWriter& out) const {
  out.I32(Count());
  for (const TDBField& field : fields_) {
    out.I32(field.size);
    out.String(field.name);
    out.U8(field.type);
  }
}

TDBFieldList TDBFieldList::LoadFromStream(BinaryReader& in) {
  // Each field takes at least its size, an empty name and its type code: 9 bytes.
  const size_t count = in.Count(9, kDBMaxFieldCount);
  TDBFieldList list;
  for (size_t i = 0; i < count; ++i) {
    TDBField field;
    field.size = in.I32();
    field.name = in.String();
    const uint8_t type = in.U8();
    if (type < PT_INT || type > PT_STR) Damaged("field type " + std::to_string(type));
    field.type = static_cast<ParamType>(type);
    const bool size_ok = field.type == PT_STR
                             ? field.size >= 1 && field.size <= kDBMaxStringCapacity + 1
                             : field.size == *DBFieldSize(field.type, 0);
    if (!size_ok) {
      Damaged("field of type " + std::to_string(type) + " with " + std::to_string(field.size) +
              " bytes");
    }
    if (list.record_size_ > kDBMaxRecordSize - field.size) Damaged("record size");
    list.Append(std::move(field));
  }
  return list;
}

}  // namespace novu
