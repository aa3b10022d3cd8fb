#pragma once
// The process-wide parts of a running player, created in start-up order and destroyed in
// reverse: code reaches them through this object, so a test can build a small one of its own.
#include <memory>

#include "controls/fipo_collection.h"
#include "controls/novu_history.h"
#include "controls/novu_read_list.h"
#include "controls/text_entry_focus.h"
#include "core/process_state.h"
#include "engine/project.h"
#include "engine/script_texts.h"
#include "expr/db_manager.h"
#include "expr/param_collection.h"
#include "expr/sys_func_man.h"
#include "media/media_service.h"
#include "objects/base_list.h"
#include "platform/clock.h"
#include "platform/desktop_services.h"
#include "platform/http_client.h"
#include "platform/message_box.h"
#include "platform/window.h"
#include "shell/game_hooks.h"
#include "shell/game_ini.h"
#include "shell/screen_manager.h"
#include "shell/screen_variable_host.h"
#include "storage/vr_file_manager.h"
#include "text/font_pixel.h"

namespace novu {

struct Runtime {
  ProcessState state;
  GameIniSettings settings;
  std::unique_ptr<platform::Clock> clock;
  std::unique_ptr<platform::MessageBoxService> messages;
  std::unique_ptr<platform::Window> window;
  std::unique_ptr<TVrFileManager> files;
  std::unique_ptr<TParamCollection> vars;
  // The data tables scripts keep; the system functions and the project work on them.
  std::unique_ptr<TDBManager> tables;
  // The clock the mixer times its fills with: the system clock, or the virtual one when headless.
  std::unique_ptr<platform::Clock> media_clock;
  // Outlives the object list: sound controls hand their items back to it as they are freed.
  std::unique_ptr<media::MediaService> media;
  // URLs and file dialogs for the script functions.
  std::unique_ptr<platform::DesktopServices> desktop;
  // The system functions expressions call; installed in the variable table.
  std::unique_ptr<SysFuncMan> functions;
  // The image cache outlives the object list: the pictures let go of it as they are freed.
  std::unique_ptr<TFipoCollection> images;
  // What message windows draw with and read from; they outlive the object list too.
  std::unique_ptr<text::TFontPixelManager> glyphs;
  std::unique_ptr<ScriptTexts> texts;
  std::unique_ptr<TNovuReadList> reads;
  std::unique_ptr<TNovuHistoryFormatManager> histories;
  // Which edit box holds the keyboard; the boxes drop it as they are freed.
  std::unique_ptr<TextEntryFocus> text_entry = std::make_unique<TextEntryFocus>();
  // Downloads run on it; it outlives the object list, whose download objects abort theirs.
  std::unique_ptr<platform::HttpClient> http;
  std::unique_ptr<TNovuBaseList> objects;
  // The object list and screen variables, chained behind the interpreter's own.
  std::unique_ptr<ScreenVariableHost> variable_host;
  std::unique_ptr<TProject> project;
  // Saves the project's queue inside the object list's state; freed before the project.
  std::unique_ptr<TNovuBaseList::EventQueueStreamer> event_streamer;
  // Exists once the project has a screen size.
  std::unique_ptr<TScreenManager> screens;

  // Creates the screen manager for the project's screen and lets the object list compose into
  // its surface.
  void CreateScreens(int screen_width, int screen_height, int full_width, int full_height);
  // Objects post their events into the project's queue, which the interpreter takes them from.
  void ConnectProject();
  // Creates the system functions over the runtime's parts (the object list, the files, the
  // desktop and, once it exists, the project) and installs them in the variable table.
  void InstallFunctions();
  // Frees the project (its exit page runs) once the objects no longer post into its queue.
  void FreeProject();

  ~Runtime();
};

// The tick's hooks over the runtime's subsystems.
class RuntimeHooks : public GameHooks {
 public:
  explicit RuntimeHooks(Runtime& runtime) : runtime_(runtime) {}
  void Housekeeping() override;
  void PreUpdate() override;
  void RunScripts() override;
  void UpdateObjects() override;
  bool RunPendingSaveLoad() override;
  void DrawBases() override;
  void Present() override;

  void KeyDown(int vk) override;
  void KeyUp(int vk) override;
  void MouseDown(platform::MouseButton button) override;
  void MouseUp(platform::MouseButton button) override;
  void MouseMove(int x, int y) override;
  void Wheel(bool down) override;
  bool TextKeyDown(int vk) override;
  void TextKeyUp(int vk) override;
  void TypeText(const std::string& utf8) override;
  void ComposeText(const std::string& utf8) override;
  void ReleaseHeldInput() override;

  void SuspendMedia() override;
  void ResumeMedia() override;
  void ReleaseDeviceSurfaces() override;
  void RebuildDeviceSurfaces() override;

 private:
  Runtime& runtime_;
};

}  // namespace novu
