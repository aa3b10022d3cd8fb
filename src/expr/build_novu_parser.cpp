#include "expr/build_novu_parser.h"

#include <algorithm>
#include <array>

#include "core/binary_writer.h"
#include "core/cp932.h"
#include "expr/novu_parser.h"
#include "expr/param_collection.h"
#include "expr/system_function.h"
#include "expr/value_text.h"
#include "platform/error.h"

namespace novu {
namespace {

constexpr std::string_view kOperatorChars = "%&*+-/<=>^|";
// Characters that make a function argument or subscript a sub-expression of its own.
constexpr std::string_view kExpressionChars = "+-*/%|&^=[](),<>";
// The first characters of tokens after which an operator has no left operand.
constexpr std::string_view kNoLeftOperand = "+-*/%|&^=[(<>";
// The first characters of tokens after which "+" or "-" is a sign.
constexpr std::string_view kSignFollows = "=+-*/%&^|[(,<>";

[[noreturn]] void ThrowSyntaxError() {
  throw NovuError::FromUtf8("構文エラー");
}

bool IsBlank(char c) {
  return static_cast<uint8_t>(c) <= ' ';
}
bool IsOperatorChar(char c) {
  return kOperatorChars.find(c) != std::string_view::npos;
}
bool IsIn(std::string_view set, char c) {
  return set.find(c) != std::string_view::npos;
}

std::string Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return std::string(s);
}

// Marks where characters start, so bytes inside two-byte characters (many of which equal
// "[", "]", "|" or "\") are never taken for syntax.
std::vector<bool> CharStarts(std::string_view s) {
  std::vector<bool> starts(s.size(), false);
  for (size_t i = 0; i < s.size(); ++i) {
    starts[i] = true;
    if (cp932::IsLeadByte(static_cast<uint8_t>(s[i])) && i + 1 < s.size()) ++i;
  }
  return starts;
}

// The start of the character before `i`, or npos.
size_t PrevChar(const std::vector<bool>& starts, size_t i) {
  while (i > 0) {
    --i;
    if (starts[i]) return i;
  }
  return std::string::npos;
}

bool IsTwoByteAt(std::string_view s, size_t i) {
  return cp932::IsLeadByte(static_cast<uint8_t>(s[i])) && i + 1 < s.size();
}

// Letters, digits, underscore; a two-byte character counts as a letter.
bool IsNameCharAt(std::string_view s, size_t i) {
  const char c = s[i];
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         IsTwoByteAt(s, i);
}

// The position of the bracket closing the one at `open`, counting nested pairs.
size_t MatchingClose(std::string_view s, const std::vector<bool>& starts, size_t open, char o,
                     char c) {
  int depth = 0;
  for (size_t i = open; i < s.size(); ++i) {
    if (!starts[i]) continue;
    if (s[i] == o) ++depth;
    if (s[i] == c && --depth == 0) return i;
  }
  ThrowSyntaxError();
}

// Splits at commas outside square brackets; a "]" without "[" or an unclosed "[" is an error.
std::vector<std::string> SplitArguments(std::string_view s) {
  std::vector<std::string> parts;
  std::vector<bool> starts = CharStarts(s);
  int depth = 0;
  size_t from = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if (!starts[i]) continue;
    if (s[i] == '[') ++depth;
    if (s[i] == ']' && --depth < 0) ThrowSyntaxError();
    if (s[i] == ',' && depth == 0) {
      parts.emplace_back(s.substr(from, i - from));
      from = i + 1;
    }
  }
  if (depth != 0) ThrowSyntaxError();
  parts.emplace_back(s.substr(from));
  return parts;
}

// Removes parentheses that enclose the whole text, repeatedly.
std::string StripEnclosingParens(std::string text) {
  for (;;) {
    text = Trim(text);
    if (text.size() < 2 || text.front() != '(' || text.back() != ')') return text;
    std::vector<bool> starts = CharStarts(text);
    if (!starts[text.size() - 1]) return text;
    size_t close = MatchingClose(text, starts, 0, '(', ')');
    if (close != text.size() - 1) return text;
    text = text.substr(1, text.size() - 2);
  }
}

