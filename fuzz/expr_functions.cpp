// Fuzz target: system functions called directly with random numbers and arguments. Each record
// is a function number, an argument count and, per argument, a kind byte (int, float, bool or
// string constant, or a variable of one of the four types, scalar or array) and its payload.
// A call may fail with the general error; it must never crash.
#include <cstdint>
#include <memory>
#include <vector>

#include "core/binary_reader.h"
#include "core/process_random.h"
#include "expr/db_manager.h"
#include "expr/param_collection.h"
#include "expr/param_var.h"
#include "expr/sys_func_man.h"
#include "platform/error.h"
#include "storage/vr_file_manager.h"

namespace {

using namespace novu;

std::unique_ptr<TCustomParam> Constant(BinaryReader& in, uint8_t kind) {
  std::unique_ptr<TCustomParam> v = MakeParam(static_cast<uint8_t>(1 + kind % 4));
  switch (kind % 4) {
    case 0:
      v->SetAsInt(in.I32());
      break;
    case 1:
      v->SetAsFloat(static_cast<long double>(in.I32()) / 7.0L);
      break;
    case 2:
      v->SetAsBool((in.U8() & 1) != 0);
      break;
    default: {
      const uint8_t length = in.U8();
      std::string s;
      for (uint8_t i = 0; i < length; ++i) s.push_back(static_cast<char>(in.U8()));
      v->SetAsStr(s);
      break;
    }
  }
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ProcessRandom random(1);
  // The data tables the table functions work on, and an empty file system for DBLoadTsvFile.
  TDBManager tables;
  TVrFileManager files(std::vector<std::filesystem::path>{});
  SysFuncMan functions(random);
  RegisterDataTableFunctions(functions, tables, files);
  TParamCollection table;
  table.SetFunctions(&functions);
  // Variables the calls may name: one of each type, the int and string ones arrays.
  const char* names[] = {"vi", "vf", "vb", "vs"};
  for (int t = 0; t < 4; ++t) {
    table.Declare(names[t], static_cast<ParamType>(t + 1), VarScope::kGlobal, nullptr);
  }
  const int32_t sizes[] = {3, 2};
  table.Find("vi")->value().SetDims(sizes);
  table.Find("vs")->value().SetDims(std::span<const int32_t>(sizes, 1));
  BinaryReader in(std::span<const uint8_t>(data, size));
  try {
    while (in.remaining() > 0) {
      const uint8_t number = in.U8();
      const uint8_t count = in.U8() % 8;
      std::vector<std::unique_ptr<TCustomParam>> owned;
      std::vector<TCustomParam*> args;
      for (uint8_t i = 0; i < count; ++i) {
        const uint8_t kind = in.U8();
        if (kind & 0x80) {
          auto ref = std::make_unique<TParamVar>(names[kind % 4]);
          ref->Resolve(table);
          owned.push_back(std::move(ref));
        } else {
          owned.push_back(Constant(in, kind));
        }
        args.push_back(owned.back().get());
      }
      const SystemFunctionInfo& info = SystemFunctionAt(number % kSystemFunctionCount);
      std::unique_ptr<TCustomParam> result =
          MakeParam(info.result_type == PT_NONE ? PT_STR : info.result_type);
      table.BeginEvaluation();
      try {
        functions.Call(number % kSystemFunctionCount, *result, args, table);
      } catch (const NovuError&) {
      }
      table.EndEvaluation();
      // Functions may free or reshape the variables: make them again when they are gone.
      for (int t = 0; t < 4; ++t) {
        if (table.Find(names[t]) == nullptr) {
          table.Declare(names[t], static_cast<ParamType>(t + 1), VarScope::kGlobal, nullptr);
        }
      }
    }
  } catch (const NovuError&) {
  }
  table.SetFunctions(nullptr);
  return 0;
}
