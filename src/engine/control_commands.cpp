#include "engine/control_commands.h"

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "core/error.h"
#include "core/process_state.h"
#include "engine/call_man.h"
#include "engine/object_commands.h"
#include "engine/page.h"
#include "expr/param_collection.h"

namespace novu {
namespace {

// Tag in front of a saved command state; the digits are its version.
constexpr std::string_view kStateTag = "novu100";

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

// Reads the optional 7-byte tag "novuNNN"; gives its version, or 0 (and rewinds) without one.
int32_t ReadStateTag(BinaryReader& in) {
  const size_t start = in.position();
  if (in.remaining() >= kStateTag.size()) {
    const std::string tag = in.BytesAsString(kStateTag.size());
    int32_t version = 0;
    bool digits = tag.starts_with("novu");
    for (char c : std::string_view(tag).substr(4)) {
      digits = digits && c >= '0' && c <= '9';
      version = version * 10 + (c - '0');
    }
    if (digits) return version;
  }
  in.Seek(start);
  return 0;
}

}  // namespace

void TComIf::Execute(TCallMan& calls, TPage*& page, int32_t& index) {
  const int32_t self = index;
  ++index;
  if (IsTrue(Field(0).expr, calls)) return;
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
      if (!next.GetDisabled() && IsTrue(next.fields().at(0).expr, calls)) {
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
  return Field(0).text == name;
}

void TComJump::Execute(TCallMan& calls, TPage*& page, int32_t& index) {
  ++index;
  if (!IsTrue(Field(2).expr, calls)) return;
  const std::string& target = Field(0).text;
  if (!calls.host().FileAvailable(target)) return;
  TPage* next = calls.GetPage(target, true);
  page = next;
  index = Field(1).number;
}

void TComCall::Execute(TCallMan& calls, TPage*& page, int32_t& index) {
  ++index;
  if (!IsTrue(Field(3).expr, calls)) return;
  const std::string& target = Field(0).text;
  if (!calls.host().FileAvailable(target)) return;
  std::vector<std::string> args;
  for (TNovuParser& arg : Field(4).list) {
    if (auto text = EvalStr(arg, calls.vars())) args.push_back(std::move(*text));
  }
  calls.EnterCall(page, index, target, Field(1).number, Field(2).text, std::move(args));
}

void TComExit::Execute(TCallMan& calls, TPage*& page, int32_t& index) {
  if (IsTrue(Field(0).expr, calls)) {
    page = nullptr;
  } else {
    ++index;
  }
}

void TComBreak::Execute(TCallMan& calls, TPage*& page, int32_t& index) {
  if (IsTrue(Field(0).expr, calls)) {
    GoTo(Field(1).number, page, index);
  } else {
    ++index;
  }
}

void TComContinue::Execute(TCallMan& calls, TPage*& page, int32_t& index) {
  ++index;
  if (IsTrue(Field(0).expr, calls)) GoTo(Field(1).number, page, index);
}

void TComWait::Begin(TCallMan& calls) {
  remaining_ = EvalInt(Field(1).expr, calls.vars(), 0);
  first_tick_ = true;
  block_events_ = Field(2).present && EvalBool(Field(2).expr, calls.vars(), false);
}

void TComWait::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  if (!EvalBool(Field(0).expr, calls.vars(), true)) {
    ++index;
    return;
  }
  if (remaining_ != 0) {
    if (first_tick_) {
      first_tick_ = false;
    } else {
      remaining_ -= calls.state().frame_delta;
      if (remaining_ <= 0) {
        ++index;
        return;
      }
    }
  }
  calls.SetContinue(false);
}

void TComWait::SaveState(std::optional<std::vector<uint8_t>>& state) const {
  BinaryWriter out;
  out.Bytes(kStateTag);
  out.I32(remaining_);
  out.I32(first_tick_ ? 1 : 0);
  out.U8(block_events_ ? 1 : 0);
  if (!state) state.emplace();
  state->insert(state->end(), out.bytes().begin(), out.bytes().end());
}

void TComWait::LoadState(BinaryReader& in) {
  const int32_t version = ReadStateTag(in);
  remaining_ = in.I32();
  first_tick_ = in.I32() != 0;
  if (version >= 100) block_events_ = in.U8() != 0;
}

void TComCalc::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  Run(Field(0).expr, calls.vars());
}

void TComVarNew::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  // Scope codes other than the four behave as global; the table refuses unknown type codes.
  const int32_t scope = Field(3).number;
  const VarScope var_scope =
      scope >= 1 && scope <= 3 ? static_cast<VarScope>(scope) : VarScope::kGlobal;
  calls.vars().Declare(Field(0).text, static_cast<ParamType>(Field(1).number), var_scope,
                       &Field(2).expr);
}

void TComVarDel::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  calls.vars().Delete(Field(0).text);
}

void TComWhile::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  if (!IsTrue(Field(0).expr, calls)) index = Field(1).number;
}

void TComWhileInit::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  Run(Field(0).expr, calls.vars());
}

void TComWhileLoop::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  index = Field(1).number;
  Run(Field(0).expr, calls.vars());
}

void TComPCReset::Execute(TCallMan& calls, TPage*& page, int32_t& index) {
  calls.ResetTo(Field(0).text, Field(1).number, Field(2).number != 0, page, index);
}

void TComReset::Execute(TCallMan& calls, TPage*& page, int32_t& index) {
  calls.HardReset(Field(0).text, Field(1).number, page, index);
}

void TComTerminate::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  calls.state().terminate = true;
  calls.host().RequestClose();
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
