#include "authoring/page_text.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <set>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "core/cp932.h"
#include "engine/page.h"
#include "expr/build_novu_parser.h"
#include "expr/novu_parser.h"
#include "expr/operation_code.h"
#include "expr/param_collection.h"
#include "expr/system_function.h"
#include "expr/value_text.h"
#include "objects/property_catalogue.h"
#include "platform/error.h"
#include "platform/text_encoding.h"
#include "text/kx_word.h"

namespace novu {
namespace {

constexpr std::string_view kTypeNames[] = {"none", "int", "float", "bool", "string"};
constexpr std::string_view kScopeNames[] = {"global", "auto", "local", "status"};
constexpr int kIndentWidth = 2;
constexpr int32_t kMaxIndentedDepth = 64;

// A text data field may be written as message markup: markup"<B>...</B>".
constexpr std::string_view kMarkupPrefix = "markup\"";

[[noreturn]] void Fail(size_t line, std::string_view what) {
  throw NovuError(platform::Utf8ToCp932("line " + std::to_string(line) + ": " + std::string(what)));
}

// The glyph stream of message markup (CP932; line ends separate the markup's lines).
std::string CompileMarkup(std::string_view markup, size_t line) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < markup.size(); ++i) {
    if (markup[i] == '\r' || markup[i] == '\n') {
      if (markup[i] == '\r' && i + 1 < markup.size() && markup[i + 1] == '\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += markup[i];
    }
  }
  try {
    text::TKxWord word;
    word.SetSource(lines);
    BinaryWriter out;
    word.SaveGlyphs(out);
    return out.TakeString();
  } catch (const NovuError& e) {
    Fail(line, e.Utf8Message());
  }
}

// ---------------------------------------------------------------- strings

std::string Hex(std::span<const uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (uint8_t b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

std::optional<std::vector<uint8_t>> FromHex(std::string_view text) {
  if (text.size() % 2 != 0) return std::nullopt;
  std::vector<uint8_t> out;
  for (size_t i = 0; i < text.size(); i += 2) {
    int v = 0;
    for (char c : text.substr(i, 2)) {
      const int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                    : (c >= 'a' && c <= 'f')                    ? c - 'a' + 10
                    : (c >= 'A' && c <= 'F')                    ? c - 'A' + 10
                                                                : -1;
      if (d < 0) return std::nullopt;
      v = v * 16 + d;
    }
    out.push_back(static_cast<uint8_t>(v));
  }
  return out;
}

// A CP932 string as a quoted UTF-8 literal; bytes that do not convert back exactly are \xHH.
std::string Quote(std::string_view cp932) {
  std::string out = "\"";
  auto escape_byte = [&](uint8_t b) {
    static constexpr char kDigits[] = "0123456789abcdef";
    out += "\\x";
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  };
  for (size_t i = 0; i < cp932.size(); ++i) {
    const auto b = static_cast<uint8_t>(cp932[i]);
    if (b == '"' || b == '\\') {
      out += '\\';
      out += static_cast<char>(b);
    } else if (b == '\n') {
      out += "\\n";
    } else if (b == '\r') {
      out += "\\r";
    } else if (b == '\t') {
      out += "\\t";
    } else if (b >= 0x20 && b < 0x7F) {
      out += static_cast<char>(b);
    } else {
      const size_t length = cp932::IsLeadByte(b) && i + 1 < cp932.size() ? 2 : 1;
      const std::string_view one = cp932.substr(i, length);
      const std::string utf8 = platform::Cp932ToUtf8(one);
      if ((b >= 0xA1 && b <= 0xDF) || length == 2) {
        if (platform::Utf8ToCp932(utf8) == one && utf8 != "\xEF\xBF\xBD") {
          out += utf8;
          i += length - 1;
          continue;
        }
      }
      escape_byte(b);
    }
  }
  out += '"';
  return out;
}

// ---------------------------------------------------------------- values of the text

struct Value {
  enum Kind { kWord, kString, kExprText, kOps, kList, kMarkup } kind = kWord;
  std::string text;  // word (UTF-8), string or markup (CP932), expression text (UTF-8), ops body
  std::vector<Value> items;
};

class LineParser {
 public:
  LineParser(std::string_view text, size_t line) : text_(text), line_(line) {}

  bool AtEnd() {
    SkipBlanks();
    return pos_ >= text_.size();
  }

  // A word up to a blank, "=", a bracket, ";" or a quote.
  std::string Word() {
    SkipBlanks();
    const size_t start = pos_;
    while (pos_ < text_.size() && !std::isspace(static_cast<unsigned char>(text_[pos_])) &&
           std::string_view("=[]();\"").find(text_[pos_]) == std::string_view::npos) {
      ++pos_;
    }
    return std::string(text_.substr(start, pos_ - start));
  }

  bool Take(char c) {
    SkipBlanks();
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }

  Value ParseValue() {
    SkipBlanks();
    if (pos_ >= text_.size()) Fail(line_, "a value is missing");
    const char c = text_[pos_];
    if (c == '`') {
      const size_t end = text_.find('`', pos_ + 1);
      if (end == std::string_view::npos) Fail(line_, "unterminated `expression`");
      Value v{Value::kExprText, std::string(text_.substr(pos_ + 1, end - pos_ - 1)), {}};
      pos_ = end + 1;
      return v;
    }
    if (c == '"') return Value{Value::kString, String(), {}};
    if (text_.substr(pos_).starts_with(kMarkupPrefix)) {
      pos_ += kMarkupPrefix.size() - 1;
      return Value{Value::kMarkup, String(), {}};
    }
    if (c == '[') {
      ++pos_;
      Value list{Value::kList, {}, {}};
      while (!Take(']')) {
        if (AtEnd()) Fail(line_, "unterminated [ list ]");
        list.items.push_back(ParseValue());
      }
      return list;
    }
    if (text_.substr(pos_).starts_with("ops(")) {
      pos_ += 4;
      const size_t start = pos_;
      bool quoted = false;
      for (; pos_ < text_.size(); ++pos_) {
        const char d = text_[pos_];
        if (quoted && d == '\\') {
          ++pos_;
        } else if (d == '"') {
          quoted = !quoted;
        } else if (!quoted && d == ')') {
          break;
        }
      }
      if (pos_ >= text_.size()) Fail(line_, "unterminated ops( )");
      Value v{Value::kOps, std::string(text_.substr(start, pos_ - start)), {}};
      ++pos_;
      return v;
    }
    return Value{Value::kWord, Word(), {}};
  }

  // A quoted string at the position, returned as CP932.
  std::string String() {
    SkipBlanks();
    if (pos_ >= text_.size() || text_[pos_] != '"') Fail(line_, "a \"string\" is expected");
    ++pos_;
    std::string out;
    std::string run;
    auto flush = [&] {
      out += platform::Utf8ToCp932(run);
      run.clear();
    };
    while (true) {
      if (pos_ >= text_.size()) Fail(line_, "unterminated string");
      const char c = text_[pos_++];
      if (c == '"') break;
      if (c != '\\') {
        run += c;
        continue;
      }
      if (pos_ >= text_.size()) Fail(line_, "unterminated string");
      const char e = text_[pos_++];
      flush();
      switch (e) {
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case '\\':
          out += '\\';
          break;
        case '"':
          out += '"';
          break;
        case 'x': {
          auto byte = FromHex(text_.substr(pos_, 2));
          if (!byte || pos_ + 2 > text_.size()) Fail(line_, "bad \\x escape");
          out += static_cast<char>((*byte)[0]);
          pos_ += 2;
          break;
        }
        default:
          Fail(line_, std::string("unknown escape \\") + e);
      }
    }
    flush();
    return out;
  }

  // True when a value (not a key or flag word) comes next.
  bool ValueNext() {
    SkipBlanks();
    if (pos_ >= text_.size()) return false;
    const char c = text_[pos_];
    return c == '`' || c == '"' || c == '[' || text_.substr(pos_).starts_with("ops(") ||
           text_.substr(pos_).starts_with(kMarkupPrefix);
  }

  size_t line() const { return line_; }

 private:
  void SkipBlanks() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
  }

  std::string_view text_;
  size_t line_;
  size_t pos_ = 0;
};

std::optional<int64_t> ToInteger(std::string_view word) {
  if (word.empty()) return std::nullopt;
  size_t i = word[0] == '-' ? 1 : 0;
  if (i == word.size()) return std::nullopt;
  int64_t v = 0;
  for (; i < word.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(word[i]))) return std::nullopt;
    v = v * 10 + (word[i] - '0');
    if (v > (int64_t{1} << 32)) return std::nullopt;
  }
  return word[0] == '-' ? -v : v;
}

