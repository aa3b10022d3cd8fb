#include "engine/game_functions.h"

#include <algorithm>

#include "controls/novu_history.h"
#include "core/cp932.h"
#include "engine/call_man.h"
#include "engine/project.h"
#include "engine/script_files.h"
#include "expr/function_text.h"
#include "expr/sys_func_man.h"
#include "imagefmt/fipo_frame_list.h"
#include "objects/base_list.h"
#include "objects/novu_control.h"
#include "platform/desktop_services.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "platform/message_box.h"
#include "platform/text_encoding.h"
#include "render/dibx.h"
#include "storage/vr_file_collection.h"
#include "storage/vr_file_manager.h"

namespace novu {

namespace fs = std::filesystem;

bool HasPrefixNoCase(std::string_view name, std::string_view prefix) {
  return name.size() >= prefix.size() && cp932::EqualsNoCase(name.substr(0, prefix.size()), prefix);
}

fs::path ScriptSaveFolder(TProject& project) {
  const fs::path save = project.SaveFilePath();
  return save.empty() ? fs::path() : save.parent_path();
}

namespace {

constexpr std::string_view kMemoryPrefix = "mem:";
constexpr std::string_view kSavePrefix = "save:";

class GameFunctions {
 public:
  explicit GameFunctions(GameFunctionServices services) : s_(std::move(services)) {}
  // Captures saved with mode 1 are deleted when the program ends.
  ~GameFunctions() {
    std::error_code ec;
    for (const fs::path& path : delete_at_exit_) fs::remove(path, ec);
  }
  GameFunctions(const GameFunctions&) = delete;
  GameFunctions& operator=(const GameFunctions&) = delete;

  // Every handler holds the shared instance, so it lives as long as the dispatcher needs it.
  static void Register(SysFuncMan& f, const std::shared_ptr<GameFunctions>& self) {
    auto bind = [&](int number, void (GameFunctions::*method)(const FunctionCall&)) {
      f.Register(number, [self, method](const FunctionCall& c) { ((*self).*method)(c); });
    };
    bind(27, &GameFunctions::GetSaveCaption);
    bind(71, &GameFunctions::FileExists);
    bind(72, &GameFunctions::LoadTextFile);
    bind(125, &GameFunctions::SetWallPaper);
    bind(134, &GameFunctions::ListSaveCaption);
    bind(135, &GameFunctions::OpenUrl);
    bind(137, &GameFunctions::SaveScreen);
    bind(142, &GameFunctions::GetHistoryCount);
    bind(143, &GameFunctions::GetHistoryMaxCount);
    bind(144, &GameFunctions::SetHistoryMaxCount);
    bind(148, &GameFunctions::SelectOpenFile);
    bind(149, &GameFunctions::SelectSaveFile);
    bind(150, &GameFunctions::SelectDirectory);
    bind(151, &GameFunctions::ExtractFile);
    bind(157, &GameFunctions::DeleteStack);
    bind(158, &GameFunctions::CopyFile);
  }

  // Writes `data` into the memory file `name` and, for a "save:" name, into save.dat too
  // (rewritten through a temporary file).
  void StoreVirtualFile(std::string_view name, std::span<const uint8_t> data) {
    if (s_.files.CollectionCount() == 0) s_.files.AddArchive({});
    TVrFileCollection& runtime = s_.files.Collection(0);
    TVrFile& entry = runtime.AddMemoryEntry(name);
    entry.Memory()->Write(data.data(), static_cast<int64_t>(data.size()));
    if (!HasPrefixNoCase(name, kSavePrefix)) return;
    TProject* project = s_.project();
    if (project == nullptr) return;
    const fs::path path = project->SaveFilePath();
    std::error_code ec;
    if (path.empty() || !fs::is_directory(path.parent_path(), ec)) return;
    TVrFileCollection save;
    save.Open(path);
    save.Remove(name);
    TVrFile& saved = save.AddMemoryEntry(name);
    saved.Memory()->Write(data.data(), static_cast<int64_t>(data.size()));
    save.SaveToFile(path);
  }

