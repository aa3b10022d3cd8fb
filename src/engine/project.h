#pragma once
// TProject: the running game. Its constructor reads the project file and applies its settings;
// the rest of the start-up sequence (status data, variables, the call manager) joins it as the
// script engine grows.
#include <functional>
#include <memory>
#include <string>

#include "core/process_state.h"
#include "engine/project_setting.h"
#include "platform/message_box.h"
#include "storage/vr_file_manager.h"

namespace novu {

// What the project needs from the program around it.
struct ProjectEnvironment {
  ProcessState& state;
  TVrFileManager& files;
  platform::MessageBoxService& messages;
  // Receives the game title (CP932) for the application and the window caption.
  std::function<void(const std::string&)> set_title;
};

class TProject {
 public:
  // Runs the start-up sequence. On a fatal condition the terminate flag stays set (a missing
  // project file ends silently, an empty one with a warning box); a project file that is too
  // new raises NovuError.
  explicit TProject(ProjectEnvironment env);
  ~TProject();
  TProject(const TProject&) = delete;
  TProject& operator=(const TProject&) = delete;

  // One tick of the interpreter.
  void RunScripts();
  // Executes a pending game load (returns true) and then a pending save.
  bool RunPendingSaveLoad();

  // True when construction succeeded.
  bool started() const { return started_; }
  const TProjectSetting& setting() const { return setting_; }
  int screen_center_x() const { return setting_.screen_width / 2; }
  int screen_center_y() const { return setting_.screen_height / 2; }
  int pending_load_slot() const { return pending_load_slot_; }
  int pending_save_slot() const { return pending_save_slot_; }

 private:
  ProjectEnvironment env_;
  TProjectSetting setting_;
  bool started_ = false;
  int pending_load_slot_ = -1;
  int pending_save_slot_ = -1;
};

}  // namespace novu
