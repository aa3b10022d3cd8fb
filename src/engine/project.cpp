#include "engine/project.h"

#include "controls/fipo_collection.h"
#include "controls/novu_history.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <utility>

#include "core/binary_reader.h"
#include "core/cp932.h"
#include "engine/install_settings.h"
#include "expr/db_manager.h"
#include "expr/param_collection.h"
#include "objects/base_list.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "platform/text_encoding.h"
#include "storage/vr_file_collection.h"

namespace novu {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kProjectFile = "novu.npb";
constexpr std::string_view kOriginalProjectFile = "/original_novu.npb";
constexpr std::string_view kSaveFileName = "save.dat";
constexpr std::string_view kScriptFilePrefix = "save:";

// The folder-disc key of a name: upper case, backslashes, ending in one.
std::string DiscKey(std::string_view name) {
  std::string key = cp932::ToUpper(name);
  for (char& c : key) {
    if (c == '/') c = '\\';
  }
  return key;
}

bool IsStreamedMedia(std::string_view name, std::string_view extensions) {
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string ext = cp932::ToLower(name.substr(dot + 1));
  std::string list = cp932::ToLower(extensions);
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find('.', start);
    if (end == std::string::npos) end = list.size();
    if (end > start && list.compare(start, end - start, ext) == 0) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

std::string SaveFolderName(std::string_view title) {
  std::string name(title);
  for (size_t i = 0; i < name.size(); ++i) {
    if (cp932::IsLeadByte(static_cast<uint8_t>(name[i]))) {
      ++i;
      continue;
    }
    if (std::string_view("\\/:,;*?\"<>|").find(name[i]) != std::string_view::npos) name[i] = '_';
  }
  // A title of dots (or none) would name the parent folder or the data folder itself.
  if (name.find_first_not_of('.') == std::string::npos) name.insert(0, "_");
  return name;
}

TProject::TProject(ProjectEnvironment env) : env_(std::move(env)) {
  static ProjectHost nobody;
  if (env_.host == nullptr) env_.host = &nobody;
  vars_ = env_.vars;
  if (vars_ == nullptr) {
    own_vars_ = std::make_unique<TParamCollection>();
    vars_ = own_vars_.get();
  }
  tables_ = env_.tables;
  if (tables_ == nullptr) {
    own_tables_ = std::make_unique<TDBManager>();
    tables_ = own_tables_.get();
  }
  status_.SetTables(tables_);
  tables_block_ = std::make_unique<DataTablesBlock>(*tables_);
  env_.state.terminate = true;
  if (env_.argument_folder.empty() && !LocateData()) return;
  std::vector<uint8_t> data;
  try {
    data = env_.files.LoadFile(kProjectFile);
  } catch (const NovuError&) {
    return;  // no project here: end without a word, as the player always has
  }
  if (data.empty()) {
    Warn("プロジェクトがありません");
    return;
  }
  setting_ = TProjectSetting::Parse(data);
  folder_discs_ = setting_.folder_discs;
  if (env_.images != nullptr) env_.images->SetCode(setting_.image_option);
  status_.SetImageCache(env_.images);
  status_.SetReadList(env_.reads);
  env_.host->SetTitle(setting_.title);

  ReadSaveFile();
  CreateProjectVariables();
  env_.state.terminate = false;

  if (env_.files.Exists(kOriginalProjectFile)) {
    try {
      folder_discs_ =
          TProjectSetting::Parse(env_.files.LoadFile(kOriginalProjectFile)).folder_discs;
    } catch (const NovuError&) {
      // The original project only lends its disc list; a damaged one is passed over.
    }
  }

  CallManHost& host = *this;
  calls_ = std::make_unique<TCallMan>(*vars_, env_.state, events_, host);
  if (env_.host->WantsTrace()) {
    calls_->SetTraceSink([host = env_.host](std::string_view line) { host->Trace(line); });
  }
  previous_host_ = &vars_->host();
  variable_host_ = std::make_unique<ScriptVariableHost>(*calls_, *previous_host_);
  vars_->SetHost(variable_host_.get());
  if (!env_.files.Exists(setting_.start_page)) {
    Warn("スタートページがありません");
    env_.state.terminate = true;
    return;
  }
  calls_->Start(setting_.start_page);
  started_ = !env_.state.terminate;
}

TProject::~TProject() {
  if (calls_) RunExitPage();
  if (status_loaded_) StoreStatusData();
  if (variable_host_) {
    vars_->SetHost(previous_host_ == &SystemVariableHost::Default() ? nullptr : previous_host_);
  }
  calls_.reset();
}

void TProject::Warn(std::string_view utf8_text) {
  env_.messages.Show(Jp("警告"), Jp(utf8_text), platform::MessageButtons::Ok,
                     platform::MessageIcon::Warning);
}

fs::path TProject::UserSaveFolder() const {
  fs::path base = env_.user_data_folder;
  if (base.empty()) {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
      base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
      base = fs::path(home) / ".local" / "share";
    }
  }
  return base / "novuplay" / platform::Cp932ToUtf8(SaveFolderName(setting_.title));
}

namespace {

// Whether a file can be created in the folder (the way the save file is written).
bool FolderWritable(const fs::path& folder) {
  const fs::path probe = folder / "save.dat.$$$";
  FILE* f = std::fopen(probe.c_str(), "wb");
  if (f == nullptr) return false;
  std::fclose(f);
  std::error_code ec;
  fs::remove(probe, ec);
  return true;
}

}  // namespace

fs::path TProject::SaveFilePath() {
  if (save_file_path_) return *save_file_path_;
  std::error_code ec;
  // The save file lives in the game folder given on the command line, else beside the program;
  // when that folder cannot be written, in the per-user folder.
  const fs::path& game_folder =
      env_.argument_folder.empty() ? env_.program_folder : env_.argument_folder;
  if (game_folder.empty()) {
    save_file_path_ = fs::path();  // a project without folders (tests) keeps no save file
    return *save_file_path_;
  }
  const fs::path game_save = game_folder / kSaveFileName;
  if (FolderWritable(game_folder)) {
    save_file_path_ = game_save;
    return *save_file_path_;
  }
  const fs::path folder = UserSaveFolder();
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder, ec)) {
    throw NovuError::FromUtf8("データファイルを作成することができません");
  }
  const fs::path user_save = folder / kSaveFileName;
  if (fs::exists(game_save, ec) && !fs::exists(user_save, ec)) {
    fs::copy_file(game_save, user_save, fs::copy_options::skip_existing, ec);
  }
  save_file_path_ = user_save;
  Notice("the game folder " + game_folder.string() + " cannot be written; progress is saved in " +
         user_save.string());
  return *save_file_path_;
}

