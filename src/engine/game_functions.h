#pragma once
// The system functions that need the running game: save captions, the call stack, files of the
// virtual file system and of the save folder, and the desktop (URLs and dialogs). Registered by
// the player at start-up, before the project exists; the project is looked up at each call.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>

namespace novu {

class TNovuHistoryFormatManager;

namespace platform {
class DesktopServices;
class MessageBoxService;
}  // namespace platform

class SysFuncMan;
class TNovuBaseList;
class TProject;
class TVrFileManager;

struct GameFunctionServices {
  TVrFileManager& files;
  platform::MessageBoxService& messages;
  platform::DesktopServices& desktop;
  // The running project; null before it exists and after it is freed.
  std::function<TProject*()> project;
  // The screens SaveScreen captures; none: it answers false.
  TNovuBaseList* objects = nullptr;
  // The history formats the history functions look up by name; none: no format is found.
  std::function<TNovuHistoryFormatManager*()> histories = {};
};

// The largest capture SaveScreen makes: a script cannot ask for gigabytes of pixels.
inline constexpr int32_t kMaxCaptureSide = 8192;
inline constexpr int64_t kMaxCapturePixels = int64_t{1} << 24;

void RegisterGameFunctions(SysFuncMan& functions, GameFunctionServices services);

// The folder files written by scripts go to: the one holding save.dat (empty when the game has
// none).
std::filesystem::path ScriptSaveFolder(TProject& project);

// True when `name` begins with `prefix`, ignoring case.
bool HasPrefixNoCase(std::string_view name, std::string_view prefix);

}  // namespace novu
