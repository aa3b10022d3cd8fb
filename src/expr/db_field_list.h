#pragma once
// The fields of a data table: each has a name, a type code (PT_INT, PT_FLOAT, PT_BOOL or
// PT_STR) and a fixed byte size in every record (4, 10, 1, or capacity + 1 for a string).
// A field's offset in a record is the sum of the sizes of the fields before it; there is no
// padding.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "expr/param_type.h"

namespace novu {

class BinaryReader;
class BinaryWriter;

// The limits a table keeps, whatever a script, a data file or a save asks for: string
// capacities are clamped into 0..kDBMaxStringCapacity; a table has at most kDBMaxFieldCount
// fields whose sizes add up to at most kDBMaxRecordSize bytes, and at most kDBMaxRecordCount
// records holding at most kDBMaxTableBytes bytes in all.
inline constexpr int32_t kDBMaxStringCapacity = 65535;
inline constexpr int32_t kDBMaxFieldCount = 4096;
inline constexpr int32_t kDBMaxRecordSize = 1 << 20;
inline constexpr int32_t kDBMaxRecordCount = 1 << 20;
inline constexpr int64_t kDBMaxTableBytes = int64_t{1} << 28;

// The string capacity used: negative capacities are 0, large ones kDBMaxStringCapacity.
int32_t ClampDBCapacity(int64_t capacity);
// The byte size of a field of `type` (capacity ignored but for PT_STR); none for a type
// code other than 1 to 4.
std::optional<int32_t> DBFieldSize(int32_t type, int32_t capacity);

struct TDBField {
  int32_t size = 0;
  std::string name;
  ParamType type = PT_INT;
  // The most text bytes a string field keeps (0 for the other types).
  int32_t capacity() const { return type == PT_STR ? size - 1 : 0; }
};

class TDBFieldList {
 public:
  int32_t Count() const { return static_cast<int32_t>(fields_.size()); }
  const TDBField& Field(int32_t index) const { return fields_[static_cast<size_t>(index)]; }
  int32_t Offset(int32_t index) const { return offsets_[static_cast<size_t>(index)]; }
  // The sum of all field sizes.
  int32_t RecordSize() const { return record_size_; }

  // The first field whose name equals `name` ignoring case; -1 when there is none.
  int32_t IndexOfField(std::string_view name) const;
  // Same count and, position by position, the same name (case-sensitive), type and size.
  bool SameFields(const TDBFieldList& other) const;

  // Appends a field whose size has been checked (the table grows its records first).
  void Append(TDBField field);
  void Clear();

  // Count, then each field: i32 byte size, name, type code byte.
  void SaveToStream(BinaryWriter& out) const;
  // Every size must match its type (int 4, float 10, bool 1, string 1 to capacity + 1) and the
  // list must keep the limits above; damaged data raises NovuError.
  static TDBFieldList LoadFromStream(BinaryReader& in);

 private:
  std::vector<TDBField> fields_;
  std::vector<int32_t> offsets_;
  int32_t record_size_ = 0;
};

}  // namespace novu
