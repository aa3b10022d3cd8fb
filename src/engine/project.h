#pragma once
// TProject: the running game. Its constructor reads the project file, applies its settings,
// restores the status data from the save file, creates the project variables, reads the list
// of saved slots and starts the call manager at the start page; its destructor runs the exit
// page and stores the status data.
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "core/process_state.h"
#include "engine/call_man.h"
#include "engine/game_save.h"
#include "engine/game_save_tables.h"
#include "engine/history_save_block.h"
#include "engine/project_setting.h"
#include "engine/script_event_queue.h"
#include "engine/script_variable_host.h"
#include "engine/status_data.h"
#include "platform/error.h"
#include "platform/message_box.h"
#include "storage/vr_file_manager.h"

namespace novu {

class TDBManager;
class TFipoCollection;
class TNovuBaseList;
class TNovuHistoryFormatManager;
class TNovuReadList;
class TParamCollection;

// What the project asks of the program around it: the main window, or a test. Every call has
// a default that does nothing.
class ProjectHost {
 public:
  virtual ~ProjectHost() = default;
  // The game title (CP932) for the application and the window caption.
  virtual void SetTitle(const std::string& /*cp932*/) {}
  // True when the interpreter's trace lines are wanted; they then arrive through Trace.
  virtual bool WantsTrace() const { return false; }
  virtual void Trace(std::string_view /*line*/) {}
  // A one-line note for the person playing (UTF-8): where progress is saved when the game
  // folder cannot be written, a damaged save file set aside.
  virtual void Notice(std::string_view /*utf8*/) {}
  // Asks the main window to close (Terminate).
  virtual void RequestClose() {}
};

// What the project needs from the program around it.
struct ProjectEnvironment {
  ProjectEnvironment(ProcessState& state_in, TVrFileManager& files_in,
                     platform::MessageBoxService& messages_in, ProjectHost* host_in = nullptr)
      : state(state_in), files(files_in), messages(messages_in), host(host_in) {}

  ProcessState& state;
  TVrFileManager& files;
  platform::MessageBoxService& messages;
  // Null: nobody listens (title, trace, notes and close requests go nowhere).
  ProjectHost* host;
  // The variable table; without one the project keeps a table of its own.
  TParamCollection* vars = nullptr;
  // The data tables (status tables are kept in the status data, Reset keeps only them);
  // without them the project keeps tables of its own.
  TDBManager* tables = nullptr;
  // The folder of the first command-line argument (the save file lives there), or empty when
  // the program was started without arguments.
  std::filesystem::path argument_folder;
  // The program's own folder.
  std::filesystem::path program_folder;
  // The per-user data folder; empty: $XDG_DATA_HOME, else ~/.local/share.
  std::filesystem::path user_data_folder;
  // The object list the object commands work on.
  TNovuBaseList* objects = nullptr;
  // The image cache: it takes the project's identification code and keeps its dither flag in
  // the status data.
  TFipoCollection* images = nullptr;
  // The history formats (cleared by Reset) and the read marks (kept in the status data).
  TNovuHistoryFormatManager* histories = nullptr;
  TNovuReadList* reads = nullptr;
};

class TProject : private CallManHost {
 public:
  // Runs the start-up sequence. On a fatal condition the terminate flag stays set (a missing
  // project file ends silently, an empty one or a missing start page with a warning box); a
  // project file that is too new raises NovuError.
  explicit TProject(ProjectEnvironment env);
  ~TProject() override;
  TProject(const TProject&) = delete;
  TProject& operator=(const TProject&) = delete;

  // One tick of the interpreter.
  void RunScripts();
  // Executes a pending game load (returns true) and then a pending save.
  bool RunPendingSaveLoad();

  // True when the file can be had: present, or on a disc the player asked for.
  bool FileAvailable(std::string_view name) override;
  // The save file's path, worked out once (empty when the project was given no folders).
  std::filesystem::path SaveFilePath();
  // The disc a file lies on by the folder-disc list (0: none).
  int32_t DiscOf(std::string_view name) const;

  // True when construction succeeded.
  bool started() const { return started_; }
  const TProjectSetting& setting() const { return setting_; }
  int screen_center_x() const { return setting_.screen_width / 2; }
  int screen_center_y() const { return setting_.screen_height / 2; }
  int pending_load_slot() const { return pending_load_ ? *pending_load_ : -1; }
  int pending_save_slot() const { return pending_save_ ? pending_save_->slot : -1; }
  TCallMan* calls() const { return calls_.get(); }
  TParamCollection& vars() const { return *vars_; }
  TDBManager& tables() const { return *tables_; }
  ScriptEventQueue& events() { return events_; }
  // Slot number -> caption of the saved games found at start.
  const std::map<int32_t, std::string>& save_captions() const { return save_captions_; }

 private:
  std::vector<uint8_t> LoadPageFile(std::string_view name) override;
  void PageNeedsRebuild(std::string_view name) override;
  void PageLoadFailed(std::string_view name, std::string_view reason) override;
  void Notice(const std::string& utf8) const;
  // Moves a save file that cannot be read to "save.dat.damaged-<date>" so that this run can
  // save afresh; false when it could not be moved (it is then left alone and not written).
  bool SetAsideDamagedSave(const std::filesystem::path& path, const NovuError& error);
  void RequestClose() override;
  TNovuBaseList* Objects() override { return env_.objects; }
  TNovuHistoryFormatManager* Histories() override { return env_.histories; }
  TNovuReadList* ReadMarks() override { return env_.reads; }
  void ResetWorld() override;
  void RequestGameSave(GameSaveRequest request) override;
  void RequestGameLoad(int32_t slot) override;
  void SaveGame(const GameSaveRequest& request);
  void LoadGame(int32_t slot);
  // A saved game that cannot be used: the message, then the game ends.
  void RefuseSave(const NovuError& error);

  void Warn(std::string_view utf8_text);
  bool RequestDisc(int32_t disc);
  bool FindDisc(int32_t index);
  bool LocateData();
  bool HasGameArchive() const;
  bool FindInstalledDisc(std::string_view title);
  void ForgetDiscCollections();
  void ReadSaveFile();
  void RestoreScriptFiles(TVrFileCollection& save);
  void CreateProjectVariables();
  void RunExitPage();
  void StoreStatusData();
  std::filesystem::path UserSaveFolder() const;

  ProjectEnvironment env_;
  std::unique_ptr<TParamCollection> own_vars_;
  TParamCollection* vars_;
  std::unique_ptr<TDBManager> own_tables_;
  TDBManager* tables_;
  TProjectSetting setting_;
  std::vector<FolderDisc> folder_discs_;
  ScriptEventQueue events_;
  std::unique_ptr<TCallMan> calls_;
  std::unique_ptr<ScriptVariableHost> variable_host_;
  SystemVariableHost* previous_host_ = nullptr;
  StatusData status_;
  // Set once the status data was read, or found absent, in this run: only then may it be
  // written back, so a start that failed early never replaces a player's saved progress.
  bool status_loaded_ = false;
  std::map<int32_t, std::string> save_captions_;
  std::set<std::string, std::less<>> failed_pages_;  // each told once
  std::optional<std::filesystem::path> save_file_path_;
  bool started_ = false;
  std::optional<int32_t> pending_load_;
  std::optional<GameSaveRequest> pending_save_;
  HistorySaveBlock history_block_{env_.histories, vars_};
  std::unique_ptr<DataTablesBlock> tables_block_;
};

// The per-user folder name for a game title: each of \ / : , ; * ? " < > | becomes "_".
std::string SaveFolderName(std::string_view title);

}  // namespace novu
