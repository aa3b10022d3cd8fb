#pragma once
// The operations of compiled expressions, stored as one byte.
#include <cstdint>
#include <string_view>

namespace novu {

enum OperationCode : uint8_t {
  ocNone = 0,
  ocTo = 1,         // =
  ocPlus = 2,       // +
  ocMinus = 3,      // - (also unary)
  ocMul = 4,        // *
  ocDiv = 5,        // /
  ocMod = 6,        // %
  ocOr = 7,         // |
  ocAnd = 8,        // &
  ocXor = 9,        // ^
  ocDimTo = 10,     // name[s1,...]
  ocFunc = 11,      // Name(a1,...)
  ocEqual = 12,     // ==
  ocBig = 13,       // >
  ocSmall = 14,     // <
  ocEBig = 15,      // >=
  ocESmall = 16,    // <=
  ocShiftL = 17,    // <<
  ocShiftR = 18,    // >>
  ocComboStr = 19,  // ++
  ocNEqual = 20,    // <>
};

inline constexpr int kOperationCodeCount = 21;

// "ocPlus" and so on; "oc?" for codes outside the table.
std::string_view OperationName(uint8_t code);
// The source form ("+", "==", ...), empty for ocNone, ocDimTo and ocFunc.
std::string_view OperatorText(uint8_t code);

}  // namespace novu
