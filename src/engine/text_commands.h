#pragma once
// The text and history commands: TextIns fills a message window from the compiled text it
// carries and may hold the script until the window is emptied (its progress: TextInsProgress);
// TextClr empties a window; CallHist shows a range of the history in a window, ClrHist and
// ClrRead forget the history and the read marks, FormatHist registers a history format;
// MenuClose closes a menu with its closing effect. Each advances its index before anything that
// can fail.
#include <cstdint>
#include <string>

#include "engine/command.h"

namespace novu {

class TComTextIns : public TCommand {
 public:
  using TCommand::TCommand;
  void Begin(TCallMan& calls) override;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
  bool YieldsToEvents(const CommandProgress* progress) const override;
};

class TComTextClr : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

class TComCallHist : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

class TComClrHist : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

// FormatHist.
class TComEntryHist : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

class TComClrRead : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

// MenuClose: starts the closing effect of the named menu and keeps the name of the menu it
// closed.
class TComMenuClose : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
  const std::string& closed() const { return closed_; }

 private:
  std::string closed_;
};

}  // namespace novu