bool ContainsExpressionChar(std::string_view s) {
  std::vector<bool> starts = CharStarts(s);
  for (size_t i = 0; i < s.size(); ++i) {
    if (starts[i] && IsIn(kExpressionChars, s[i])) return true;
  }
  return false;
}

void CheckParentheses(std::string_view s) {
  std::vector<bool> starts = CharStarts(s);
  int depth = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if (!starts[i]) continue;
    if (s[i] == '(') ++depth;
    if (s[i] == ')' && --depth < 0) ThrowSyntaxError();
  }
  if (depth != 0) ThrowSyntaxError();
}

struct Token {
  std::string text;
  bool is_operator = false;
};

struct OperatorInfo {
  std::string_view text;
  uint8_t code;
  int group;
};

constexpr std::array<OperatorInfo, 18> kOperators = {{
    {"*", ocMul, 1},
    {"/", ocDiv, 1},
    {"%", ocMod, 1},
    {"+", ocPlus, 2},
    {"-", ocMinus, 2},
    {"<<", ocShiftL, 3},
    {">>", ocShiftR, 3},
    {"==", ocEqual, 4},
    {">=", ocEBig, 4},
    {"<=", ocESmall, 4},
    {">", ocBig, 4},
    {"<", ocSmall, 4},
    {"<>", ocNEqual, 4},
    {"++", ocComboStr, 5},
    {"&", ocAnd, 6},
    {"^", ocXor, 7},
    {"|", ocOr, 8},
    {"=", ocTo, 9},
}};
constexpr int kGroupCount = 9;

const OperatorInfo& OperatorOf(std::string_view text) {
  for (const OperatorInfo& info : kOperators) {
    if (info.text == text) return info;
  }
  ThrowSyntaxError();
}

std::vector<Token> Tokenize(std::string_view s) {
  static constexpr std::array<std::string_view, 7> kTwoChar = {"==", ">=", "<=", "++",
                                                               "<>", "<<", ">>"};
  std::vector<Token> tokens;
  std::vector<bool> starts = CharStarts(s);
  size_t from = 0;
  auto flush_operand = [&](size_t end) {
    std::string operand = Trim(s.substr(from, end - from));
    if (!operand.empty()) tokens.push_back({std::move(operand), false});
  };
  for (size_t i = 0; i < s.size();) {
    if (!starts[i] || !IsOperatorChar(s[i])) {
      ++i;
      continue;
    }
    flush_operand(i);
    size_t length = 1;
    if (i + 1 < s.size()) {
      std::string_view pair = s.substr(i, 2);
      if (std::find(kTwoChar.begin(), kTwoChar.end(), pair) != kTwoChar.end()) length = 2;
    }
    tokens.push_back({std::string(s.substr(i, length)), true});
    i += length;
    from = i;
  }
  flush_operand(s.size());
  return tokens;
}

bool BeginsWithAny(const Token& token, std::string_view set) {
  return !token.text.empty() && IsIn(set, token.text.front());
}

}  // namespace

class TBuildNovuParser::Compiler {
 public:
  Compiler(std::vector<TBuildOpeData>& operations, int& counter)
      : operations_(operations), counter_(counter) {}

  void Compile(std::string text) {
    // Sub-expressions compile recursively; a bound keeps absurd nesting off the stack.
    if (nesting_ >= kMaxNesting) ThrowSyntaxError();
    ++nesting_;
    struct Leave {
      int& nesting;
      ~Leave() { --nesting; }
    } leave{nesting_};
    ReplaceStringLiterals(text);
    CheckParentheses(text);
    while (ReplaceFunctionCall(text)) {
    }
    while (ReplaceElementReference(text)) {
    }
    while (ReplaceGroup(text)) {
    }
    Reduce(text);
  }

