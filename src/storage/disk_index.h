#pragma once
// Finds game files on disk by their game names. Games name files with `\` separators and
// without regard to letter case ("CG\Bg01.FIP" must find cg/bg01.fip), so every folder's
// listing is cached under case-folded names and re-read only when the folder changes.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace novu {

class TDiskIndex {
 public:
  // The real path of the regular file `name` (CP932, `\` or `/` separators) under `root`.
  std::optional<std::filesystem::path> FindFile(const std::filesystem::path& root,
                                                std::string_view name);
  // The real path of the folder `name` under `root` (an empty name is the root itself).
  std::optional<std::filesystem::path> FindFolder(const std::filesystem::path& root,
                                                  std::string_view name);
  // The path that `name` would have under `root` if it existed: existing components keep their
  // real spelling, the rest are taken as given.
  std::filesystem::path Spell(const std::filesystem::path& root, std::string_view name);

  // The disk path for writing `name` under `root`, or nothing when the name would leave it
  // (a ".." or "." component, a drive or a leading separator).
  static std::optional<std::filesystem::path> PathInside(const std::filesystem::path& root,
                                                         std::string_view name);

  // The disk spelling of one game name component (CP932 to UTF-8).
  static std::string ComponentToDisk(std::string_view cp932_component);
  // Splits a game name at `\` and `/`, dropping empty components.
  static std::vector<std::string> SplitName(std::string_view name);

  // Forgets every cached listing (after the game writes files, for instance).
  void Invalidate() { folders_.clear(); }

 private:
  struct Listing {
    std::filesystem::file_time_type stamp;
    std::unordered_map<std::string, std::string> by_folded;  // folded name -> real name
  };

  // The real entry in `folder` for `component`, consulting the cache and refreshing it once when
  // the folder changed since it was read.
  std::optional<std::filesystem::path> Lookup(const std::filesystem::path& folder,
                                              const std::string& component);
  const Listing* Read(const std::filesystem::path& folder, bool refresh);
  std::optional<std::filesystem::path> Walk(const std::filesystem::path& root,
                                            std::string_view name, bool want_folder);

  std::unordered_map<std::string, Listing> folders_;
};

}  // namespace novu