// ---------------------------------------------------------------- expressions

std::vector<uint8_t> ExprBytes(const TNovuParser& expr) {
  BinaryWriter out;
  expr.SaveToStream(out);
  return out.Take();
}

std::optional<std::vector<uint8_t>> CompileText(std::string_view cp932_text) {
  try {
    TBuildNovuParser build;
    build.Compile(cp932_text);
    BinaryWriter out;
    build.SaveToStream(out);
    return out.Take();
  } catch (const NovuError&) {
    return std::nullopt;
  }
}

std::string OperandOpsText(const TCustomParam& operand, std::string_view text) {
  if (operand.IsReference()) return "v" + Quote(text);
  switch (operand.GetParamType()) {
    case PT_INT:
      return "i" + std::to_string(operand.GetAsInt());
    case PT_FLOAT: {
      BinaryWriter out;
      out.Float80(operand.GetAsFloat());
      return "f" + Hex(out.bytes());
    }
    case PT_BOOL:
      return operand.GetAsBool() ? "b1" : "b0";
    default:
      return "s" + Quote(text);
  }
}

std::string OpsText(const TNovuParser& expr) {
  std::string out = "ops(";
  bool first = true;
  for (const TOpeData& op : expr.operations()) {
    if (!first) out += "; ";
    first = false;
    const std::string_view name = OperationName(op.code);
    out += name == "oc?" ? "op" + std::to_string(op.code) : std::string(name);
    out += " " + Quote(op.target);
    if (op.code == ocFunc) out += " #" + std::to_string(op.function);
    for (size_t i = 0; i < op.operands.size(); ++i) {
      out += " " + OperandOpsText(*op.operands[i], op.OperandText(i));
    }
  }
  return out + ")";
}