 private:
  std::string NewTemporary() { return std::string(kTemporaryPrefix) + std::to_string(counter_++); }
  std::string NewElementTemporary() { return "____d_" + std::to_string(counter_++); }

  void Emit(uint8_t code, std::string target, std::vector<std::string> operands) {
    operations_.push_back({code, std::move(target), std::move(operands)});
  }

  // An argument or subscript: its own text, or a temporary computed from it.
  std::string Operand(const std::string& argument) {
    std::string text = StripEnclosingParens(argument);
    if (!ContainsExpressionChar(text)) return text;
    std::string name = NewTemporary();
    Compile(name + " = " + text);
    return name;
  }

  void ReplaceStringLiterals(std::string& text) {
    for (;;) {
      std::vector<bool> starts = CharStarts(text);
      size_t open = std::string::npos;
      for (size_t i = 0; i < text.size(); ++i) {
        if (starts[i] && text[i] == '"') {
          open = i;
          break;
        }
      }
      if (open == std::string::npos) return;
      std::string content;
      size_t i = open + 1;
      bool closed = false;
      while (i < text.size()) {
        if (IsTwoByteAt(text, i)) {
          content.append(text, i, 2);
          i += 2;
          continue;
        }
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
          const char next = text[i + 1];
          if (next == '"' || next == '\\') {
            content.push_back(next);
            i += 2;
            continue;
          }
          if (next == 'n') {
            content += "\r\n";
            i += 2;
            continue;
          }
        }
        if (c == '"') {
          closed = true;
          break;
        }
        content.push_back(c);
        ++i;
      }
      if (!closed) ThrowSyntaxError();
      std::string name = NewTemporary();
      Emit(ocTo, name, {"\"" + content + "\""});
      text.replace(open, i + 1 - open, name);
    }
  }

  bool ReplaceFunctionCall(std::string& text) {
    std::vector<bool> starts = CharStarts(text);
    for (size_t open = text.size(); open-- > 0;) {
      if (!starts[open] || text[open] != '(') continue;
      size_t last = PrevChar(starts, open);
      while (last != std::string::npos && IsBlank(text[last])) last = PrevChar(starts, last);
      if (last == std::string::npos || !IsNameCharAt(text, last)) continue;
      size_t first = last;
      for (size_t p = PrevChar(starts, first); p != std::string::npos && IsNameCharAt(text, p);
           p = PrevChar(starts, p)) {
        first = p;
      }
      const size_t name_end = last + (IsTwoByteAt(text, last) ? 2 : 1);
      const size_t close = MatchingClose(text, starts, open, '(', ')');
      std::string name = Trim(std::string_view(text).substr(first, name_end - first));
      std::string arguments = text.substr(open + 1, close - open - 1);

      std::string target = NewTemporary();
      std::vector<std::string> operands = {name};
      if (!Trim(arguments).empty()) {
        for (const std::string& argument : SplitArguments(arguments)) {
          operands.push_back(Trim(argument).empty() ? std::string() : Operand(argument));
        }
      }
      Emit(ocFunc, target, std::move(operands));
      text.replace(first, close + 1 - first, target);
      return true;
    }
    return false;
  }

  bool ReplaceElementReference(std::string& text) {
    std::vector<bool> starts = CharStarts(text);
    size_t open = std::string::npos;
    for (size_t i = text.size(); i-- > 0;) {
      if (starts[i] && text[i] == '[') {
        open = i;
        break;
      }
    }
    if (open == std::string::npos) return false;
    const size_t close = MatchingClose(text, starts, open, '[', ']');
    size_t last = PrevChar(starts, open);
    while (last != std::string::npos && IsBlank(text[last])) last = PrevChar(starts, last);
    auto ends_name = [&](size_t p) {
      return p != std::string::npos && !IsBlank(text[p]) && !IsOperatorChar(text[p]) &&
             !IsIn("()[],", text[p]);
    };
    if (!ends_name(last)) ThrowSyntaxError();
    size_t first = last;
    for (size_t p = PrevChar(starts, first); ends_name(p); p = PrevChar(starts, p)) first = p;
    const size_t name_end = last + (IsTwoByteAt(text, last) ? 2 : 1);
    std::string name = text.substr(first, name_end - first);
    std::string inside = text.substr(open + 1, close - open - 1);
    if (Trim(inside).empty()) throw NovuError::FromUtf8("配列の添え字が不正です");

    std::string target = NewElementTemporary();
    std::vector<std::string> operands = {name};
    size_t from = 0;
    for (;;) {
      size_t comma = inside.find(',', from);
      std::string subscript =
          inside.substr(from, comma == std::string::npos ? comma : comma - from);
      operands.push_back(Trim(subscript).empty() ? std::string() : Operand(subscript));
      if (comma == std::string::npos) break;
      from = comma + 1;
    }
    Emit(ocDimTo, target, std::move(operands));
    text.replace(first, close + 1 - first, target);
    return true;
  }

  bool ReplaceGroup(std::string& text) {
    std::vector<bool> starts = CharStarts(text);
    for (size_t open = text.size(); open-- > 0;) {
      if (!starts[open] || text[open] != '(') continue;
      const size_t close = MatchingClose(text, starts, open, '(', ')');
      std::string name = NewTemporary();
      Compile(name + " = " + text.substr(open + 1, close - open - 1));
      text.replace(open, close + 1 - open, name);
      return true;
    }
    return false;
  }

  void ReplaceSigns(std::vector<Token>& tokens) {
    if (tokens.size() < 3) return;
    for (size_t i = tokens.size() - 2; i >= 1; --i) {
      const Token& token = tokens[i];
      const bool sign = token.is_operator && (token.text == "+" || token.text == "-") &&
                        BeginsWithAny(tokens[i - 1], kSignFollows);
      if (sign) {
        if (token.text == "+") {
          tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
          std::string name = NewTemporary();
          Emit(ocMinus, name, {"0", tokens[i + 1].text});
          tokens[i] = {name, false};
          tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        }
      }
      if (i == 1) break;
    }
  }

  // The leftmost operator of the first precedence group present, or npos.
  static size_t NextOperator(const std::vector<Token>& tokens) {
    for (int group = 1; group <= kGroupCount; ++group) {
      for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].is_operator && OperatorOf(tokens[i].text).group == group) return i;
      }
    }
    return std::string::npos;
  }

  void Reduce(const std::string& text) {
    std::vector<Token> tokens = Tokenize(text);
    if (tokens.empty()) {
      Emit(ocTo, std::string(kResultTemporary), {Trim(text)});
      return;
    }
    ReplaceSigns(tokens);
    bool assigned = false;
    while (!tokens.empty()) {
      const size_t i = NextOperator(tokens);
      if (i == std::string::npos) {
        if (assigned || tokens.size() != 1) ThrowSyntaxError();
        Emit(ocTo, std::string(kResultTemporary), {tokens[0].text});
        return;
      }
      const OperatorInfo& op = OperatorOf(tokens[i].text);
      const bool has_right = i + 1 < tokens.size() && !tokens[i + 1].is_operator;
      if (!has_right) ThrowSyntaxError();
      const auto at = tokens.begin() + static_cast<std::ptrdiff_t>(i);
      if (op.code == ocTo) {
        if (i == 0) ThrowSyntaxError();
        Emit(ocTo, tokens[i - 1].text, {tokens[i + 1].text});
        tokens.erase(at - 1, at + 2);
        assigned = true;
      } else if (i > 0) {
        if (BeginsWithAny(tokens[i - 1], kNoLeftOperand)) ThrowSyntaxError();
        std::string name = NewTemporary();
        Emit(op.code, name, {tokens[i - 1].text, tokens[i + 1].text});
        tokens.erase(at, at + 2);
        tokens[i - 1] = {name, false};
      } else {
        if (op.code != ocPlus && op.code != ocMinus) ThrowSyntaxError();
        std::string name = NewTemporary();
        Emit(op.code, name, {"0", tokens[1].text});
        tokens.erase(at + 1);
        tokens[0] = {name, false};
      }
    }
  }

  static constexpr int kMaxNesting = 256;

  std::vector<TBuildOpeData>& operations_;
  int& counter_;
  int nesting_ = 0;
};

