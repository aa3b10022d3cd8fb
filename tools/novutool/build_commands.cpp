// novutool build: a whole game from its source folder. "project.txt" becomes novu.npb, every
// page text "NAME.nst" becomes the page NAME.nsb, and the other files are resources; all of
// them are packed into game.dat (or, with --loose, written as loose files).
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "authoring/page_text.h"
#include "authoring/project_description.h"
#include "engine/install_settings.h"
#include "engine/project_setting.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "platform/text_encoding.h"
#include "storage/vr_file_collection.h"
#include "tool_command.h"

namespace novu::tool {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPageSourceExtension = ".nst";

// Source files that are not part of the game.
bool IsBuildFile(const fs::path& relative) {
  const std::string name = relative.filename().string();
  return relative == "project.txt" || name == "CMakeLists.txt" || name.starts_with(".") ||
         name.ends_with("~") || name == "README.md";
}

std::string_view AsText(const std::vector<uint8_t>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// Game name (CP932, backslashes) of a relative path.
std::string GameName(const fs::path& relative) {
  std::string name;
  for (const auto& part : relative) {
    if (!name.empty()) name += '\\';
    name += platform::Utf8ToCp932(part.string());
  }
  return name;
}

// The game's files by game name, built from the source folder.
std::map<std::string, std::vector<uint8_t>> BuildGame(const fs::path& source) {
  std::map<std::string, std::vector<uint8_t>> files;
  const auto project = platform::ReadWholeFile(source / "project.txt");
  if (!project)
    throw NovuError(platform::Utf8ToCp932("cannot read " + (source / "project.txt").string()));
  const TProjectSetting setting = ParseProjectDescription(AsText(*project));
  files["novu.npb"] = setting.Serialize();
  // What an installer leaves: the game's title with its data on disk. A game started without a
  // folder argument (a single-file game, say) needs it; a source folder may bring its own.
  TNovuInstallSet install;
  install.title = setting.title;
  install.data_installed = true;
  files["install.dat"] = install.Serialize();
  for (const auto& item : fs::recursive_directory_iterator(source)) {
    if (!item.is_regular_file()) continue;
    const fs::path relative = fs::relative(item.path(), source);
    if (IsBuildFile(relative)) continue;
    const auto bytes = platform::ReadWholeFile(item.path());
    if (!bytes) throw NovuError(platform::Utf8ToCp932("cannot read " + item.path().string()));
    if (relative.extension() == kPageSourceExtension) {
      fs::path page = relative;
      page.replace_extension(".nsb");
      const std::string name = GameName(page);
      try {
        files[name] = AssemblePage(AsText(*bytes), name);
      } catch (const NovuError& e) {
        throw NovuError(platform::Utf8ToCp932(relative.string() + ": ") + e.message());
      }
      continue;
    }
    files[GameName(relative)] = *bytes;
  }
  return files;
}

int Build(const Args& given) {
  Args args = given;
  const std::string output = TakeOption(args, "-o");
  const bool loose = TakeFlag(args, "--loose");
  if (args.size() != 1 || output.empty()) return Usage("build");
  const auto files = BuildGame(args[0]);
  fs::create_directories(output);
  if (loose) {
    for (const auto& [name, data] : files) {
      std::string relative = platform::Cp932ToUtf8(name);
      for (char& c : relative) {
        if (c == '\\') c = '/';
      }
      const fs::path path = fs::path(output) / relative;
      fs::create_directories(path.parent_path());
      platform::WriteFileAtomically(path, data);
    }
  } else {
    TVrFileCollection archive;
    for (const auto& [name, data] : files) {
      archive.AddMemoryEntry(name).Memory()->Bytes() = data;
    }
    archive.SaveToFile(fs::path(output) / "game.dat");
  }
  std::printf("%zu files\n", files.size());
  return 0;
}

}  // namespace

NOVU_TOOL_COMMAND("build", "GAME_SOURCE_FOLDER -o GAME_FOLDER [--loose]",
                  "build a game: project.txt, page texts (*.nst) and resources into game.dat",
                  Build);

}  // namespace novu::tool
