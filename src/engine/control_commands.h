#pragma once
// The command classes of control flow and variables, and the factory that makes the command
// object of every opcode. Commands whose behaviour lives elsewhere load their whole record and,
// until then, only advance the index when executed.
#include <cstdint>
#include <memory>
#include <string_view>

#include "engine/command.h"

namespace novu {

std::unique_ptr<TCommand> MakeCommand(TPage& page, uint8_t code);

class TComIf : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

// Reached by falling out of a taken branch: skips the rest of the chain.
class TComElseif : public TComIf {
 public:
  using TComIf::TComIf;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

class TComElse : public TCommand {
 public:
  using TCommand::TCommand;
  bool GetContinue() const override { return true; }
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

class TComLabel : public TCommand {
 public:
  using TCommand::TCommand;
  bool MatchesLabel(std::string_view name) const override;
};

class TComComment : public TComLabel {
 public:
  using TComLabel::TComLabel;
  bool GetDisabled() const override { return true; }
  bool MatchesLabel(std::string_view /*name*/) const override { return false; }
};

class TComJump : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

class TComCall : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

class TComExit : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

class TComBreak : public TComExit {
 public:
  using TComExit::TComExit;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

class TComContinue : public TComExit {
 public:
  using TComExit::TComExit;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

// Wait: holds the flow for a time, or while its condition holds (its progress: WaitProgress).
class TComWait : public TCommand {
 public:
  using TCommand::TCommand;
  bool YieldsToEvents(const CommandProgress* /*progress*/) const override { return true; }
  void Begin(TCallMan& calls) override;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
  std::unique_ptr<CommandProgress> MakeProgress() const override;
};

class TComCalc : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

class TComVarNew : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

class TComVarDel : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

class TComWhile : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

// A command the editor adds around loops; never ends a tick.
class TComRuntime : public TCommand {
 public:
  using TCommand::TCommand;
  bool GetContinue() const override { return true; }
};

class TComWhileInit : public TComRuntime {
 public:
  using TComRuntime::TComRuntime;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

class TComWhileLoop : public TComWhileInit {
 public:
  using TComWhileInit::TComWhileInit;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

class TComPCReset : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

class TComReset : public TComPCReset {
 public:
  using TComPCReset::TComPCReset;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

class TComTerminate : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

class TComDoEvent : public TCommand {
 public:
  using TCommand::TCommand;
  bool GetContinue() const override { return false; }
  bool YieldsToEvents(const CommandProgress* /*progress*/) const override { return true; }
};

// GameSave and GameLoad never end a tick: they only record the request, which the project
// carries out after the tick's update.
class TComSaveLoad : public TCommand {
 public:
  using TCommand::TCommand;
  bool GetContinue() const override { return true; }
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

}  // namespace novu