namespace {

bool IsPlainTemporary(std::string_view name) {
  return IsTemporaryName(name) && name != kResultTemporary && !name.starts_with("____d_");
}

// A copy from one plain temporary into another is dropped; later uses of the copy's target
// read its source instead.
void EliminateCopies(std::vector<TBuildOpeData>& operations) {
  for (size_t i = 0; i < operations.size();) {
    const TBuildOpeData& op = operations[i];
    if (op.code != ocTo || op.operands.size() != 1 || !IsPlainTemporary(op.target) ||
        !IsPlainTemporary(op.operands[0])) {
      ++i;
      continue;
    }
    const std::string from = op.target;
    const std::string to = op.operands[0];
    operations.erase(operations.begin() + static_cast<std::ptrdiff_t>(i));
    for (size_t j = i; j < operations.size(); ++j) {
      if (operations[j].target == from) operations[j].target = to;
      for (std::string& operand : operations[j].operands) {
        if (operand == from) operand = to;
      }
    }
  }
}

void WriteOperandText(BinaryWriter& out, const std::string& text) {
  if (std::optional<int32_t> i = ParseInt(text)) {
    out.U8(PT_INT);
    out.I32(*i);
  } else if (std::optional<long double> f = ParseFloat(text)) {
    out.U8(PT_FLOAT);
    out.Float80(*f);
  } else if (text == kTrueText || text == kFalseText) {
    out.U8(PT_BOOL);
    out.U8(text == kTrueText ? 1 : 0);
  } else if (text.size() > 1 && text.front() == '"' && text.back() == '"') {
    out.U8(PT_STR);
    out.String(std::string_view(text).substr(1, text.size() - 2));
  } else {
    out.U8(PT_NONE);
    out.String(text);
  }
}

}  // namespace