// The stream bytes of an operation list in the ops( ) form.
std::vector<uint8_t> ParseOps(std::string_view body, size_t line) {
  BinaryWriter out;
  int32_t count = 0;
  BinaryWriter ops;
  LineParser in(body, line);
  while (!in.AtEnd()) {
    const std::string code_name = in.Word();
    int code = -1;
    for (int c = 0; c < 256; ++c) {
      if (OperationName(static_cast<uint8_t>(c)) == code_name ||
          "op" + std::to_string(c) == code_name) {
        code = c;
        break;
      }
    }
    if (code < 0) Fail(line, "unknown operation " + code_name);
    ops.U8(static_cast<uint8_t>(code));
    ops.String(in.String());
    int function = -1;
    if (code == ocFunc) {
      const std::string fn = in.Word();
      auto number = fn.size() > 1 && fn[0] == '#' ? ToInteger(fn.substr(1)) : std::nullopt;
      if (!number || *number < 0 || *number > 255) Fail(line, "ocFunc needs #N");
      function = static_cast<int>(*number);
    }
    BinaryWriter operands;
    int32_t operand_count = 0;
    while (!in.AtEnd() && !in.Take(';')) {
      const std::string tag = in.Word();
      if (tag == "v" || tag == "s") {
        operands.U8(tag == "v" ? PT_NONE : PT_STR);
        operands.String(in.String());
      } else if (tag.starts_with("i") && ToInteger(tag.substr(1))) {
        operands.U8(PT_INT);
        operands.I32(static_cast<int32_t>(*ToInteger(tag.substr(1))));
      } else if (tag == "b0" || tag == "b1") {
        operands.U8(PT_BOOL);
        operands.U8(tag == "b1" ? 1 : 0);
      } else if (tag.starts_with("f") && tag.size() == 21 && FromHex(tag.substr(1))) {
        operands.U8(PT_FLOAT);
        operands.Bytes(*FromHex(tag.substr(1)));
      } else {
        Fail(line, "bad operand " + tag);
      }
      ++operand_count;
    }
    ops.I32(operand_count);
    if (function >= 0) ops.U8(static_cast<uint8_t>(function));
    ops.Bytes(operands.bytes());
    ++count;
  }
  out.I32(count);
  out.Bytes(ops.bytes());
  return out.Take();
}

// ---- decompiling: three-address operations back to source text

struct Node {
  std::string text;
  int precedence = 100;  // atoms bind tightest
};

int Precedence(uint8_t code) {
  switch (code) {
    case ocMul:
    case ocDiv:
    case ocMod:
      return 6;
    case ocPlus:
    case ocMinus:
    case ocComboStr:
      return 5;
    case ocShiftL:
    case ocShiftR:
      return 4;
    case ocEqual:
    case ocNEqual:
    case ocBig:
    case ocSmall:
    case ocEBig:
    case ocESmall:
      return 3;
    case ocAnd:
      return 2;
    default:
      return 1;
  }
}

std::string ConstantText(const TCustomParam& operand, std::string_view text) {
  if (operand.GetParamType() == PT_STR) {
    std::string out = "\"";
    for (char c : text) {
      if (c == '"') out += '\\';
      out += c;
    }
    return out + "\"";
  }
  return std::string(text);
}

