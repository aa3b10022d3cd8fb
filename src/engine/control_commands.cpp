#include "engine/control_commands.h"

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "core/process_state.h"
#include "engine/call_man.h"
#include "engine/object_commands.h"
#include "engine/page.h"
#include "engine/text_commands.h"
#include "expr/param_collection.h"
#include "platform/error.h"

namespace novu {
namespace {

// The fields of the commands' records, by their place in the record.
enum IfField : size_t { kIfCondition = 0 };  // If and Elseif
enum LabelField : size_t { kLabelName = 0 };
enum JumpField : size_t { kJumpPage = 0, kJumpIndex = 1, kJumpCondition = 2 };
enum CallField : size_t {
  kCallPage = 0,
  kCallIndex = 1,
  kCallResultVariable = 2,
  kCallCondition = 3,
  kCallArguments = 4,
};
enum ExitField : size_t { kExitCondition = 0, kExitTarget = 1 };  // Exit, Break and Continue
enum WaitField : size_t { kWaitCondition = 0, kWaitTime = 1, kWaitBlock = 2 };
enum CalcField : size_t { kCalcExpression = 0 };
enum VarNewField : size_t { kVarName = 0, kVarType = 1, kVarInitial = 2, kVarScope = 3 };
enum WhileField : size_t { kWhileCondition = 0, kWhileEnd = 1 };
enum WhileInitField : size_t { kWhileInitExpression = 0 };
enum WhileLoopField : size_t { kWhileLoopStep = 0, kWhileLoopHead = 1 };
enum ResetField : size_t { kResetPage = 0, kResetIndex = 1, kResetFull = 2 };  // PCReset, Reset
enum GameSaveField : size_t { kSaveSlot = 0, kSavePage = 1, kSaveIndex = 2, kSaveCaption = 3 };
enum GameLoadField : size_t { kLoadSlot = 0 };

bool IsTrue(TNovuParser& condition, TCallMan& calls) {
  return EvalBool(condition, calls.vars(), false);
}

// Leaves the page (returns from a call, or parks the main flow) or goes to `target`.
void GoTo(int32_t target, TPage*& page, int32_t& index) {
  if (target < 0) {
    page = nullptr;
  } else {
    index = target;
  }
}

}  // namespace

void TComIf::Execute(TCallMan& calls, TPage*& page, int32_t& index) {
  const int32_t self = index;
  ++index;
  if (IsTrue(Field(kIfCondition).expr, calls)) return;
  const int32_t depth = header().depth;
  TPage& here = *page;
  for (int32_t i = self + 1; i < here.Count(); ++i) {
    TCommand& next = here.Command(i);
    const int32_t d = next.header().depth;
    if (d > depth) continue;
    if (d < depth) {
      index = i;
      return;
    }
    if (next.GetCode() == kOpElseif) {
      if (!next.GetDisabled() && IsTrue(next.fields().at(kIfCondition).expr, calls)) {
        index = i + 1;
        return;
      }
      continue;
    }
    index = next.GetCode() == kOpElse ? i + 1 : i;
    return;
  }
  index = here.Count();
}

namespace {

// Skips the commands nested below the one at `index`.
void SkipNested(const TPage& page, int32_t depth, int32_t& index) {
  ++index;
  while (index < page.Count() && page.Command(index).header().depth > depth) ++index;
}

}  // namespace

void TComElseif::Execute(TCallMan& /*calls*/, TPage*& page, int32_t& index) {
  SkipNested(*page, header().depth, index);
}

void TComElse::Execute(TCallMan& /*calls*/, TPage*& page, int32_t& index) {
  SkipNested(*page, header().depth, index);
}

bool TComLabel::MatchesLabel(std::string_view name) const {
  return Field(kLabelName).text == name;
}

void TComJump::Execute(TCallMan& calls, TPage*& page, int32_t& index) {
  ++index;
  if (!IsTrue(Field(kJumpCondition).expr, calls)) return;
  const std::string& target = Field(kJumpPage).text;
  if (!calls.host().FileAvailable(target)) return;
  TPage* next = calls.GetPage(target, true);
  page = next;
  index = Field(kJumpIndex).number;
}

void TComCall::Execute(TCallMan& calls, TPage*& page, int32_t& index) {
  ++index;
  if (!IsTrue(Field(kCallCondition).expr, calls)) return;
  const std::string& target = Field(kCallPage).text;
  if (!calls.host().FileAvailable(target)) return;
  std::vector<std::string> args;
  for (TNovuParser& arg : Field(kCallArguments).list) {
    if (auto text = EvalStr(arg, calls.vars())) args.push_back(std::move(*text));
  }
  calls.EnterCall(page, index, target, Field(kCallIndex).number, Field(kCallResultVariable).text,
                  std::move(args));
}

void TComExit::Execute(TCallMan& calls, TPage*& page, int32_t& index) {
  if (IsTrue(Field(kExitCondition).expr, calls)) {
    page = nullptr;
  } else {
    ++index;
  }
}

void TComBreak::Execute(TCallMan& calls, TPage*& page, int32_t& index) {
  if (IsTrue(Field(kExitCondition).expr, calls)) {
    GoTo(Field(kExitTarget).number, page, index);
  } else {
    ++index;
  }
}

void TComContinue::Execute(TCallMan& calls, TPage*& page, int32_t& index) {
  ++index;
  if (IsTrue(Field(kExitCondition).expr, calls)) GoTo(Field(kExitTarget).number, page, index);
}

void TComWait::Begin(TCallMan& calls) {
  WaitProgress& progress = calls.BeginProgress<WaitProgress>();
  progress.remaining_ms = EvalInt(Field(kWaitTime).expr, calls.vars(), 0);
  progress.first_tick = true;
  progress.block_events =
      Field(kWaitBlock).present && EvalBool(Field(kWaitBlock).expr, calls.vars(), false);
}

void TComWait::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  if (!EvalBool(Field(kWaitCondition).expr, calls.vars(), true)) {
    ++index;
    return;
  }
  WaitProgress* progress = calls.Progress<WaitProgress>();
  if (progress != nullptr && progress->remaining_ms != 0) {
    if (progress->first_tick) {
      progress->first_tick = false;
    } else {
      progress->remaining_ms -= calls.state().frame_delta;
      if (progress->remaining_ms <= 0) {
        ++index;
        return;
      }
    }
  }
  calls.SetContinue(false);
}