void TBuildNovuParser::Compile(std::string_view text) {
  operations_.clear();
  counter_ = 0;
  std::vector<TBuildOpeData> operations;
  Compiler(operations, counter_).Compile(std::string(text));
  EliminateCopies(operations);
  operations_ = std::move(operations);
}

void TBuildNovuParser::SaveToStream(BinaryWriter& out) const {
  BinaryWriter body;
  body.I32(static_cast<int32_t>(operations_.size()));
  for (const TBuildOpeData& op : operations_) {
    body.U8(op.code);
    body.String(op.target);
    if (op.code != ocFunc) {
      body.I32(static_cast<int32_t>(op.operands.size()));
      for (const std::string& operand : op.operands) WriteOperandText(body, operand);
      continue;
    }
    const std::string& name = op.operands.at(0);
    const int number = FindSystemFunction(name);
    if (number < 0) throw NovuError(FormatOne(Jp("\"%s\" 関数名がありません"), name));
    const SystemFunctionInfo& info = SystemFunctionAt(number);
    const auto argument_count = static_cast<int>(op.operands.size()) - 1;
    if (argument_count < info.min_args || (info.max_args >= 0 && argument_count > info.max_args)) {
      throw NovuError(name + Jp(" 引数の数が不正です"));
    }
    body.I32(argument_count);
    body.U8(static_cast<uint8_t>(number));
    for (size_t i = 1; i < op.operands.size(); ++i) WriteOperandText(body, op.operands[i]);
  }
  out.Bytes(body.bytes());
}

}  // namespace novu
