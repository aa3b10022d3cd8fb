#pragma once
// TDBTable: a named data table of typed, fixed-size fields and records, with one current
// record. Records are blocks of RecordSize bytes kept one after another; a new record is all
// zero bytes (0, 0.0, false and the empty string). Scripts reach tables through the data-table
// functions; games keep them in saves (and status tables in the status data).
//
// No operation raises an error for a script's mistake: an unknown field, an index out of range
// or a limit of db_field_list.h reached gives false (or -1) and leaves the table unchanged.
// Only reading damaged save data raises NovuError.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "expr/db_field_list.h"
#include "expr/db_field_value.h"

namespace novu {

class BinaryReader;
class BinaryWriter;
class TCustomParam;

// The keys of a search: field names and the values they must hold, element by element. The
// values' type decides how fields are compared: integers, floats and flags by equality, strings
// exactly, ignoring case, or (partial) by the field's text occurring within the key's text.
// Without names or values every record matches.
struct DBKeys {
  const TCustomParam* names = nullptr;
  const TCustomParam* values = nullptr;
  bool ignore_case = false;
  bool partial = false;
};

class TDBTable {
 public:
  // The class code written before each table in saves.
  static constexpr uint8_t kTableKind = 0;

  TDBTable(std::string name, bool status) : name_(std::move(name)), status_(status) {}

  const std::string& name() const { return name_; }
  bool status() const { return status_; }
  const TDBFieldList& fields() const { return fields_; }
  int32_t GetRecordCount() const { return count_; }
  // The current record index; -1 when there is none.
  int32_t GetRecNo() const { return current_; }
  std::span<const uint8_t> GetRecord(int32_t index) const;

  // Appends a field (a string of `capacity` bytes, clamped into 0..kDBMaxStringCapacity) and
  // zeroes it in every record; its index, or -1 for a type other than 1 to 4 or a table that
  // would outgrow its limits.
  int32_t AddField(std::string_view name, int32_t type, int32_t capacity);
  // A zeroed record at the end, made current; false only at the table's limits.
  bool AppendRecord();
  // As AppendRecord, with the bytes of a record of a table with the same fields.
  bool AppendRecordBytes(std::span<const uint8_t> record);
  // Deletes the current record; the next one (or the new last one) becomes current.
  bool DeleteRecord();

  bool First();
  bool Last();
  bool Next();
  bool Prior();
  // An index at or after the end is refused; a negative one leaves no current record.
  bool SetRecNo(int32_t index);

  // Field `field` of record `record`, converted; none when either index is out of range.
  template <typename T>
  std::optional<T> Get(int32_t record, int32_t field) const {
    if (!Valid(record, field)) return std::nullopt;
    return DBFieldAs<T>(fields_.Field(field), At(record, field));
  }
  // Writes `value` converted into the field; false when either index is out of range.
  bool SetInt(int32_t record, int32_t field, int32_t value) { return Store(record, field, value); }
  bool SetFloat(int32_t record, int32_t field, long double value) {
    return Store(record, field, value);
  }
  bool SetBool(int32_t record, int32_t field, bool value) { return Store(record, field, value); }
  bool SetStr(int32_t record, int32_t field, std::string_view value) {
    return Store(record, field, value);
  }
  // Get on the current record, the field found by name (ignoring case).
  template <typename T>
  std::optional<T> GetByName(std::string_view field) const {
    return Get<T>(current_, fields_.IndexOfField(field));
  }
  // A write into the named field of the current record (the value's type picks the setter).
  template <typename T>
  bool SetByName(std::string_view field, const T& value) {
    return Store(current_, fields_.IndexOfField(field), value);
  }

  // The indexes of the records matching every key, in ascending order. A key name that is not
  // a field matches nothing.
  std::vector<int32_t> Find(const DBKeys& keys) const;
  // Orders the records by the fields named in `names`, each ascending or (when the element of
  // `descending` at its position is true) descending; names that are not fields are skipped.
  // Records whose keys compare equal keep their order. The current index keeps its number.
  void Sort(const TCustomParam& names, const TCustomParam& descending);

  // Replaces the fields and records by those of tab-separated text (see db_tsv.h); each record
  // is made current as it is added. False, and the table left as it was, when there are no
  // lines, the header declares a field without a name or no field, or the data outgrows the
  // table's limits.
  bool LoadFromTsv(std::span<const std::string> lines);

  // Removes every field and record.
  void ClearAll();
  // Removes every record, keeping the fields.
  void ClearRecords();
  // Replaces the fields by copies of `other`'s and removes every record.
  void AssignFields(const TDBFieldList& other);

  // Name, status flag, fields, records as raw bytes, current index.
  void SaveToStream(BinaryWriter& out) const;
  // The record SaveToStream writes. Every field size must match its type, the records must fit
  // the bytes left and the limits; the current index is clamped to -1..count-1. Raises
  // NovuError on damaged data.
  static std::unique_ptr<TDBTable> LoadFromStream(BinaryReader& in);

 private:
  // The setter of the value's own type; text of any kind goes in as a string.
  template <typename T>
  bool Store(int32_t record, int32_t field, const T& value) {
    if (!Valid(record, field)) return false;
    const TDBField& f = fields_.Field(field);
    uint8_t* at = MutableAt(record, field);
    if constexpr (std::is_same_v<T, bool>) {
      DBStoreBool(f, at, value);
    } else if constexpr (std::is_same_v<T, int32_t>) {
      DBStoreInt(f, at, value);
    } else if constexpr (std::is_same_v<T, long double>) {
      DBStoreFloat(f, at, value);
    } else {
      DBStoreStr(f, at, std::string_view(value));
    }
    return true;
  }
  bool Valid(int32_t record, int32_t field) const {
    return record >= 0 && record < count_ && field >= 0 && field < fields_.Count();
  }
  const uint8_t* At(int32_t record, int32_t field) const {
    return records_.data() + static_cast<size_t>(record) * RecordSize() +
           static_cast<size_t>(fields_.Offset(field));
  }
  uint8_t* MutableAt(int32_t record, int32_t field) {
    return records_.data() + static_cast<size_t>(record) * RecordSize() +
           static_cast<size_t>(fields_.Offset(field));
  }
  size_t RecordSize() const { return static_cast<size_t>(fields_.RecordSize()); }
  // True when `records` records of `record_size` bytes keep the limits.
  static bool Fits(int64_t records, int64_t record_size);

  std::string name_;
  bool status_ = false;
  TDBFieldList fields_;
  // count_ records of RecordSize bytes each, in table order.
  std::vector<uint8_t> records_;
  int32_t count_ = 0;
  int32_t current_ = -1;
};

}  // namespace novu