std::unique_ptr<CommandProgress> TComWait::MakeProgress() const {
  return std::make_unique<WaitProgress>();
}

void TComCalc::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  Run(Field(kCalcExpression).expr, calls.vars());
}

void TComVarNew::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  // Scope codes other than the four behave as global; the table refuses unknown type codes.
  const int32_t scope = Field(kVarScope).number;
  const VarScope var_scope =
      scope >= 1 && scope <= 3 ? static_cast<VarScope>(scope) : VarScope::kGlobal;
  calls.vars().Declare(Field(kVarName).text, static_cast<ParamType>(Field(kVarType).number),
                       var_scope, &Field(kVarInitial).expr);
}

void TComVarDel::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  calls.vars().Delete(Field(kVarName).text);
}

void TComWhile::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  if (!IsTrue(Field(kWhileCondition).expr, calls)) index = Field(kWhileEnd).number;
}

void TComWhileInit::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  Run(Field(kWhileInitExpression).expr, calls.vars());
}

void TComWhileLoop::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  index = Field(kWhileLoopHead).number;
  Run(Field(kWhileLoopStep).expr, calls.vars());
}

void TComPCReset::Execute(TCallMan& calls, TPage*& page, int32_t& index) {
  calls.ResetTo(Field(kResetPage).text, Field(kResetIndex).number, Field(kResetFull).number != 0,
                page, index);
}

void TComReset::Execute(TCallMan& calls, TPage*& page, int32_t& index) {
  calls.HardReset(Field(kResetPage).text, Field(kResetIndex).number, page, index);
}

void TComTerminate::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  calls.state().terminate = true;
  calls.host().RequestClose();
}

