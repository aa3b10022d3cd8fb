#pragma once
// The page text language: a readable form of a script page that assembles into the page file
// and back, byte for byte. UTF-8 text, one command a line:
//
//   page version=114 result=int          header (result: none, int, float, bool, string)
//   sets 61 21                           stored property-set table: entry count, entry size
//   set BoxNew PR_NAME PR_LEFT           properties carried by an opcode's commands
//   set_raw 70 "00ff..."                 a stored entry as hex (entries the names cannot say)
//   # a comment line
//   top:                                 anchor: @top is the index of the next command
//   While `i < 10` exit=@done
//     Calc `x = x + i`
//   WhileLoop `i = i + 1` loop=@top
//   done:
//   Exit stop line=12 disabled
//
// Indentation (two spaces a level) is the command's depth. Fields are `key=value` in any order,
// named as in the command layouts; left out, an expression is empty (conditions "if": TRUE),
// a number 0, a string empty. Values: `expression text` compiled by the player's compiler;
// ops(ocPlus "____0" v"x" i1; ocTo "x" v"____0") an explicit operation list (operands v"var",
// s"text", iN, b0/b1, f<20 hex digits>, #N function number); "strings" with \\ \" \n \r \t
// \xHH; markup"<B>...</B>" message markup (same escapes, line ends separate its lines) that a
// text data field stores as the compiled glyph stream; integers or @anchors; [ `a` `b` ]
// expression lists; PR_NAME=`...` properties. Flags:
// `stop` (the tick ends after the command), `disabled`; `line=N` when the stored source line
// differs from the text line.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace novu {

class TNovuParser;
class TPage;

// The page file for a page text; raises NovuError naming the line on a mistake.
std::vector<uint8_t> AssemblePage(std::string_view utf8_text, std::string_view page_name);
// The page text of a page file (which must load).
std::string DisassemblePage(std::span<const uint8_t> data);

// An expression as source text when compiling that text gives exactly its operations,
// otherwise as an explicit operation list.
std::string ExpressionText(const TNovuParser& expr);

}  // namespace novu
