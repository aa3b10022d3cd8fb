#pragma once
// The tab-separated text that fills a data table. The first line declares the fields, one per
// column, each "NAME [TYPE [CAPACITY]]" separated by blanks: the type words "int", "float" and
// "bool" (compared case-sensitively) give those types; any other word, or none, a string
// whose capacity is the number after it (80 when there is no number). Every following line
// that is not empty is one record. A byte that follows a Shift-JIS lead byte is never a tab.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "expr/param_type.h"

namespace novu {

inline constexpr int32_t kTsvDefaultStringCapacity = 80;

struct TsvFieldDeclaration {
  std::string name;
  ParamType type = PT_STR;
  int32_t capacity = 0;  // clamped into the table's limits; 0 for the other types
};

// The columns of a line: empty columns between two tabs are kept; a trailing tab adds none.
std::vector<std::string_view> SplitTsvColumns(std::string_view line);
// Resolves the escapes of a data line from left to right: \" and \\ give the character after
// the backslash, \n gives CR LF, any other backslash stays (also one at the end of the line,
// and one that is the trail byte of a double-byte character).
std::string ResolveTsvEscapes(std::string_view line);
// One header column; none when its name is empty (an empty column, or one that begins with a
// blank), which makes the whole header fail.
std::optional<TsvFieldDeclaration> ParseTsvFieldDeclaration(std::string_view column);
// The fields of a header line; none when a column has no name or the line has no column.
std::optional<std::vector<TsvFieldDeclaration>> ParseTsvHeader(std::string_view line);

}  // namespace novu
