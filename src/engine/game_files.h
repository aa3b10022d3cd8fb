#pragma once
// Where the project finds its files by game name ("novu.npb", "cg\\bg01.fip"): names use
// backslashes and compare without regard to case.
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace novu {

class GameFiles {
 public:
  virtual ~GameFiles() = default;
  virtual bool Exists(std::string_view name) = 0;
  // The whole file; raises NovuError when it is missing or cannot be read.
  virtual std::vector<uint8_t> Load(std::string_view name) = 0;
};

// Loose files below one folder on disk, found case-insensitively.
class FolderGameFiles : public GameFiles {
 public:
  explicit FolderGameFiles(std::filesystem::path folder) : folder_(std::move(folder)) {}
  bool Exists(std::string_view name) override;
  std::vector<uint8_t> Load(std::string_view name) override;

 private:
  // The path on disk for a game name, or empty when there is none.
  std::filesystem::path Resolve(std::string_view name) const;
  std::filesystem::path folder_;
};

}  // namespace novu