void TProject::Notice(const std::string& utf8) const {
  env_.host->Notice(utf8);
}

bool TProject::SetAsideDamagedSave(const fs::path& path, const NovuError& error) {
  char stamp[32] = "";
  const std::time_t now = std::time(nullptr);
  if (const std::tm* local = std::localtime(&now)) {
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", local);
  }
  fs::path aside = path;
  aside += std::string(".damaged-") + stamp;
  std::error_code ec;
  for (int n = 2; fs::exists(aside, ec); ++n) {
    aside = path;
    aside += std::string(".damaged-") + stamp + "-" + std::to_string(n);
  }
  fs::rename(path, aside, ec);
  if (ec) {
    Notice("the save file " + path.string() + " cannot be read (" + error.Utf8Message() +
           ") nor moved aside (" + ec.message() + "); progress is not saved in this run");
    return false;
  }
  Notice("the save file " + path.string() + " cannot be read (" + error.Utf8Message() +
         "); it was moved to " + aside.string() + " and this game starts afresh");
  return true;
}

void TProject::ReadSaveFile() {
  TVrFileCollection save;
  if (SaveFilePath().empty()) return;
  // Writes killed before their rename leave their temporary files; this player is the only one
  // running for this game, so none of them is still being written.
  platform::RemoveLeftoverTemporaries(SaveFilePath());
  try {
    save.Open(SaveFilePath());
    if (save.FindEntry(kStatusEntryName) != nullptr) {
      status_.Read(save.Extract(kStatusEntryName), *vars_);
    }
    status_loaded_ = true;
  } catch (const NovuError& e) {
    // A damaged save file is never written over: it is moved aside whole (game slots and all)
    // and this run starts without it; when it cannot be moved, this run does not save.
    status_loaded_ = SetAsideDamagedSave(SaveFilePath(), e);
    return;
  }
  RestoreScriptFiles(save);
  for (int i = 0; i < save.Count(); ++i) {
    const TVrFile& entry = save.Entry(i);
    const auto slot = GameSaveSlotOf(entry.Name());
    if (!slot) continue;
    try {
      save_captions_[*slot] = ReadGameSaveCaption(save.ReadEntry(entry));
    } catch (const NovuError&) {
      // An unreadable slot gets no caption.
    }
  }
}