void TComSaveLoad::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  if (GetCode() == kOpGameLoad) {
    calls.host().RequestGameLoad(EvalInt(Field(kLoadSlot).expr, calls.vars(), 0));
    return;
  }
  GameSaveRequest request;
  request.slot = EvalInt(Field(kSaveSlot).expr, calls.vars(), 0);
  request.resume_page = Field(kSavePage).text;
  if (Field(kSaveIndex).present) request.resume_index = Field(kSaveIndex).number;
  if (Field(kSaveCaption).present) {
    request.caption = EvalStr(Field(kSaveCaption).expr, calls.vars()).value_or(std::string());
  }
  calls.host().RequestGameSave(std::move(request));
}

std::unique_ptr<TCommand> MakeCommand(TPage& page, uint8_t code) {
  switch (code) {
    case kOpIf:
      return std::make_unique<TComIf>(page, code);
    case kOpElseif:
      return std::make_unique<TComElseif>(page, code);
    case kOpElse:
      return std::make_unique<TComElse>(page, code);
    case kOpLabel:
      return std::make_unique<TComLabel>(page, code);
    case kOpJump:
      return std::make_unique<TComJump>(page, code);
    case kOpCall:
      return std::make_unique<TComCall>(page, code);
    case kOpExit:
      return std::make_unique<TComExit>(page, code);
    case kOpWait:
      return std::make_unique<TComWait>(page, code);
    case kOpCalc:
      return std::make_unique<TComCalc>(page, code);
    case kOpVarNew:
      return std::make_unique<TComVarNew>(page, code);
    case kOpVarDel:
      return std::make_unique<TComVarDel>(page, code);
    case kOpComment:
      return std::make_unique<TComComment>(page, code);
    case kOpWhile:
      return std::make_unique<TComWhile>(page, code);
    case kOpWhileInit:
      return std::make_unique<TComWhileInit>(page, code);
    case kOpWhileLoop:
      return std::make_unique<TComWhileLoop>(page, code);
    case kOpBreak:
      return std::make_unique<TComBreak>(page, code);
    case kOpContinue:
      return std::make_unique<TComContinue>(page, code);
    case kOpGameSave:
    case kOpGameLoad:
      return std::make_unique<TComSaveLoad>(page, code);
    case kOpPCReset:
      return std::make_unique<TComPCReset>(page, code);
    case kOpReset:
      return std::make_unique<TComReset>(page, code);
    case kOpTerminate:
      return std::make_unique<TComTerminate>(page, code);
    case kOpDoEvent:
      return std::make_unique<TComDoEvent>(page, code);
    case kOpFlip:
      return std::make_unique<TComFlip>(page, code);
    case kOpGetProp:
      return std::make_unique<TComGetProp>(page, code);
    case kOpSetProp:
      return std::make_unique<TComSetProp>(page, code);
    case kOpObjDel:
      return std::make_unique<TComObjDel>(page, code);
    case kOpPropMotion:
      return std::make_unique<TComPropMotion>(page, code);
    case kOpMediaPlay:
      return std::make_unique<TComMediaPlay>(page, code);
    case kOpMovieStop:
      return std::make_unique<TComMovieStop>(page, code);
    case kOpTextIns:
      return std::make_unique<TComTextIns>(page, code);
    case kOpTextClr:
      return std::make_unique<TComTextClr>(page, code);
    case kOpCallHist:
      return std::make_unique<TComCallHist>(page, code);
    case kOpClrHist:
      return std::make_unique<TComClrHist>(page, code);
    case kOpFormatHist:
      return std::make_unique<TComEntryHist>(page, code);
    case kOpClrRead:
      return std::make_unique<TComClrRead>(page, code);
    case kOpMenuClose:
      return std::make_unique<TComMenuClose>(page, code);
    case kOpSaveCabinet:
    case kOpLoadCabinet:
      return std::make_unique<TComCabinet>(page, code);
    default:
      if (const auto type = CreatedComponentType(code)) {
        return std::make_unique<TComComponent>(page, code, *type);
      }
      return std::make_unique<TCommand>(page, code);
  }
}

}  // namespace novu
