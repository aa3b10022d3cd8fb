#pragma once
// The process-wide parts of a running player, created in start-up order and destroyed in
// reverse: code reaches them through this object, so a test can build a small one of its own.
#include <memory>

#include "core/process_state.h"
#include "engine/project.h"
#include "expr/param_collection.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/window.h"
#include "shell/game_hooks.h"
#include "shell/game_ini.h"
#include "storage/vr_file_manager.h"

namespace novu {

struct Runtime {
  ProcessState state;
  GameIniSettings settings;
  std::unique_ptr<platform::Clock> clock;
  std::unique_ptr<platform::MessageBoxService> messages;
  std::unique_ptr<platform::Window> window;
  std::unique_ptr<TVrFileManager> files;
  std::unique_ptr<TParamCollection> vars;
  std::unique_ptr<TProject> project;

  ~Runtime();
};

// The tick's hooks over the runtime's subsystems.
class RuntimeHooks : public GameHooks {
 public:
  explicit RuntimeHooks(Runtime& runtime) : runtime_(runtime) {}
  void Housekeeping() override;
  void RunScripts() override;
  bool RunPendingSaveLoad() override;

 private:
  Runtime& runtime_;
};

}  // namespace novu