std::optional<std::string> Decompile(const TNovuParser& expr, bool full_parens) {
  std::map<std::string, Node> temps;
  std::vector<std::string> statements;
  for (const TOpeData& op : expr.operations()) {
    std::vector<Node> args;
    for (size_t i = 0; i < op.operands.size(); ++i) {
      const TCustomParam& operand = *op.operands[i];
      const std::string text = op.OperandText(i);
      if (!operand.IsReference()) {
        args.push_back({ConstantText(operand, text), 100});
      } else if (auto it = temps.find(text); it != temps.end()) {
        args.push_back(it->second);
      } else {
        if (IsTemporaryName(text)) return std::nullopt;
        args.push_back({text, 100});
      }
    }
    auto wrap = [&](const Node& n, int precedence, bool right) {
      const bool needs = full_parens
                             ? n.precedence < 100
                             : (n.precedence < precedence || (right && n.precedence == precedence));
      return needs ? "(" + n.text + ")" : n.text;
    };
    Node result;
    switch (op.code) {
      case ocTo:
        if (args.size() != 1) return std::nullopt;
        if (op.target == kResultTemporary) {
          statements.push_back(args[0].text);
          continue;
        }
        if (op.target.starts_with("____d_")) {
          auto it = temps.find(op.target);
          if (it == temps.end()) return std::nullopt;
          statements.push_back(it->second.text + " = " + args[0].text);
          continue;
        }
        if (IsTemporaryName(op.target)) {
          temps[op.target] = args[0];
          continue;
        }
        statements.push_back(op.target + " = " + args[0].text);
        continue;
      case ocDimTo: {
        if (args.size() < 2) return std::nullopt;
        result.text = args[0].text + "[";
        for (size_t i = 1; i < args.size(); ++i) result.text += (i > 1 ? ", " : "") + args[i].text;
        result.text += "]";
        break;
      }
      case ocFunc: {
        if (op.function >= kSystemFunctionCount) return std::nullopt;
        result.text = std::string(SystemFunctionAt(op.function).name) + "(";
        for (size_t i = 0; i < args.size(); ++i) result.text += (i > 0 ? ", " : "") + args[i].text;
        result.text += ")";
        break;
      }
      default: {
        const std::string_view symbol = OperatorText(op.code);
        if (symbol.empty() || args.size() != 2) return std::nullopt;
        if (op.code == ocMinus && args[0].text == "0") {
          result = {"-" + wrap(args[1], 7, true), 7};
          break;
        }
        const int p = Precedence(op.code);
        result = {
            wrap(args[0], p, false) + " " + std::string(symbol) + " " + wrap(args[1], p, true), p};
        break;
      }
    }
    if (!IsTemporaryName(op.target)) return std::nullopt;
    temps[op.target] = result;
  }
  if (statements.size() != 1) return std::nullopt;
  return statements.front();
}

// ---------------------------------------------------------------- property names

std::string PropertyName(int property) {
  if (const PropertyInfo* info = FindPropertyById(property)) return std::string(info->name);
  return "PR_" + std::to_string(property);
}

int PropertyNumber(std::string_view name) {
  if (const PropertyInfo* info = FindPropertyByNameNoCase(name)) return info->id;
  if (name.starts_with("PR_")) {
    if (auto n = ToInteger(name.substr(3)); n && *n >= 0 && *n < kPropertyCount) {
      return static_cast<int>(*n);
    }
  }
  return -1;
}

// Field names that hold a command index of the same page.
bool IsIndexField(uint8_t code, std::string_view field) {
  return (code == kOpWhile && field == "exit") || (code == kOpWhileLoop && field == "loop") ||
         ((code == kOpBreak || code == kOpContinue) && field == "target");
}

}  // namespace

std::string ExpressionText(const TNovuParser& expr) {
  if (expr.empty()) return "ops()";
  const std::vector<uint8_t> stored = ExprBytes(expr);
  for (bool full : {false, true}) {
    const auto text = Decompile(expr, full);
    if (!text || text->find('`') != std::string::npos) continue;
    const auto compiled = CompileText(*text);
    if (compiled && *compiled == stored) {
      return "`" + platform::Cp932ToUtf8(*text) + "`";
    }
  }
  return OpsText(expr);
}

// ================================================================ disassembler

namespace {

class Printer {
 public:
  void Line(std::string text) {
    out_ += text;
    out_ += '\n';
    ++line_;
  }
  size_t next_line() const { return line_ + 1; }
  std::string Take() { return std::move(out_); }