 private:
  TProject* Project() const { return s_.project(); }

  void GetSaveCaption(const FunctionCall& c) {
    TProject* p = Project();
    if (p == nullptr) return;
    const auto& captions = p->save_captions();
    const auto it = captions.find(c.Int(0));
    if (it != captions.end()) c.result().SetAsStr(it->second);
  }

  void ListSaveCaption(const FunctionCall& c) {
    TProject* p = Project();
    const std::map<int32_t, std::string> none;
    const auto& captions = p != nullptr ? p->save_captions() : none;
    const auto count = static_cast<int32_t>(captions.size());
    const int32_t sizes[] = {count};
    if (TCustomParam* texts = c.Output(0)) {
      texts->SetDims(sizes);  // no slot: the size 0 is refused and the evaluation ends
      int32_t i = 0;
      for (const auto& [slot, caption] : captions) texts->SetStrAt(i++, caption);
    }
    if (TCustomParam* numbers = c.Output(1)) {
      numbers->SetDims(sizes);
      int32_t i = 0;
      for (const auto& [slot, caption] : captions) numbers->SetIntAt(i++, slot);
    }
    c.result().SetAsInt(count);
  }

  void DeleteStack(const FunctionCall& c) {
    TProject* p = Project();
    if (p == nullptr || p->calls() == nullptr) return;
    c.result().SetAsBool(p->calls()->DeleteFrame(c.Int(0)));
  }

  void FileExists(const FunctionCall& c) {
    const std::string name = c.Str(0);
    c.result().SetAsBool(!name.empty() && s_.files.Exists(name));
  }

