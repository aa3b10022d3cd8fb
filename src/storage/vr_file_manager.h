#pragma once
// The virtual file system: every game file is read by name through it. Loose files in the base
// folder come first, then the collections in the order they were added (collection 0 is the
// run-time collection), then the roots of mounted optical discs. The player's runtime owns one
// instance; there is no process-wide instance.
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "storage/disk_index.h"
#include "storage/range_stream.h"
#include "storage/vr_file_collection.h"

namespace novu {

class TVrFileManager {
 public:
  // Finds the optical-disc roots from /proc/self/mounts.
  TVrFileManager();
  // Uses the given disc roots (tests, or a system without a mount table).
  explicit TVrFileManager(std::vector<std::filesystem::path> disc_roots);
  ~TVrFileManager();
  TVrFileManager(const TVrFileManager&) = delete;
  TVrFileManager& operator=(const TVrFileManager&) = delete;

  // Mount points of iso9660 and udf file systems in a mount table's text.
  static std::vector<std::filesystem::path> OpticalRootsFromMounts(std::string_view mounts);

  void SetBaseFolder(const std::filesystem::path& folder) { base_folder_ = folder; }
  const std::filesystem::path& BaseFolder() const { return base_folder_; }
  const std::vector<std::filesystem::path>& DiscRoots() const { return disc_roots_; }

  // Registers `path` as a collection (see TVrFileCollection::Open); an empty path adds an empty
  // in-memory collection. Returns its index, or -1 when a collection of that folder or file is
  // already registered. A damaged archive throws NovuError and registers nothing.
  int AddArchive(const std::filesystem::path& path);
  // Registers the archive appended to a program; -1 when the program carries none.
  int AddProgramArchive(const std::filesystem::path& program);
  // Archives inside program resources do not exist on this platform: always throws
  // "リソースが見つかりません".
  [[noreturn]] int AddResourceArchive(const std::filesystem::path& module, std::string_view name,
                                      std::string_view type);
  void RemoveCollection(int index);
  int CollectionCount() const { return static_cast<int>(collections_.size()); }
  TVrFileCollection& Collection(int index) const { return *collections_.at(index); }
  // The first collection's entry of that name, or nullptr.
  TVrFile* FindEntry(std::string_view name) const;

  bool Exists(std::string_view name);
  // The whole content of `name`. Throws "%s:ファイルがありません" when no source has it.
  std::vector<uint8_t> LoadFile(std::string_view name);
  // A stream over the file, for media that are read piece by piece. Entries stored as they are
  // are read straight from their container; compressed and run-time entries are inflated into
  // memory first.
  std::unique_ptr<TRangeStream> OpenRange(std::string_view name);
  // A real path for consumers that need one: the loose file, a private temporary copy of an
  // archive entry (made once per name), a disc file, or the name itself when none has it.
  std::filesystem::path GetRealPath(std::string_view name);
  // Appends the game names of the files directly inside `folder` ("save" or "save\"), from every
  // collection, then from the base folder and the disc roots, without duplicates.
  void ListFiles(std::string_view folder, std::vector<std::string>& names);
  // Once per tick: deletes the temporary files that are no longer used.
  void Housekeeping();

  // The real path of a loose file in the base folder, if any.
  std::optional<std::filesystem::path> FindLooseFile(std::string_view name);

 private:
  std::optional<std::filesystem::path> FindDiscFile(std::string_view name);
  bool HasRegistered(const std::filesystem::path& path) const;
  const std::filesystem::path& TemporaryFolder();

  std::filesystem::path base_folder_;
  std::vector<std::unique_ptr<TVrFileCollection>> collections_;
  std::vector<std::filesystem::path> disc_roots_;
  TDiskIndex disk_index_;
  std::filesystem::path temporary_folder_;  // made on first use, removed at the end
  std::map<std::string, std::filesystem::path> temporary_copies_;  // folded name -> copy
  uint32_t next_copy_id_ = 0;
  std::vector<std::filesystem::path> deletion_list_;
};

// Registers the data sources the way the player starts: with no arguments the base folder is
// the program's folder and the program itself is searched for an appended archive; otherwise
// the base folder is the first argument, and for every argument its "game.dat" (when present)
// and the argument itself when it is a file carrying an appended archive are added. The empty
// run-time collection is added first, so it is collection 0.
void RegisterDataSources(TVrFileManager& files, std::span<const std::string> args,
                         const std::filesystem::path& program);

// The running program's own file (/proc/self/exe).
std::filesystem::path ProgramPath();

}  // namespace novu