 private:
  std::string out_;
  size_t line_ = 0;
};

std::string FieldText(const CommandField& field, uint8_t code, std::string_view name,
                      const std::map<int32_t, std::string>& anchors) {
  switch (field.kind) {
    case FieldKind::kExpr:
      return ExpressionText(field.expr);
    case FieldKind::kString:
    case FieldKind::kData:
      return Quote(field.text);
    case FieldKind::kInt:
      if (IsIndexField(code, name)) {
        if (auto it = anchors.find(field.number); it != anchors.end()) return "@" + it->second;
      }
      return std::to_string(field.number);
    case FieldKind::kByte:
      if (code == kOpVarNew && name == "type" && field.number < 5) {
        return std::string(kTypeNames[field.number]);
      }
      if (code == kOpVarNew && name == "scope" && field.number < 4) {
        return std::string(kScopeNames[field.number]);
      }
      return std::to_string(field.number);
    case FieldKind::kExprList: {
      std::string out = "[";
      for (const TNovuParser& e : field.list) out += " " + ExpressionText(e);
      return out + " ]";
    }
    case FieldKind::kProperties:
      return {};
  }
  return {};
}

std::string DefaultText(const CommandField& field, std::string_view name) {
  switch (field.kind) {
    case FieldKind::kExpr:
      return name == "if" ? "`TRUE`" : "ops()";
    case FieldKind::kString:
    case FieldKind::kData:
      return "\"\"";
    case FieldKind::kExprList:
      return "[ ]";
    default:
      return "0";
  }
}

void PrintSets(const TPage& page, Printer& out) {
  const int32_t count = page.stored_set_count();
  const int32_t size = page.stored_set_size();
  out.Line("sets " + std::to_string(count) + " " + std::to_string(size));
  const auto& bytes = page.stored_sets();
  if (size == 0) return;  // entries of no bytes carry nothing, however many there are
  for (int32_t i = 0; i < count; ++i) {
    const std::span<const uint8_t> entry(bytes.data() + static_cast<size_t>(i) * size,
                                         static_cast<size_t>(size));
    if (std::all_of(entry.begin(), entry.end(), [](uint8_t b) { return b == 0; })) continue;
    bool named = i < kOpcodeCount;
    for (size_t b = 0; b < entry.size(); ++b) {
      if (b >= kPropertySetBytes && entry[b] != 0) named = false;
    }
    if (entry.size() >= kPropertySetBytes && (entry[20] & 0xF8) != 0) named = false;
    if (!named) {
      out.Line("set_raw " + std::to_string(i) + " \"" + Hex(entry) + "\"");
      continue;
    }
    std::string line = "set " + std::string(OpcodeLayout(static_cast<uint8_t>(i)).name);
    for (int p = 0; p < kPropertyCount && static_cast<size_t>(p / 8) < entry.size(); ++p) {
      if ((entry[static_cast<size_t>(p / 8)] >> (p % 8)) & 1) line += " " + PropertyName(p);
    }
    out.Line(line);
  }
}

}  // namespace

std::string DisassemblePage(std::span<const uint8_t> data) {
  TPage page;
  if (page.Load("", data) != TPage::LoadResult::kLoaded) {
    throw NovuError(platform::Utf8ToCp932("the page version " + std::to_string(page.version()) +
                                          " cannot be shown"));
  }
  Printer out;
  const std::string result = page.result_type() < 5 ? std::string(kTypeNames[page.result_type()])
                                                    : std::to_string(page.result_type());
  out.Line("page version=" + std::to_string(page.version()) + " result=" + result);
  PrintSets(page, out);

  std::map<int32_t, std::string> anchors;
  for (int32_t i = 0; i < page.Count(); ++i) {
    const TCommand& command = page.Command(i);
    const auto& fields = OpcodeLayout(command.GetCode()).fields;
    for (size_t f = 0; f < fields.size(); ++f) {
      const int32_t target = command.fields()[f].number;
      if (IsIndexField(command.GetCode(), fields[f].name) && target >= 0 &&
          target <= page.Count()) {
        anchors.emplace(target, "L" + std::to_string(target));
      }
    }
  }

  for (int32_t i = 0; i <= page.Count(); ++i) {
    if (auto it = anchors.find(i); it != anchors.end()) out.Line(it->second + ":");
    if (i == page.Count()) break;
    const TCommand& command = page.Command(i);
    const CommandHeader& h = command.header();
    const bool indented = h.depth >= 0 && h.depth <= kMaxIndentedDepth;
    std::string line(indented ? static_cast<size_t>(h.depth * kIndentWidth) : 0, ' ');
    line += OpcodeLayout(command.GetCode()).name;
    const auto& fields = OpcodeLayout(command.GetCode()).fields;
    for (size_t f = 0; f < fields.size(); ++f) {
      const CommandField& field = command.fields()[f];
      if (!field.present) continue;
      if (field.kind == FieldKind::kProperties) {
        for (size_t p = 0; p < field.list.size(); ++p) {
          if (field.list[p].empty()) continue;
          line += " " + PropertyName(field.properties[p]) + "=" + ExpressionText(field.list[p]);
        }
        continue;
      }
      const std::string text = FieldText(field, command.GetCode(), fields[f].name, anchors);
      const bool positional =
          f == 0 && (field.kind == FieldKind::kExpr || field.kind == FieldKind::kString ||
                     field.kind == FieldKind::kData);
      const bool is_default = field.kind == FieldKind::kByte
                                  ? field.number == 0
                                  : text == DefaultText(field, fields[f].name);
      if (is_default) continue;
      if (positional) {
        line += " " + text;
      } else {
        line += " " + std::string(fields[f].name) + "=" + text;
      }
    }
    if (!indented) line += " depth=" + std::to_string(h.depth);
    if (!h.continue_flag) line += " stop";
    if (h.disabled) line += " disabled";
    if (h.opcode_byte != command.GetCode()) line += " opcode=" + std::to_string(h.opcode_byte);
    if (static_cast<size_t>(h.line) != out.next_line() || h.line < 0) {
      line += " line=" + std::to_string(h.line);
    }
    out.Line(std::move(line));
  }
  return out.Take();
}

