// novutool expr: shows the operations the expression compiler makes for a text, optionally
// writes them in the stream form of script pages and evaluates them against an empty table,
// with the system functions that need no running game (text, numbers, arrays, dates, paths).
#include <cstdio>
#include <fstream>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "core/process_random.h"
#include "expr/build_novu_parser.h"
#include "expr/novu_parser.h"
#include "expr/param_collection.h"
#include "expr/param_var.h"
#include "expr/sys_func_man.h"
#include "expr/system_function.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "platform/text_encoding.h"
#include "tool_command.h"

namespace novu::tool {
namespace {

std::string Utf8(std::string_view cp932) {
  return platform::Cp932ToUtf8(cp932);
}

std::string DescribeOperand(const TCustomParam& operand) {
  if (operand.IsReference()) return Utf8(static_cast<const TParamVar&>(operand).name());
  if (operand.GetParamType() == PT_STR) return "\"" + Utf8(operand.GetAsStr()) + "\"";
  return operand.GetAsStr();
}

std::string DescribeOperation(const TOpeData& op) {
  std::string line = Utf8(op.target) + " = " + std::string(OperationName(op.code));
  if (op.code == ocFunc) {
    line += " ";
    line += op.function < kSystemFunctionCount ? std::string(SystemFunctionAt(op.function).name)
                                               : std::string("?");
    line += "#" + std::to_string(op.function);
  }
  for (size_t i = 0; i < op.operands.size(); ++i) {
    line += (i == 0 ? " " : ", ") + DescribeOperand(*op.operands[i]);
  }
  return line;
}

int RunExpr(const Args& given) {
  Args args = given;
  const std::string output = TakeOption(args, "-o");
  const bool evaluate = TakeFlag(args, "--eval");
  if (args.size() != 1) return Usage("expr");
  try {
    TBuildNovuParser builder;
    builder.Compile(platform::Utf8ToCp932(args[0]));
    BinaryWriter stream;
    builder.SaveToStream(stream);
    TNovuParser parser;
    BinaryReader in(std::span<const uint8_t>(stream.bytes()));
    parser.LoadFromStream(in);
    for (size_t i = 0; i < parser.operations().size(); ++i) {
      std::printf("%zu: %s\n", i, DescribeOperation(parser.operations()[i]).c_str());
    }
    if (!output.empty()) platform::WriteFileAtomically(output, stream.bytes());
    if (evaluate) {
      ProcessRandom random(0);
      SysFuncMan functions(random);
      TParamCollection table;
      table.SetFunctions(&functions);
      parser.Evaluate(table);
      table.SetFunctions(nullptr);
      const TCustomParam* result = parser.result();
      std::printf("result: %s\n", result ? DescribeOperand(*result).c_str() : "(none)");
      // An evaluation that stopped is a failure of the command, with the evaluator's reason.
      if (!parser.last_error().empty()) {
        std::printf("stopped: %s\n", Utf8(parser.last_error()).c_str());
        return Fail("the evaluation stopped: " + Utf8(parser.last_error()));
      }
    }
    return 0;
  } catch (const NovuError& e) {
    return Fail(e.Utf8Message());
  }
}

NOVU_TOOL_COMMAND("expr", "[-o STREAM_FILE] [--eval] TEXT",
                  "show the operations compiled from an expression", RunExpr);

}  // namespace
}  // namespace novu::tool
