#pragma once
// TNovuParser: one compiled expression in run form (a flat list of three-address operations,
// each writing into a named variable) and its evaluator. Every expression field of a command
// holds one; evaluating it leaves a standalone result value or none.
//
// Stream format: i32 operation count; per operation: u8 code, string target, i32 operand
// count (for ocFunc the argument count, without the name), for ocFunc a u8 function number,
// then each operand as a u8 tag and its payload: 1 i32, 2 ten-byte float, 3 one byte, 4 string
// constant, 0 string variable name.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "expr/custom_param.h"
#include "expr/operation_code.h"

namespace novu {

class BinaryReader;
class BinaryWriter;
class TParamCollection;
class TParamCollectionItem;

// Limits for compiled expressions read from files.
inline constexpr size_t kMaxOperations = size_t{1} << 20;
inline constexpr size_t kMaxOperands = 4096;

inline constexpr std::string_view kResultTemporary = "____arg";

struct TOpeData {
  uint8_t code = ocNone;
  std::string target;
  uint8_t function = 0;
  // Constants as value objects, variable names as unresolved TParamVar.
  std::vector<std::unique_ptr<TCustomParam>> operands;

  TOpeData() = default;
  TOpeData(TOpeData&&) = default;
  TOpeData& operator=(TOpeData&&) = default;
  TOpeData Copy() const;
  // The operand as it reads in source: a variable's name, else the value as text.
  std::string OperandText(size_t i) const;
};

class TNovuParser {
 public:
  TNovuParser();
  ~TNovuParser();
  TNovuParser(TNovuParser&&) noexcept;
  TNovuParser& operator=(TNovuParser&&) noexcept;

  void LoadFromStream(BinaryReader& in);
  void SaveToStream(BinaryWriter& out) const;
  // Copies of the other's operations.
  void Assign(const TNovuParser& other);
  // Compiles `text` and takes the operations through the stream form, so the function-name
  // and argument-count checks apply. Compile failures propagate.
  void LoadFromText(std::string_view text);

  // Runs the operations against `table`. Any failure ends the evaluation silently at that
  // operation; the result is then the value of "____arg" if it was made, usually none.
  void Evaluate(TParamCollection& table);
  const TCustomParam* result() const { return result_.get(); }
  // Why the last evaluation stopped early (CP932), empty when it ran to the end. Evaluation
  // stays silent; this is for traces and tools.
  const std::string& last_error() const { return last_error_; }
  std::unique_ptr<TCustomParam> TakeResult() { return std::move(result_); }

  const std::vector<TOpeData>& operations() const { return operations_; }
  bool empty() const { return operations_.empty(); }

 private:
  struct Plan;
  class Run;
  void Prepare();

  std::vector<TOpeData> operations_;
  std::unique_ptr<TCustomParam> result_;
  std::string last_error_;
  // Per-operation facts worked out once after loading, and cached name resolutions.
  std::unique_ptr<Plan> plan_;
};

// Trims `text`; empty: false. Otherwise compiles it (a compile failure gives false), evaluates
// it against `table` and gives true.
bool RunText(std::string_view text, TParamCollection& table);

}  // namespace novu