// Files that scripts wrote into the save file ("save:..." entries) join the run-time
// collection, where scripts find them again.
void TProject::RestoreScriptFiles(TVrFileCollection& save) {
  if (env_.files.CollectionCount() == 0) return;
  TVrFileCollection& runtime = env_.files.Collection(0);
  for (int i = 0; i < save.Count(); ++i) {
    const std::string name = save.Entry(i).Name();
    if (name.size() < kScriptFilePrefix.size() ||
        !cp932::EqualsNoCase(std::string_view(name).substr(0, kScriptFilePrefix.size()),
                             kScriptFilePrefix)) {
      continue;
    }
    try {
      const std::vector<uint8_t> data = save.ReadEntry(save.Entry(i));
      TVrFile& copy = runtime.AddMemoryEntry(name);
      copy.Memory()->Write(data.data(), static_cast<int64_t>(data.size()));
    } catch (const NovuError&) {
      // An entry that cannot be read is left out; nothing was added for it.
    }
  }
}

void TProject::CreateProjectVariables() {
  for (const ProjectVariable& v : setting_.variables) {
    if (vars_->Find(v.name) != nullptr) continue;  // restored from the status data
    if (v.type < PT_INT || v.type > PT_STR) continue;
    try {
      TParamCollectionItem* item =
          vars_->Declare(v.name, static_cast<ParamType>(v.type), VarScope::kStatus, nullptr);
      TCustomParam& value = item->value();
      switch (v.type) {
        case PT_INT:
          value.SetAsInt(v.int_value);
          break;
        case PT_FLOAT:
          value.SetAsFloat(v.float_value);
          break;
        case PT_BOOL:
          value.SetAsBool(v.bool_value);
          break;
        default:
          value.SetAsStr(v.string_value);
          break;
      }
    } catch (const NovuError&) {
      // A variable with a name the table refuses is left out.
    }
  }
}

void TProject::RunExitPage() {
  if (setting_.exit_page.empty()) return;
  try {
    if (env_.files.Exists(setting_.exit_page)) {
      calls_->Start(setting_.exit_page);
      env_.state.terminate = false;
      calls_->Run();
    }
  } catch (const NovuError&) {
  }
  env_.state.terminate = true;
}

void TProject::StoreStatusData() {
  if (!setting_.store_status) return;
  try {
    const fs::path path = SaveFilePath();
    std::error_code ec;
    if (!fs::is_directory(path.parent_path(), ec)) return;
    TVrFileCollection save;
    save.Open(path);
    save.Remove(kStatusEntryName);
    TVrFile& entry = save.AddMemoryEntry(kStatusEntryName);
    const std::vector<uint8_t> data = status_.Write(*vars_);
    entry.Memory()->Write(data.data(), static_cast<int64_t>(data.size()));
    save.SaveToFile(path);
  } catch (const NovuError&) {
    // Write errors at exit are not reported.
  }
}

void TProject::RunScripts() {
  if (calls_) calls_->Run();
}

void TProject::RequestGameSave(GameSaveRequest request) {
  pending_save_ = std::move(request);
}

void TProject::RequestGameLoad(int32_t slot) {
  pending_load_ = slot;
}

bool TProject::RunPendingSaveLoad() {
  bool loaded = false;
  if (pending_load_) {
    const int32_t slot = *std::exchange(pending_load_, std::nullopt);
    if (calls_) LoadGame(slot);
    loaded = true;
  }
  if (pending_save_) {
    const GameSaveRequest request = std::move(*pending_save_);
    pending_save_.reset();
    if (calls_ && !env_.state.terminate) SaveGame(request);
  }
  return loaded;
}