// ================================================================ assembler

namespace {

struct CommandLine {
  size_t text_line = 0;
  uint8_t code = 0;
  int32_t depth = 0;
  std::map<std::string, Value> values;
  std::map<int, Value> properties;
  bool stop = false;
  bool disabled = false;
  std::optional<int32_t> line;
  std::optional<uint8_t> opcode_byte;
};

struct PageSource {
  int32_t version = kNewestPageVersion;
  uint8_t result_type = 0;
  std::optional<std::pair<int32_t, int32_t>> sets;  // count, size
  std::map<int32_t, std::vector<uint8_t>> raw_sets;
  std::map<int32_t, std::set<int>> named_sets;
  std::map<std::string, int32_t> anchors;
  std::vector<CommandLine> commands;
};

int32_t IntValue(const Value& v, const PageSource& page, size_t line) {
  if (v.kind == Value::kWord && v.text.starts_with("@")) {
    auto it = page.anchors.find(v.text.substr(1));
    if (it == page.anchors.end()) Fail(line, "unknown anchor " + v.text);
    return it->second;
  }
  auto n = v.kind == Value::kWord ? ToInteger(v.text) : std::nullopt;
  if (!n || *n < INT32_MIN || *n > INT32_MAX) Fail(line, "an integer is expected");
  return static_cast<int32_t>(*n);
}

uint8_t ByteValue(const Value& v, std::span<const std::string_view> names, size_t line) {
  for (size_t i = 0; i < names.size(); ++i) {
    if (v.kind == Value::kWord && v.text == names[i]) return static_cast<uint8_t>(i);
  }
  auto n = v.kind == Value::kWord ? ToInteger(v.text) : std::nullopt;
  if (!n || *n < 0 || *n > 255) Fail(line, "a byte value is expected");
  return static_cast<uint8_t>(*n);
}

std::vector<uint8_t> ExprValue(const Value& v, size_t line) {
  if (v.kind == Value::kOps) return ParseOps(v.text, line);
  if (v.kind != Value::kExprText) Fail(line, "an `expression` or ops( ) is expected");
  try {
    TBuildNovuParser build;
    build.Compile(platform::Utf8ToCp932(v.text));
    BinaryWriter out;
    build.SaveToStream(out);
    return out.Take();
  } catch (const NovuError& e) {
    Fail(line, "`" + v.text + "`: " + e.Utf8Message());
  }
}

std::vector<uint8_t> EmptyExpr() {
  return {0, 0, 0, 0};
}

void ParseDirective(const std::string& word, LineParser& in, PageSource& page) {
  const size_t line = in.line();
  if (word == "page") {
    while (!in.AtEnd()) {
      const std::string key = in.Word();
      if (!in.Take('=')) Fail(line, "key=value expected");
      const Value v = in.ParseValue();
      if (key == "version") {
        page.version = IntValue(v, page, line);
      } else if (key == "result") {
        page.result_type = ByteValue(v, kTypeNames, line);
      } else {
        Fail(line, "unknown page field " + key);
      }
    }
  } else if (word == "sets") {
    const int32_t count = IntValue(in.ParseValue(), page, line);
    const int32_t size = IntValue(in.ParseValue(), page, line);
    if (count < 0 || size < 0 || int64_t{count} * size > (1 << 20)) Fail(line, "bad table size");
    page.sets = {count, size};
  } else if (word == "set") {
    const std::string name = in.Word();
    const int code = FindOpcode(name);
    if (code < 0) Fail(line, "unknown command " + name);
    auto& set = page.named_sets[code];
    while (!in.AtEnd()) {
      const std::string prop = in.Word();
      const int p = PropertyNumber(prop);
      if (p < 0) Fail(line, "unknown property " + prop);
      set.insert(p);
    }
  } else if (word == "set_raw") {
    const int32_t index = IntValue(in.ParseValue(), page, line);
    auto bytes = FromHex(platform::Cp932ToUtf8(in.String()));
    if (!bytes || index < 0) Fail(line, "set_raw INDEX \"HEX\" expected");
    page.raw_sets[index] = std::move(*bytes);
  }
}

void ParseCommand(const std::string& name, int32_t depth, LineParser& in, PageSource& page) {
  const size_t line = in.line();
  const int code = FindOpcode(name);
  if (code < 0) Fail(line, "unknown command " + name);
  CommandLine command;
  command.text_line = line;
  command.code = static_cast<uint8_t>(code);
  command.depth = depth;
  std::vector<std::string> positional_keys;
  for (const FieldSpec& field : OpcodeLayout(command.code).fields) {
    if (field.kind != FieldKind::kProperties && page.version > field.after_version) {
      positional_keys.emplace_back(field.name);
    }
  }
  size_t positional = 0;
  while (!in.AtEnd()) {
    if (in.ValueNext()) {
      if (positional >= positional_keys.size()) Fail(line, "too many values");
      command.values[positional_keys[positional++]] = in.ParseValue();
      continue;
    }
    const std::string key = in.Word();
    if (!in.Take('=')) {
      if (key == "stop") {
        command.stop = true;
      } else if (key == "disabled") {
        command.disabled = true;
      } else {
        Fail(line, "unknown flag " + key);
      }
      continue;
    }
    Value v = in.ParseValue();
    if (key == "line") {
      command.line = IntValue(v, page, line);
    } else if (key == "depth") {
      command.depth = IntValue(v, page, line);
    } else if (key == "opcode") {
      command.opcode_byte = ByteValue(v, {}, line);
    } else if (const int p = PropertyNumber(key); key.starts_with("PR_") && p >= 0) {
      command.properties[p] = std::move(v);
    } else {
      command.values[key] = std::move(v);
    }
  }
  page.commands.push_back(std::move(command));
}

PropertySet SetOf(uint8_t code, const std::vector<uint8_t>& table, int32_t size) {
  PropertySet set{};
  const size_t kept = std::min<size_t>(static_cast<size_t>(size), kPropertySetBytes);
  if (static_cast<size_t>(code) * static_cast<size_t>(size) + kept <= table.size()) {
    std::copy_n(table.begin() + static_cast<ptrdiff_t>(code) * size, kept, set.begin());
  }
  return set;
}

void WriteCommand(BinaryWriter& out, const CommandLine& c, const PageSource& page,
                  const PropertySet& set) {
  const size_t line = c.text_line;
  out.U8(c.opcode_byte.value_or(c.code));
  out.I32(c.depth);
  out.U8(c.disabled ? 1 : 0);
  out.U8(c.stop ? 0 : 1);
  out.I32(c.line.value_or(static_cast<int32_t>(line)));
  std::set<std::string> used;
  for (const FieldSpec& field : OpcodeLayout(c.code).fields) {
    const std::string key(field.name);
    const auto it = c.values.find(key);
    const Value* v = it == c.values.end() ? nullptr : &it->second;
    if (page.version <= field.after_version) {
      if (v) Fail(line, key + " is not stored on pages of this version");
      continue;
    }
    if (v) used.insert(key);
    switch (field.kind) {
      case FieldKind::kExpr:
        if (v) {
          out.Bytes(ExprValue(*v, line));
        } else if (key == "if") {
          out.Bytes(ExprValue(Value{Value::kExprText, "TRUE", {}}, line));
        } else {
          out.Bytes(EmptyExpr());
        }
        break;
      case FieldKind::kString:
        if (v && v->kind != Value::kString) Fail(line, key + " needs a \"string\"");
        out.String(v ? v->text : std::string());
        break;
      case FieldKind::kData: {
        if (v && v->kind != Value::kString && v->kind != Value::kMarkup) {
          Fail(line, key + " needs a \"string\" or markup\"text\"");
        }
        const std::string data = !v                          ? std::string()
                                 : v->kind == Value::kMarkup ? CompileMarkup(v->text, line)
                                                             : v->text;
        out.I32(static_cast<int32_t>(data.size()));
        out.Bytes(data);
        break;
      }
      case FieldKind::kInt:
        out.I32(v ? IntValue(*v, page, line) : 0);
        break;
      case FieldKind::kByte: {
        std::span<const std::string_view> names;
        if (c.code == kOpVarNew && key == "type") names = kTypeNames;
        if (c.code == kOpVarNew && key == "scope") names = kScopeNames;
        out.U8(v ? ByteValue(*v, names, line) : 0);
        break;
      }
      case FieldKind::kExprList:
        if (v && v->kind != Value::kList) Fail(line, key + " needs a [ list ]");
        out.I32(v ? static_cast<int32_t>(v->items.size()) : 0);
        if (v) {
          for (const Value& item : v->items) out.Bytes(ExprValue(item, line));
        }
        break;
      case FieldKind::kProperties:
        for (const auto& [p, value] : c.properties) {
          if (!HasProperty(set, p)) {
            Fail(line, PropertyName(p) + " is not in this page's set for " +
                           std::string(OpcodeLayout(c.code).name));
          }
        }
        for (int p = 0; p < kPropertyCount; ++p) {
          if (!HasProperty(set, p)) continue;
          auto found = c.properties.find(p);
          out.Bytes(found == c.properties.end() ? EmptyExpr() : ExprValue(found->second, line));
        }
        break;
    }
  }
  for (const auto& [key, value] : c.values) {
    if (!used.contains(key)) Fail(line, "unknown field " + key);
  }
  if (!c.properties.empty() &&
      std::none_of(OpcodeLayout(c.code).fields.begin(), OpcodeLayout(c.code).fields.end(),
                   [](const FieldSpec& s) { return s.kind == FieldKind::kProperties; })) {
    Fail(line, "this command carries no properties");
  }
}

}  // namespace

