#include "engine/game_files.h"

#include "core/cp932.h"
#include "core/error.h"
#include "platform/file_io.h"

namespace novu {

std::filesystem::path FolderGameFiles::Resolve(std::string_view name) const {
  std::filesystem::path path = folder_;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = name.size();
    std::string_view part = name.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") return {};  // game names never leave the game folder
    std::error_code ec;
    std::filesystem::path exact = path / std::string(part);
    if (std::filesystem::exists(exact, ec)) {
      path = exact;
      continue;
    }
    std::filesystem::path found;
    for (const auto& entry : std::filesystem::directory_iterator(path, ec)) {
      if (cp932::EqualsNoCase(entry.path().filename().string(), part)) {
        found = entry.path();
        break;
      }
    }
    if (found.empty()) return {};
    path = found;
  }
  return path;
}

bool FolderGameFiles::Exists(std::string_view name) {
  std::filesystem::path path = Resolve(name);
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

std::vector<uint8_t> FolderGameFiles::Load(std::string_view name) {
  std::filesystem::path path = Resolve(name);
  auto bytes = path.empty() ? std::nullopt : platform::ReadWholeFile(path);
  if (!bytes) {
    throw NovuError(std::string(name) + Jp("：ファイルが見つかりません"));
  }
  return std::move(*bytes);
}

}  // namespace novu