  void LoadTextFile(const FunctionCall& c) {
    const std::string name = c.Str(1);
    if (name.empty() || !s_.files.Exists(name)) return;
    const std::vector<uint8_t> bytes = s_.files.LoadFile(name);
    if (bytes.empty()) return;
    const std::vector<std::string> lines = text::SplitLines(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    TCustomParam* target = c.Output(0);
    if (lines.empty()) {
      target->Deref()->SetAsStr("");
    } else {
      const int32_t sizes[] = {static_cast<int32_t>(std::min<size_t>(lines.size(), INT32_MAX))};
      target->SetDims(sizes);
      for (int32_t i = 0; i < sizes[0]; ++i) target->SetStrAt(i, lines[static_cast<size_t>(i)]);
    }
    c.result().SetAsBool(true);
  }

  // The desktop wallpaper belongs to the desktop environment here; the function reports that
  // nothing was done.
  void SetWallPaper(const FunctionCall&) {}

  // There is no message history yet: every format is "not found" (and cannot be changed).
  TNovuHistoryFormat* HistoryFormat(const FunctionCall& c) const {
    TNovuHistoryFormatManager* histories = s_.histories ? s_.histories() : nullptr;
    return histories != nullptr ? histories->Find(c.Str(0)) : nullptr;
  }
  void GetHistoryCount(const FunctionCall& c) {
    const TNovuHistoryFormat* format = HistoryFormat(c);
    c.result().SetAsInt(format != nullptr ? s_.histories()->Count(*format) : -1);
  }
  void GetHistoryMaxCount(const FunctionCall& c) {
    const TNovuHistoryFormat* format = HistoryFormat(c);
    c.result().SetAsInt(format != nullptr ? format->history.max_count : -1);
  }
  void SetHistoryMaxCount(const FunctionCall& c) {
    TNovuHistoryFormat* format = HistoryFormat(c);
    if (format != nullptr) format->history.max_count = c.Int(1);
    c.result().SetAsBool(format != nullptr);
  }

  void OpenUrl(const FunctionCall& c) {
    const std::string target = c.Str(0);
    std::error_code ec;
    const bool folder =
        !target.empty() && fs::is_directory(fs::path(platform::Cp932ToUtf8(target)), ec);
    if (HasPrefixNoCase(target, "http") || HasPrefixNoCase(target, "ftp") || folder) {
      s_.desktop.OpenUrl(platform::Cp932ToUtf8(target));
    }
  }

  static std::string DesktopFolder() {
    const char* home = std::getenv("HOME");
    if (home == nullptr) return {};
    std::error_code ec;
    const fs::path desktop = fs::path(home) / "Desktop";
    return fs::is_directory(desktop, ec) ? desktop.string() : std::string(home);
  }

  void StoreChoice(const FunctionCall& c, const std::optional<std::string>& chosen, bool folder) {
    if (!chosen) return;
    std::string path = platform::Utf8ToCp932(*chosen);
    if (folder && (path.empty() || path.back() != '/')) path += '/';
    c.Output(0)->SetAsStr(path);
    c.result().SetAsBool(true);
  }

  void SelectOpenFile(const FunctionCall& c) {
    StoreChoice(c, s_.desktop.ChooseOpenFile(DesktopFolder(), platform::Cp932ToUtf8(c.Str(1))),
                false);
  }
  void SelectSaveFile(const FunctionCall& c) {
    StoreChoice(c, s_.desktop.ChooseSaveFile(DesktopFolder(), platform::Cp932ToUtf8(c.Str(1))),
                false);
  }
  void SelectDirectory(const FunctionCall& c) { StoreChoice(c, s_.desktop.ChooseFolder(), true); }

  // The folder ExtractFile writes into: a3 inside the save folder, or one the player chose.
  std::optional<fs::path> ExtractFolder(const FunctionCall& c) {
    if (!c.Has(2)) {
      const std::optional<std::string> chosen = s_.desktop.ChooseFolder();
      if (!chosen) return std::nullopt;
      return fs::path(*chosen);
    }
    TProject* p = Project();
    if (p == nullptr) return std::nullopt;
    return ScriptFilePath(ScriptSaveFolder(*p), c.Str(2));
  }

  std::vector<std::string> ExpandPatterns(const TCustomParam& patterns) {
    std::vector<std::string> names;
    for (int32_t i = 0; i < patterns.GetCount(); ++i) {
      const std::string element = patterns.GetStrAt(i);
      if (element.find_first_of("*?") == std::string::npos) {
        names.push_back(element);
        continue;
      }
      std::vector<std::string> listed;
      const std::string folder = ExtractPath(element);
      s_.files.ListFiles(folder, listed);
      const std::string mask = element.substr(folder.size());
      for (const std::string& name : listed) {
        if (MatchesFileMask(ExtractName(name), mask)) names.push_back(name);
      }
    }
    return names;
  }

  static std::string ExtractPath(std::string_view s) {
    const std::vector<size_t> offsets = text::CharOffsets(s);
    for (size_t c = offsets.size() - 1; c-- > 0;) {
      if (offsets[c + 1] - offsets[c] == 1 && (s[offsets[c]] == '\\' || s[offsets[c]] == '/')) {
        return std::string(s.substr(0, offsets[c] + 1));
      }
    }
    return {};
  }
  static std::string ExtractName(std::string_view s) {
    return std::string(s.substr(ExtractPath(s).size()));
  }

  void ExtractFile(const FunctionCall& c) {
    const std::optional<fs::path> folder = ExtractFolder(c);
    if (!folder) return;
    std::error_code ec;
    fs::create_directories(*folder, ec);
    if (!fs::is_directory(*folder, ec)) return;
    bool ask = c.Bool(1, true);
    bool wrote = false;
    for (const std::string& name : ExpandPatterns(*c.Arg(0))) {
      if (name.empty() || !s_.files.Exists(name)) continue;
      const std::optional<fs::path> target = ScriptFilePath(*folder, ExtractName(name));
      if (!target) continue;
      if (ask && fs::exists(*target, ec)) {
        const std::string question = platform::Utf8ToCp932(target->string()) +
                                     Jp("\r\n\r\n既に同名のファイルが存在します。上書きしますか？");
        const platform::MessageResult answer = s_.messages.Show(
            Jp("確認"), question, platform::MessageButtons::YesNo, platform::MessageIcon::Question);
        if (answer != platform::MessageResult::Yes) continue;
      }
      const std::vector<uint8_t> bytes = s_.files.LoadFile(name);
      fs::create_directories(target->parent_path(), ec);
      platform::WriteFileAtomically(*target, bytes);
      wrote = true;
    }
    c.result().SetAsBool(wrote);
  }

  void CopyFile(const FunctionCall& c) {
    const std::string source = c.Str(0);
    const std::string target = c.Str(1);
    if (!HasPrefixNoCase(source, kMemoryPrefix) && !HasPrefixNoCase(source, kSavePrefix)) return;
    if (target.empty() || !s_.files.Exists(source)) return;
    const std::vector<uint8_t> bytes = s_.files.LoadFile(source);
    StoreVirtualFile(target, bytes);
    c.result().SetAsBool(true);
  }

  // The base's picture (painted first) as a one-frame 24-bit layered image of the given size.
  std::optional<std::vector<uint8_t>> Capture(bool back, int32_t width, int32_t height) {
    TNovuBaseList& objects = *s_.objects;
    objects.Paint();
    const int active = objects.active_index();
    const render::TCustomDIBX* surface = objects.base(back ? 1 - active : active).GetSurface();
    if (surface == nullptr || surface->Width() < 1 || surface->Height() < 1) return std::nullopt;
    imagefmt::TFipoFrameList image;
    imagefmt::TFipoFrame& frame = image.AddFrame();
    frame.picture.SetSize(width, height, 24);
    render::TDIBX target(frame.picture);
    const Rect all{0, 0, surface->Width(), surface->Height()};
    if (width == surface->Width() && height == surface->Height()) {
      target.Draw(0, 0, {}, all, *surface);
    } else {
      target.StretchDraw({0, 0, width, height}, *surface, 255, {}, all);
    }
    return image.SaveToStream({});
  }

  void SaveScreen(const FunctionCall& c) {
    TProject* p = Project();
    if (p == nullptr || s_.objects == nullptr) return;
    const fs::path folder = ScriptSaveFolder(*p);
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(folder, ec)) return;
    const std::string name = c.Str(0);
    if (!cp932::EqualsNoCase(ExtractExt(name), ".fip")) return;
    int32_t width = c.Int(1);
    int32_t height = c.Int(2);
    if (width == 0) width = s_.objects->width();
    if (height == 0) height = s_.objects->height();
    if (width < 1 || height < 1) return;
    if (width > kMaxCaptureSide || height > kMaxCaptureSide ||
        int64_t{width} * height > kMaxCapturePixels) {
      return;
    }
    const std::optional<std::vector<uint8_t>> bytes = Capture(c.Bool(3), width, height);
    if (!bytes) return;
    const bool is_virtual =
        HasPrefixNoCase(name, kMemoryPrefix) || HasPrefixNoCase(name, kSavePrefix);
    if (is_virtual) {
      StoreVirtualFile(name, *bytes);
    } else {
      const std::optional<fs::path> path = ScriptFilePath(folder, name);
      if (!path) return;
      fs::create_directories(path->parent_path(), ec);
      platform::WriteFileAtomically(*path, *bytes);
      if (c.count() == 5 && c.Int(4) == 1) delete_at_exit_.push_back(*path);
    }
    c.result().SetAsBool(true);
  }

  static std::string ExtractExt(std::string_view s) {
    const std::string name = ExtractName(s);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
  }

  GameFunctionServices s_;
  std::vector<fs::path> delete_at_exit_;
};

}  // namespace

void RegisterGameFunctions(SysFuncMan& functions, GameFunctionServices services) {
  GameFunctions::Register(functions, std::make_shared<GameFunctions>(std::move(services)));
}

}  // namespace novu