std::vector<uint8_t> AssemblePage(std::string_view utf8_text, std::string_view page_name) {
  PageSource page;
  // Pass 1: anchors.
  {
    int32_t index = 0;
    size_t start = 0;
    size_t line = 0;
    while (start <= utf8_text.size()) {
      size_t end = utf8_text.find('\n', start);
      if (end == std::string_view::npos) end = utf8_text.size();
      std::string_view text = utf8_text.substr(start, end - start);
      start = end + 1;
      ++line;
      LineParser in(text, line);
      if (in.AtEnd()) continue;
      const std::string word = in.Word();
      if (word.starts_with("#") || word == "page" || word == "sets" || word == "set" ||
          word == "set_raw") {
        continue;
      }
      if (word.size() > 1 && word.back() == ':' && in.AtEnd()) {
        if (!page.anchors.emplace(word.substr(0, word.size() - 1), index).second) {
          Fail(line, "anchor " + word + " given twice");
        }
        continue;
      }
      ++index;
    }
  }
  // Pass 2: everything else.
  size_t start = 0;
  size_t line = 0;
  while (start <= utf8_text.size()) {
    size_t end = utf8_text.find('\n', start);
    if (end == std::string_view::npos) end = utf8_text.size();
    std::string_view text = utf8_text.substr(start, end - start);
    start = end + 1;
    ++line;
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    size_t indent = 0;
    while (indent < text.size() && text[indent] == ' ') ++indent;
    LineParser in(text, line);
    if (in.AtEnd()) continue;
    const std::string word = in.Word();
    if (word.starts_with("#")) continue;
    if (word == "page" || word == "sets" || word == "set" || word == "set_raw") {
      ParseDirective(word, in, page);
      continue;
    }
    if (word.back() == ':' && in.AtEnd()) continue;
    if (indent % kIndentWidth != 0) Fail(line, "indentation must be two spaces a level");
    ParseCommand(word, static_cast<int32_t>(indent / kIndentWidth), in, page);
  }

  // The stored property-set table.
  const auto [count, size] = page.sets.value_or(
      std::pair<int32_t, int32_t>{kOpcodeCount, static_cast<int32_t>(kPropertySetBytes)});
  std::vector<uint8_t> table(static_cast<size_t>(count) * static_cast<size_t>(size));
  std::map<int32_t, std::set<int>> named = page.named_sets;
  if (!page.sets) {
    // Without a declared table every property a command gives joins its opcode's set.
    for (const CommandLine& c : page.commands) {
      for (const auto& [p, value] : c.properties) named[c.code].insert(p);
    }
  }
  for (const auto& [code, props] : named) {
    if (code >= count)
      Fail(0, "the set table is too short for " +
                  std::string(OpcodeLayout(static_cast<uint8_t>(code)).name));
    for (int p : props) {
      if (p / 8 >= size) Fail(0, PropertyName(p) + " does not fit the set size");
      table[static_cast<size_t>(code) * size + static_cast<size_t>(p / 8)] |=
          static_cast<uint8_t>(1 << (p % 8));
    }
  }
  for (const auto& [index, bytes] : page.raw_sets) {
    if (index >= count || bytes.size() != static_cast<size_t>(size)) {
      Fail(0, "set_raw " + std::to_string(index) + " does not match the set table");
    }
    std::copy(bytes.begin(), bytes.end(), table.begin() + static_cast<ptrdiff_t>(index) * size);
  }

  BinaryWriter out;
  out.I32(page.version);
  out.U8(page.result_type);
  out.I32(count);
  out.I32(size);
  out.Bytes(table);
  out.I32(static_cast<int32_t>(page.commands.size()));
  for (const CommandLine& c : page.commands) {
    WriteCommand(out, c, page, SetOf(c.code, table, size));
  }
  std::vector<uint8_t> bytes = out.Take();
  // The result must load as a page.
  TPage check;
  check.Load(page_name, bytes);
  return bytes;
}

}  // namespace novu
