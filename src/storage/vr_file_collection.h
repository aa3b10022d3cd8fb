#pragma once
// One source of game files: an archive (a plain file, a split ".ext" directory beside its data,
// or data appended to a program), a folder of loose files, or purely in-memory entries added at
// run time (the save file is written from such a collection).
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "storage/archive_format.h"
#include "storage/big_stream.h"
#include "storage/disk_index.h"
#include "storage/hash_collection.h"

namespace novu {

class TVrFile : public THashCollectionItem {
 public:
  enum class Source {
    kContainer,  // bytes in the collection's container
    kMemory,     // added at run time; content in Memory()
    kFolder,     // a loose file in the collection folder (packing a folder)
  };

  Source source = Source::kFolder;
  int64_t offset = 0;  // absolute in the container
  int64_t size = 0;
  bool stored = false;
  int32_t time = 0;
  uint32_t checksum = 0;
  bool checksum_before_compression = false;
  // kFolder: the file on disk when it was given; otherwise the name is looked up in the
  // collection folder without regard to case.
  std::filesystem::path disk_path;

  TKxBigMemoryStream* Memory() const { return memory_.get(); }

 private:
  friend class TVrFileCollection;
  std::unique_ptr<TKxBigMemoryStream> memory_;
};

// Decides whether a layered picture gains from compression (the picture reader knows; storage
// sits below it, so the player hands the test in).
using CompressionTest = std::function<bool(std::span<const uint8_t> data)>;

class TVrFileCollection : public THashCollection {
 public:
  // In-memory entries above this size are stored as they are.
  static constexpr int64_t kMaxCompressedEntry = 0x4FFFFF;
  // Files of this size and above are never compressed.
  static constexpr int64_t kCompressibleLimit = 0x500000;

  TVrFileCollection();
  ~TVrFileCollection() override;

  // Opens `path`: an existing folder (loose files only), a file with a ".ext" sibling holding
  // the directory, a program (".exe"/".scr") with an appended archive, or a plain archive. A
  // missing path gives an empty collection whose folder is the path itself. A damaged archive
  // throws NovuError and leaves the collection empty.
  void Open(const std::filesystem::path& path);
  // Opens the archive appended to a program file (trailer: i32 B, "nv"). Throws NovuError when
  // the file has no such trailer.
  void OpenAppended(const std::filesystem::path& program);
  // True when the file ends in "nv" (the mark of an appended archive).
  static bool HasAppendedArchive(const std::filesystem::path& program);

  // Archives hold tens of thousands of entries whose names often share one of the 256 name
  // buckets (same length, same first and second-to-last byte: "cg\\bg0001.fip" ...), so the
  // lookup goes through a full hash of the folded name; the result is the same: the newest
  // linked entry of that name.
  int IndexOf(std::string_view name) const override;
  TVrFile* FindEntry(std::string_view name) const;
  TVrFile& Entry(int index) const { return static_cast<TVrFile&>(Item(index)); }

  // The content of `name`: from the container (inflated unless stored), from memory, or from
  // the collection folder. Throws "%s:ファイルがありません" when none has it, and
  // "%s:ファイルが壊れています" when an archive entry does not match its checksum.
  std::vector<uint8_t> Extract(std::string_view name);
  std::vector<uint8_t> ReadEntry(const TVrFile& entry);
  // The bytes of the entry as they lie in the container (compressed or not).
  std::vector<uint8_t> ReadStoredBytes(const TVrFile& entry);
  // Whether the entry's checksum matches its data (always true for formats without checksums).
  bool ChecksumMatches(const TVrFile& entry);

  // A new run-time entry with an empty owned stream; an older entry of the same name goes.
  TVrFile& AddMemoryEntry(std::string_view name);
  // An entry naming a file in the collection folder (used to pack a folder); `disk_path`, when
  // given, is the very file to read.
  TVrFile& AddFolderEntry(std::string_view name, std::filesystem::path disk_path = {});
  void Remove(std::string_view name);

  // Writes the collection as a version 102 archive to `out`, starting at its current position.
  void WriteTo(TKxBigStream& out);
  // Writes the archive to a temporary file beside `path` and renames it over `path`.
  void SaveToFile(const std::filesystem::path& path);

  // Whether a file of that name and size is worth compressing.
  static bool IsCompressibleName(std::string_view name, int64_t size);

  bool HasContainer() const { return container_ != nullptr; }
  int32_t Version() const { return version_; }
  const std::filesystem::path& Folder() const { return folder_; }
  const std::filesystem::path& ContainerPath() const { return container_path_; }
  TDiskIndex& DiskIndex() { return disk_index_; }
  void SetCompressionTest(CompressionTest test) { picture_test_ = std::move(test); }

 protected:
  std::unique_ptr<THashCollectionItem> NewItem() override;
  void Linked(THashCollectionItem& item) override;
  void Unlinking(THashCollectionItem& item) override;

 private:
  void Load(const std::filesystem::path& container, std::unique_ptr<TKxBigStream> stream,
            int64_t base, int64_t archive_size, std::span<const uint8_t> split_directory);
  void Reset();
  std::vector<uint8_t> ReadFolderFile(std::string_view name);
  std::vector<uint8_t> ReadFolderEntry(const TVrFile& entry);
  void SeekToEntry(const TVrFile& entry);
  [[noreturn]] static void ThrowPastEnd(const TVrFile& entry);
  // Archives after version 100 carry a CRC-32 per entry.
  bool HasChecksums() const { return version_ > 100; }
  static void VerifyChecksum(const TVrFile& entry, std::span<const uint8_t> data);
  ArchiveEntryInfo WriteEntry(TKxBigStream& out, TVrFile& entry, int64_t start);

  std::unique_ptr<TKxBigStream> container_;
  std::filesystem::path container_path_;
  std::filesystem::path folder_;
  int32_t version_ = kArchiveWriteVersion;
  TDiskIndex disk_index_;
  CompressionTest picture_test_;
  // Folded name -> entries of that name in link order (the newest last).
  std::unordered_map<std::string, std::vector<THashCollectionItem*>> by_name_;
};

}  // namespace novu
