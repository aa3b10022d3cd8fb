#include "expr/db_table.h"

#include <algorithm>
#include <cmath>
#include <compare>
#include <cstring>
#include <numeric>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "core/cp932.h"
#include "expr/custom_param.h"
#include "expr/db_tsv.h"
#include "expr/function_text.h"
#include "platform/error.h"

namespace novu {
namespace {

// One search key: the field it reads and the value it must equal, in the values' type.
struct SearchKey {
  const TDBField* field = nullptr;
  size_t offset = 0;
  int32_t int_value = 0;
  long double float_value = 0;
  bool bool_value = false;
  std::string text;  // upper-cased for a partial search that ignores case
};

bool TextMatches(std::string_view field_text, const SearchKey& key, const DBKeys& keys) {
  if (!keys.partial) {
    return keys.ignore_case ? cp932::EqualsNoCase(field_text, key.text) : field_text == key.text;
  }
  if (field_text.empty()) return false;
  if (!keys.ignore_case) return text::FindAtCharStart(key.text, field_text) != std::string::npos;
  return text::FindAtCharStart(key.text, cp932::ToUpper(field_text)) != std::string::npos;
}

// The common searches, written out: an integer key on an integer field, and an exact
// case-sensitive text on a string field (whose text can be no longer than its capacity).
enum class Matcher : uint8_t { kIntOnInt, kExactText, kGeneral };

Matcher MatcherFor(const SearchKey& key, ParamType type, const DBKeys& keys) {
  if (type == PT_INT && key.field->type == PT_INT) return Matcher::kIntOnInt;
  if (type == PT_STR && key.field->type == PT_STR && !keys.partial && !keys.ignore_case) {
    return Matcher::kExactText;
  }
  return Matcher::kGeneral;
}

bool ExactTextMatches(const SearchKey& key, const uint8_t* at) {
  const size_t length = key.text.size();
  const auto capacity = static_cast<size_t>(key.field->capacity());
  if (length > capacity) return false;
  return std::memcmp(at, key.text.data(), length) == 0 && (length == capacity || at[length] == 0);
}

bool KeyMatches(const SearchKey& key, ParamType type, const DBKeys& keys, const uint8_t* record) {
  const uint8_t* at = record + key.offset;
  switch (type) {
    case PT_INT:
      return DBFieldAsInt(*key.field, at) == key.int_value;
    case PT_FLOAT:
      return DBFieldAsFloat(*key.field, at) == key.float_value;
    case PT_BOOL:
      return DBFieldAsBool(*key.field, at) == key.bool_value;
    default:
      if (key.field->type == PT_STR) return TextMatches(DBFieldText(*key.field, at), key, keys);
      return TextMatches(DBFieldAsStr(*key.field, at), key, keys);
  }
}

template <typename T>
int ThreeWay(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// Floats compare numerically; NaN sorts before every number so that the order stays total.
int CompareFloats(long double a, long double b) {
  const bool a_nan = std::isnan(a);
  const bool b_nan = std::isnan(b);
  if (a_nan || b_nan) return ThreeWay<int>(!a_nan, !b_nan);
  return ThreeWay(a, b);
}

// The first 16 bytes of a text as two big-endian numbers, zero-padded: comparing them compares
// the texts' beginnings byte by byte (a text holds no zero byte, so a shorter one that begins a
// longer one still comes first).
struct TextPrefix {
  uint64_t high = 0;
  uint64_t low = 0;
  auto operator<=>(const TextPrefix&) const = default;
};

TextPrefix PrefixOf(std::string_view text) {
  TextPrefix prefix;
  for (size_t i = 0; i < 16; ++i) {
    const uint64_t byte = i < text.size() ? static_cast<uint8_t>(text[i]) : 0;
    (i < 8 ? prefix.high : prefix.low) |= byte << (8 * (7 - i % 8));
  }
  return prefix;
}

// One sort key with every record's value of its field taken out once, so that comparing two
// records reads two array elements: integers and flags (0 < 1) as integers, floats, and the
// texts of string fields compared byte by byte, by their prefixes first.
struct SortColumn {
  ParamType type;
  bool descending;
  std::vector<int32_t> ints;
  std::vector<long double> floats;
  std::vector<TextPrefix> prefixes;
  std::vector<std::string_view> texts;

  int Compare(int32_t a, int32_t b) const {
    const auto i = static_cast<size_t>(a);
    const auto j = static_cast<size_t>(b);
    switch (type) {
      case PT_STR: {
        const auto order = prefixes[i] <=> prefixes[j];
        if (order != 0) return order < 0 ? -1 : 1;
        if (texts[i].size() <= 16 && texts[j].size() <= 16) return 0;
        return ThreeWay(texts[i].compare(texts[j]), 0);
      }
      case PT_FLOAT:
        return CompareFloats(floats[i], floats[j]);
      default:
        return ThreeWay(ints[i], ints[j]);
    }
  }
};

[[noreturn]] void Damaged(const std::string& what) {
  throw NovuError(Jp("データが壊れています") + " (" + what + ")");
}

// A record to sort with a number that orders it as its keys would, as far as it can tell: the
// first key's 32 bits (an integer or flag exactly, a text by its first four bytes, reversed for
// a descending key), then the second key's when the first was exact. Records whose numbers
// differ are ordered by them; equal numbers leave it to the keys.
struct SortEntry {
  uint64_t lead;
  int32_t record;
};

uint64_t LeadOf(const std::vector<SortColumn>& columns, int32_t record) {
  uint64_t lead = 0;
  int used = 0;
  for (const SortColumn& c : columns) {
    const auto r = static_cast<size_t>(record);
    uint32_t part = 0;
    bool exact = true;
    if (c.type == PT_STR) {
      part = static_cast<uint32_t>(c.prefixes[r].high >> 32);
      exact = false;
    } else if (c.type == PT_FLOAT) {
      break;
    } else {
      part = static_cast<uint32_t>(c.ints[r]) ^ 0x80000000u;
    }
    if (c.descending) part = ~part;
    lead |= uint64_t{part} << (used == 0 ? 32 : 0);
    if (!exact || ++used == 2) break;
  }
  return lead;
}

}  // namespace

bool TDBTable::Fits(int64_t records, int64_t record_size) {
  return records <= kDBMaxRecordCount && records * record_size <= kDBMaxTableBytes;
}

std::span<const uint8_t> TDBTable::GetRecord(int32_t index) const {
  if (index < 0 || index >= count_) return {};
  return {records_.data() + static_cast<size_t>(index) * RecordSize(), RecordSize()};
}

int32_t TDBTable::AddField(std::string_view name, int32_t type, int32_t capacity) {
  const std::optional<int32_t> size = DBFieldSize(type, capacity);
  if (!size) return -1;
  const int64_t new_size = int64_t{fields_.RecordSize()} + *size;
  if (fields_.Count() >= kDBMaxFieldCount || new_size > kDBMaxRecordSize ||
      !Fits(count_, new_size)) {
    return -1;
  }
  // Every record grows by the new field's bytes at its end, zeroed.
  const size_t old_size = RecordSize();
  std::vector<uint8_t> grown(static_cast<size_t>(count_) * static_cast<size_t>(new_size), 0);
  for (size_t r = 0; old_size > 0 && r < static_cast<size_t>(count_); ++r) {
    std::memcpy(grown.data() + r * static_cast<size_t>(new_size), records_.data() + r * old_size,
                old_size);
  }
  records_.swap(grown);
  fields_.Append({*size, std::string(name), static_cast<ParamType>(type)});
  return fields_.Count() - 1;
}

bool TDBTable::AppendRecord() {
  if (!Fits(int64_t{count_} + 1, fields_.RecordSize())) return false;
  records_.resize(records_.size() + RecordSize(), 0);
  current_ = count_++;
  return true;
}

bool TDBTable::AppendRecordBytes(std::span<const uint8_t> record) {
  if (record.size() != RecordSize()) return false;
  // The record may be one of this table's own: copy it before the storage moves.
  const std::vector<uint8_t> copy(record.begin(), record.end());
  if (!AppendRecord()) return false;
  if (!copy.empty()) {
    std::memcpy(records_.data() + static_cast<size_t>(current_) * RecordSize(), copy.data(),
                copy.size());
  }
  return true;
}

bool TDBTable::DeleteRecord() {
  if (current_ < 0 || current_ >= count_) return false;
  const auto begin = records_.begin() + static_cast<ptrdiff_t>(current_ * RecordSize());
  records_.erase(begin, begin + static_cast<ptrdiff_t>(RecordSize()));
  --count_;
  if (current_ >= count_) current_ = count_ - 1;
  return true;
}

bool TDBTable::SetRecNo(int32_t index) {
  if (index >= count_) return false;
  current_ = index < 0 ? -1 : index;
  return true;
}

bool TDBTable::First() {
  return count_ > 0 && SetRecNo(0);
}

bool TDBTable::Last() {
  return count_ > 0 && SetRecNo(count_ - 1);
}

bool TDBTable::Next() {
  if (current_ < 0 || current_ >= count_ - 1) return false;
  return SetRecNo(current_ + 1);
}

bool TDBTable::Prior() {
  if (current_ <= 0) return false;
  return SetRecNo(current_ - 1);
}

std::vector<int32_t> TDBTable::Find(const DBKeys& keys) const {
  std::vector<int32_t> found;
  if (keys.names == nullptr || keys.values == nullptr) {
    found.resize(static_cast<size_t>(count_));
    std::iota(found.begin(), found.end(), 0);
    return found;
  }
  const int32_t key_count = std::min(keys.names->GetCount(), keys.values->GetCount());
  const ParamType type = keys.values->GetParamType();
  std::vector<SearchKey> search;
  for (int32_t i = 0; i < key_count; ++i) {
    const int32_t index = fields_.IndexOfField(keys.names->GetStrAt(i));
    if (index < 0) return {};  // an unknown field: nothing matches
    SearchKey key;
    key.field = &fields_.Field(index);
    key.offset = static_cast<size_t>(fields_.Offset(index));
    switch (type) {
      case PT_INT:
        key.int_value = keys.values->GetIntAt(i);
        break;
      case PT_FLOAT:
        key.float_value = keys.values->GetFloatAt(i);
        break;
      case PT_BOOL:
        key.bool_value = keys.values->GetBoolAt(i);
        break;
      default:
        key.text = keys.values->GetStrAt(i);
        if (keys.partial && keys.ignore_case) key.text = cp932::ToUpper(key.text);
    }
    search.push_back(std::move(key));
  }
  std::vector<Matcher> matchers;
  for (const SearchKey& key : search) matchers.push_back(MatcherFor(key, type, keys));
  const size_t size = RecordSize();
  const uint8_t* record = records_.data();
  for (int32_t r = 0; r < count_; ++r, record += size) {
    bool all = true;
    for (size_t k = 0; k < search.size() && all; ++k) {
      const SearchKey& key = search[k];
      switch (matchers[k]) {
        case Matcher::kIntOnInt:
          all = DBLoadInt(record + key.offset) == key.int_value;
          break;
        case Matcher::kExactText:
          all = ExactTextMatches(key, record + key.offset);
          break;
        case Matcher::kGeneral:
          all = KeyMatches(key, type, keys, record);
          break;
      }
    }
    if (all) found.push_back(r);
  }
  return found;
}

void TDBTable::Sort(const TCustomParam& names, const TCustomParam& descending) {
  const int32_t key_count = std::min(names.GetCount(), descending.GetCount());
  std::vector<SortColumn> columns;
  for (int32_t i = 0; i < key_count; ++i) {
    const int32_t index = fields_.IndexOfField(names.GetStrAt(i));
    if (index < 0) continue;
    columns.push_back({fields_.Field(index).type, descending.GetBoolAt(i), {}, {}, {}, {}});
  }
  if (columns.empty() || count_ < 2) return;
  const size_t size = RecordSize();
  const uint8_t* base = records_.data();
  size_t column = 0;
  for (int32_t i = 0; i < key_count; ++i) {
    const int32_t index = fields_.IndexOfField(names.GetStrAt(i));
    if (index < 0) continue;
    SortColumn& c = columns[column++];
    const TDBField& field = fields_.Field(index);
    const uint8_t* at = base + fields_.Offset(index);
    for (int32_t r = 0; r < count_; ++r, at += size) {
      switch (field.type) {
        case PT_STR:
          c.texts.push_back(DBFieldText(field, at));
          c.prefixes.push_back(PrefixOf(c.texts.back()));
          break;
        case PT_FLOAT:
          c.floats.push_back(DBFieldAsFloat(field, at));
          break;
        case PT_BOOL:
          c.ints.push_back(at[0] != 0 ? 1 : 0);
          break;
        default:
          c.ints.push_back(DBLoadInt(at));
      }
    }
  }
  std::vector<SortEntry> order(static_cast<size_t>(count_));
  for (int32_t r = 0; r < count_; ++r) order[static_cast<size_t>(r)] = {LeadOf(columns, r), r};
  std::stable_sort(order.begin(), order.end(), [&](const SortEntry& a, const SortEntry& b) {
    if (a.lead != b.lead) return a.lead < b.lead;
    for (const SortColumn& c : columns) {
      const int result = c.Compare(a.record, b.record);
      if (result != 0) return c.descending ? result > 0 : result < 0;
    }
    return false;
  });
  std::vector<uint8_t> sorted(records_.size());
  for (size_t i = 0; i < order.size(); ++i) {
    std::memcpy(sorted.data() + i * size, base + static_cast<size_t>(order[i].record) * size, size);
  }
  records_.swap(sorted);
}

bool TDBTable::LoadFromTsv(std::span<const std::string> lines) {
  if (lines.empty()) return false;
  const std::optional<std::vector<TsvFieldDeclaration>> header = ParseTsvHeader(lines[0]);
  if (!header) return false;
  // Built aside, so that a file that fails leaves the table as it was.
  TDBTable loaded(name_, status_);
  for (const TsvFieldDeclaration& declared : *header) {
    if (loaded.AddField(declared.name, declared.type, declared.capacity) < 0) return false;
  }
  for (size_t i = 1; i < lines.size(); ++i) {
    if (lines[i].empty()) continue;
    const std::string line = ResolveTsvEscapes(lines[i]);
    const std::vector<std::string_view> columns = SplitTsvColumns(line);
    if (!loaded.AppendRecord()) return false;
    const auto used = std::min<size_t>(columns.size(), static_cast<size_t>(loaded.fields_.Count()));
    for (size_t c = 0; c < used; ++c) {
      loaded.SetStr(loaded.current_, static_cast<int32_t>(c), columns[c]);
    }
  }
  fields_ = std::move(loaded.fields_);
  records_ = std::move(loaded.records_);
  count_ = loaded.count_;
  current_ = loaded.current_;
  return true;
}

void TDBTable::ClearAll() {
  fields_.Clear();
  ClearRecords();
}

void TDBTable::ClearRecords() {
  records_.clear();
  count_ = 0;
  current_ = -1;
}

void TDBTable::AssignFields(const TDBFieldList& other) {
  ClearRecords();
  fields_ = other;
}

void TDBTable::SaveToStream(BinaryWriter& out) const {
  out.String(name_);
  out.U8(status_ ? 1 : 0);
  fields_.SaveToStream(out);
  out.I32(count_);
  out.Bytes(std::span<const uint8_t>(records_));
  out.I32(current_);
}

std::unique_ptr<TDBTable> TDBTable::LoadFromStream(BinaryReader& in) {
  std::string name = in.String();
  const bool status = in.U8() != 0;
  auto table = std::make_unique<TDBTable>(std::move(name), status);
  table->fields_ = TDBFieldList::LoadFromStream(in);
  const size_t size = table->RecordSize();
  const size_t count = in.Count(size, kDBMaxRecordCount);
  if (!Fits(static_cast<int64_t>(count), static_cast<int64_t>(size))) {
    Damaged(std::to_string(count) + " records of " + std::to_string(size) + " bytes");
  }
  const std::span<const uint8_t> records = in.Bytes(count * size);
  table->records_.assign(records.begin(), records.end());
  table->count_ = static_cast<int32_t>(count);
  table->current_ = std::clamp(in.I32(), -1, table->count_ - 1);
  return table;
}

}  // namespace novu
