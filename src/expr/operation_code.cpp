#include "expr/operation_code.h"

#include <array>

namespace novu {
namespace {

struct OperationText {
  std::string_view name;
  std::string_view op;
};

constexpr std::array<OperationText, kOperationCodeCount> kOperations = {{
    {"ocNone", ""},     {"ocTo", "="},      {"ocPlus", "+"},    {"ocMinus", "-"},
    {"ocMul", "*"},     {"ocDiv", "/"},     {"ocMod", "%"},     {"ocOr", "|"},
    {"ocAnd", "&"},     {"ocXor", "^"},     {"ocDimTo", ""},    {"ocFunc", ""},
    {"ocEqual", "=="},  {"ocBig", ">"},     {"ocSmall", "<"},   {"ocEBig", ">="},
    {"ocESmall", "<="}, {"ocShiftL", "<<"}, {"ocShiftR", ">>"}, {"ocComboStr", "++"},
    {"ocNEqual", "<>"},
}};

}  // namespace

std::string_view OperationName(uint8_t code) {
  return code < kOperations.size() ? kOperations[code].name : std::string_view("oc?");
}

std::string_view OperatorText(uint8_t code) {
  return code < kOperations.size() ? kOperations[code].op : std::string_view();
}

}  // namespace novu