void TProject::SaveGame(const GameSaveRequest& request) {
  if (request.caption.empty() || request.slot < 0) return;
  try {
    const fs::path path = SaveFilePath();
    if (path.empty()) return;
    if (!status_loaded_) {
      Notice("the game is not saved: the save file " + path.string() + " could not be read");
      return;
    }
    GameSaveHeader header;
    header.caption = request.caption;
    header.resume_page = request.resume_page;
    header.resume_index = request.resume_index;
    GameWorld world{env_.objects, events_, *calls_, *vars_, history_block_, *tables_block_};
    const std::vector<uint8_t> entry = WriteGameSave(world, header);

    TVrFileCollection save;
    save.Open(path);
    const std::string name = GameSaveEntryName(request.slot);
    save.Remove(name);
    save.AddMemoryEntry(name).Memory()->Write(entry.data(), static_cast<int64_t>(entry.size()));
    const std::string image_name = GameSaveImageName(request.slot);
    save.Remove(image_name);
    const std::vector<uint8_t> image =
        env_.objects != nullptr ? WriteGameSaveImage(*env_.objects) : std::vector<uint8_t>();
    if (!image.empty()) {
      save.AddMemoryEntry(image_name)
          .Memory()
          ->Write(image.data(), static_cast<int64_t>(image.size()));
    }
    // The status data goes with the same write, so the file never holds one without the other.
    if (setting_.store_status) {
      save.Remove(kStatusEntryName);
      const std::vector<uint8_t> status = status_.Write(*vars_);
      save.AddMemoryEntry(kStatusEntryName)
          .Memory()
          ->Write(status.data(), static_cast<int64_t>(status.size()));
    }
    save.SaveToFile(path);
    save_captions_[request.slot] = request.caption;
  } catch (const NovuError& e) {
    // The old file stays as it was; the script goes on.
    Notice("the game could not be saved in slot " + std::to_string(request.slot) + ": " +
           e.Utf8Message());
  }
}

void TProject::LoadGame(int32_t slot) {
  if (slot < 0) return;
  try {
    const fs::path path = SaveFilePath();
    std::error_code ec;
    if (path.empty() || !fs::is_regular_file(path, ec)) return;
    TVrFileCollection save;
    save.Open(path);
    const std::string name = GameSaveEntryName(slot);
    if (save.FindEntry(name) == nullptr) return;
    const std::vector<uint8_t> entry = save.Extract(name);
    GameWorld world{env_.objects, events_, *calls_, *vars_, history_block_, *tables_block_};
    LoadGameSave(world, entry);
  } catch (const NovuError& e) {
    RefuseSave(e);
  }
}

void TProject::RefuseSave(const NovuError& error) {
  env_.state.terminate = true;
  if (dynamic_cast<const OldGameSaveError*>(&error) != nullptr) {
    Warn(kOldSaveMessage);
  } else {
    Notice("the saved game cannot be used: " + error.Utf8Message());
  }
  Warn(kUnusableSaveMessage);
}

int32_t TProject::DiscOf(std::string_view name) const {
  std::string key = DiscKey(name);
  while (true) {
    const std::string folder = key.empty() || key.back() == '\\' ? key : key + "\\";
    for (const FolderDisc& entry : folder_discs_) {
      std::string listed = DiscKey(entry.folder);
      if (!listed.empty() && listed.back() != '\\') listed += '\\';
      if (listed == folder) return entry.disc;
    }
    if (key.empty()) return 0;
    const size_t cut = key.find_last_of('\\', key.size() - (key.back() == '\\' ? 2 : 1));
    key = cut == std::string::npos || key.size() < 2 ? std::string() : key.substr(0, cut);
  }
}

bool TProject::FileAvailable(std::string_view name) {
  if (name.empty()) return false;
  if (env_.files.Exists(name)) return true;
  const int32_t disc = DiscOf(name);
  if (disc <= 0 || IsStreamedMedia(name, setting_.media_extensions)) return false;
  return RequestDisc(disc);
}

bool TProject::RequestDisc(int32_t disc) {
  std::string prompt = setting_.disc_change_message;
  if (const size_t at = prompt.find("%d"); at != std::string::npos) {
    prompt.replace(at, 2, std::to_string(disc));
  }
  while (true) {
    const auto answer =
        env_.messages.Show(setting_.title, prompt, platform::MessageButtons::OkCancel,
                           platform::MessageIcon::Information);
    if (answer == platform::MessageResult::Ok) {
      if (FindDisc(disc - 1)) return true;
      continue;
    }
    const auto leave =
        env_.messages.Show(setting_.title, setting_.exit_message,
                           platform::MessageButtons::OkCancel, platform::MessageIcon::Information);
    // Without a dialog nobody can insert the disc either: leave rather than ask for ever.
    if (leave == platform::MessageResult::Ok || leave == platform::MessageResult::NotShown) {
      env_.state.terminate = true;
      RequestClose();
      return false;
    }
  }
}

std::vector<uint8_t> TProject::LoadPageFile(std::string_view name) {
  return env_.files.LoadFile(name);
}

void TProject::PageNeedsRebuild(std::string_view name) {
  env_.messages.Show(Jp("警告"), std::string(name) + "\r\n" + Jp("リビルドしてください"),
                     platform::MessageButtons::Ok, platform::MessageIcon::Warning);
  RequestClose();
}

