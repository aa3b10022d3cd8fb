#include "expr/db_tsv.h"

#include "core/cp932.h"
#include "expr/db_field_list.h"
#include "expr/value_text.h"

namespace novu {
namespace {

bool IsLead(std::string_view s, size_t i) {
  return cp932::IsLeadByte(static_cast<uint8_t>(s[i])) && i + 1 < s.size();
}

// Without blanks and control characters at either end.
std::string_view Trimmed(std::string_view s) {
  size_t begin = 0;
  size_t end = s.size();
  while (begin < end && static_cast<uint8_t>(s[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<uint8_t>(s[end - 1]) <= ' ') --end;
  return s.substr(begin, end - begin);
}

// The text before the first blank, and the rest after it (empty when there is no blank).
std::pair<std::string_view, std::string_view> SplitAtBlank(std::string_view s) {
  const size_t blank = s.find(' ');
  if (blank == std::string_view::npos) return {s, {}};
  return {s.substr(0, blank), s.substr(blank + 1)};
}

// A number too long for 32 bits is still a number: it is clamped like any other capacity.
int32_t ParseCapacity(std::string_view text) {
  if (const std::optional<int32_t> capacity = ParseInt(text)) return ClampDBCapacity(*capacity);
  const std::string_view digits =
      !text.empty() && (text[0] == '-' || text[0] == '+') ? text.substr(1) : text;
  const bool all_digits =
      !digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos;
  if (!all_digits) return kTsvDefaultStringCapacity;
  return text[0] == '-' ? 0 : kDBMaxStringCapacity;
}

}  // namespace

std::vector<std::string_view> SplitTsvColumns(std::string_view line) {
  std::vector<std::string_view> columns;
  size_t start = 0;
  size_t i = 0;
  while (i < line.size()) {
    if (IsLead(line, i)) {
      i += 2;
    } else if (line[i] == '\t') {
      columns.push_back(line.substr(start, i - start));
      start = ++i;
    } else {
      ++i;
    }
  }
  if (start < line.size()) columns.push_back(line.substr(start));
  return columns;
}

std::string ResolveTsvEscapes(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  size_t i = 0;
  while (i < line.size()) {
    if (IsLead(line, i)) {
      out.append(line.substr(i, 2));
      i += 2;
      continue;
    }
    const char c = line[i];
    if (c == '\\' && i + 1 < line.size()) {
      const char next = line[i + 1];
      if (next == '"' || next == '\\') {
        out.push_back(next);
        i += 2;
        continue;
      }
      if (next == 'n') {
        out.append("\r\n");
        i += 2;
        continue;
      }
    }
    out.push_back(c);
    ++i;
  }
  return out;
}

std::optional<TsvFieldDeclaration> ParseTsvFieldDeclaration(std::string_view column) {
  const auto [name_part, rest] = SplitAtBlank(column);
  TsvFieldDeclaration declared;
  declared.name = std::string(Trimmed(name_part));
  if (declared.name.empty()) return std::nullopt;
  const auto [type_part, capacity_part] = SplitAtBlank(Trimmed(rest));
  const std::string_view type = Trimmed(type_part);
  if (type == "int") {
    declared.type = PT_INT;
  } else if (type == "float") {
    declared.type = PT_FLOAT;
  } else if (type == "bool") {
    declared.type = PT_BOOL;
  } else {
    declared.type = PT_STR;
    declared.capacity = ParseCapacity(Trimmed(capacity_part));
  }
  return declared;
}

std::optional<std::vector<TsvFieldDeclaration>> ParseTsvHeader(std::string_view line) {
  std::vector<TsvFieldDeclaration> fields;
  const std::vector<std::string_view> columns = SplitTsvColumns(line);
  if (columns.empty()) return std::nullopt;  // a table needs at least one field
  for (std::string_view column : columns) {
    std::optional<TsvFieldDeclaration> declared = ParseTsvFieldDeclaration(column);
    if (!declared) return std::nullopt;
    fields.push_back(std::move(*declared));
  }
  return fields;
}

}  // namespace novu
