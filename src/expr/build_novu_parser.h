#pragma once
// TBuildNovuParser: the expression compiler. It turns source text such as
//   x = a[i, 2] * (b + 1) ++ IntToStr(n)
// into a flat list of three-address operations, each writing into a named variable:
// intermediate values go into temporaries "____N", element references into "____d_N", and the
// value of an expression that is not an assignment into "____arg". The list is written in the
// stream format TNovuParser reads; that is where function names and argument counts are
// checked.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "expr/operation_code.h"

namespace novu {

class BinaryWriter;

struct TBuildOpeData {
  uint8_t code = ocNone;
  std::string target;
  // Operand texts; for ocFunc operand 0 is the function name.
  std::vector<std::string> operands;
};

class TBuildNovuParser {
 public:
  // Replaces the list with the operations for `text`; "構文エラー" (or a subscript message)
  // on a syntax error.
  void Compile(std::string_view text);
  // Fails with "\"%s\" 関数名がありません" for an unknown function and with the name followed
  // by " 引数の数が不正です" for a wrong argument count.
  void SaveToStream(BinaryWriter& out) const;

  const std::vector<TBuildOpeData>& operations() const { return operations_; }

 private:
  class Compiler;

  std::vector<TBuildOpeData> operations_;
  int counter_ = 0;
};

}  // namespace novu