void TProject::PageLoadFailed(std::string_view name, std::string_view reason) {
  if (!failed_pages_.emplace(name).second) return;
  // File errors already start with the name; errors in the page's data do not.
  const std::string text = reason.starts_with(name)
                               ? std::string(reason)
                               : std::string(name) + "\r\n" + std::string(reason);
  env_.messages.Show(Jp("警告"), text, platform::MessageButtons::Ok,
                     platform::MessageIcon::Warning);
}

// The data of the discs found at start leave the file system before another disc is asked for.
void TProject::ForgetDiscCollections() {
  for (int i = env_.files.CollectionCount() - 1; i >= 0; --i) {
    const std::string container = env_.files.Collection(i).ContainerPath().string();
    for (const fs::path& root : env_.files.DiscRoots()) {
      if (!container.empty() && container.starts_with(root.string())) {
        env_.files.RemoveCollection(i);
        break;
      }
    }
  }
}

// Registers game.dat of every disc in a drive whose install.dat names this game and the disc.
bool TProject::FindDisc(int32_t index) {
  bool found = false;
  for (const fs::path& root : env_.files.DiscRoots()) {
    std::error_code ec;
    if (!fs::is_regular_file(root / "game.dat", ec)) continue;
    const auto install = platform::ReadWholeFile(root / "install.dat");
    if (!install) continue;
    try {
      const TNovuInstallSet set = TNovuInstallSet::Parse(*install);
      if (set.title != setting_.title || set.disc_index != index) continue;
      env_.files.AddArchive(root / "game.dat");
      found = true;
    } catch (const NovuError&) {
      // A disc with damaged data is not this game's disc.
    }
  }
  return found;
}

// Started without a folder: the game must be installed (install.dat beside the program or in
// the data appended to it), with its data on disk, in game.dat beside the program, or on a disc.
bool TProject::LocateData() {
  std::error_code ec;
  const fs::path& program = env_.program_folder;
  if (!program.empty() && fs::is_regular_file(program / "install.dat", ec) &&
      env_.files.BaseFolder().empty()) {
    env_.files.SetBaseFolder(program);
  }
  std::optional<TNovuInstallSet> install;
  if (env_.files.Exists("install.dat")) {
    try {
      install = TNovuInstallSet::Parse(env_.files.LoadFile("install.dat"));
    } catch (const NovuError&) {
      // A damaged install.dat is as good as none.
    }
  }
  if (!install) {
    env_.messages.Show(Jp("情報"), Jp("インストールし直してください"), platform::MessageButtons::Ok,
                       platform::MessageIcon::Information);
    return false;
  }
  if (!program.empty() && fs::is_regular_file(program / "game.dat", ec)) {
    env_.files.AddArchive(program / "game.dat");
    if (install->data_installed) return true;
  } else if (install->data_installed && HasGameArchive()) {
    return true;
  }
  while (true) {
    if (FindInstalledDisc(install->title)) return true;
    const auto answer =
        env_.messages.Show(Jp("情報"), Jp("ディスクを入れてください"),
                           platform::MessageButtons::OkCancel, platform::MessageIcon::Information);
    if (answer == platform::MessageResult::Ok) continue;
    const auto leave =
        env_.messages.Show(setting_.title, setting_.exit_message,
                           platform::MessageButtons::OkCancel, platform::MessageIcon::Information);
    if (leave == platform::MessageResult::Ok || leave == platform::MessageResult::NotShown) {
      return false;
    }
  }
}

// True when some archive (not the run-time collection) is registered.
bool TProject::HasGameArchive() const {
  for (int i = 0; i < env_.files.CollectionCount(); ++i) {
    if (env_.files.Collection(i).HasContainer()) return true;
  }
  return false;
}

// Registers game.dat of the first disc whose install.dat names this game.
bool TProject::FindInstalledDisc(std::string_view title) {
  for (const fs::path& root : env_.files.DiscRoots()) {
    std::error_code ec;
    if (!fs::is_regular_file(root / "game.dat", ec)) continue;
    const auto data = platform::ReadWholeFile(root / "install.dat");
    if (!data) continue;
    try {
      if (TNovuInstallSet::Parse(*data).title != title) continue;
      env_.files.AddArchive(root / "game.dat");
      return true;
    } catch (const NovuError&) {
      // Not this game's disc.
    }
  }
  return false;
}

void TProject::ResetWorld() {
  if (env_.objects != nullptr) env_.objects->Reset();
  if (env_.histories != nullptr) env_.histories->Reset();
  tables_->ResetTables();
}

void TProject::RequestClose() {
  env_.host->RequestClose();
}

}  // namespace novu
