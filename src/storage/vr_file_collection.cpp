#include "storage/vr_file_collection.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "core/binary_reader.h"
#include "core/cp932.h"
#include "platform/disk_file.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "platform/text_encoding.h"
#include "storage/big_file_stream.h"
#include "storage/zlib_codec.h"

namespace novu {
namespace {

std::string DiskPathText(const std::filesystem::path& path) {
  return platform::Utf8ToCp932(path.string());
}

NovuError NotFound(std::string_view name) {
  return NovuError(FormatOne(Jp("%s:ファイルがありません"), name));
}

// The extension of a game name, with its dot ("" when there is none).
std::string_view GameExtension(std::string_view name) {
  const size_t dot = name.find_last_of('.');
  const size_t slash = name.find_last_of("\\/:");
  if (dot == std::string_view::npos || (slash != std::string_view::npos && slash > dot)) return {};
  return name.substr(dot);
}

// File times are kept in the packed date-and-time form (two seconds resolution, local time).
int32_t PackFileTime(std::time_t t) {
  std::tm local{};
  if (localtime_r(&t, &local) == nullptr) return 0;
  const int year = std::max(local.tm_year + 1900, 1980) - 1980;
  const uint32_t packed =
      (static_cast<uint32_t>(year) << 25) | (static_cast<uint32_t>(local.tm_mon + 1) << 21) |
      (static_cast<uint32_t>(local.tm_mday) << 16) | (static_cast<uint32_t>(local.tm_hour) << 11) |
      (static_cast<uint32_t>(local.tm_min) << 5) | static_cast<uint32_t>(local.tm_sec / 2);
  return static_cast<int32_t>(packed);
}

int32_t FileTimeOf(const std::filesystem::path& path) {
  const auto time = platform::FileModificationTime(path);
  return time ? PackFileTime(*time) : 0;
}

}  // namespace

TVrFileCollection::TVrFileCollection() = default;
TVrFileCollection::~TVrFileCollection() = default;

std::unique_ptr<THashCollectionItem> TVrFileCollection::NewItem() {
  return std::make_unique<TVrFile>();
}

void TVrFileCollection::Reset() {
  Clear();
  container_.reset();
  container_path_.clear();
  folder_.clear();
  version_ = kArchiveWriteVersion;
}

void TVrFileCollection::Open(const std::filesystem::path& path) {
  Reset();
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec) || !std::filesystem::exists(path, ec)) {
    folder_ = path;
    return;
  }
  std::filesystem::path split = path;
  split.replace_extension(".ext");
  if (split != path && std::filesystem::is_regular_file(split, ec)) {
    std::optional<std::vector<uint8_t>> directory = platform::ReadWholeFile(split);
    if (!directory) throw NotFound(DiskPathText(split));
    auto stream = std::make_unique<TKxBigFileStream>(path, BigFileMode::kRead);
    const int64_t size = stream->GetSize();
    Load(path, std::move(stream), 0, size, *directory);
    return;
  }
  const std::string extension = cp932::ToUpper(GameExtension(path.filename().string()));
  if (extension == ".EXE" || extension == ".SCR") {
    OpenAppended(path);
    return;
  }
  auto stream = std::make_unique<TKxBigFileStream>(path, BigFileMode::kRead);
  const int64_t size = stream->GetSize();
  Load(path, std::move(stream), 0, size, {});
}

bool TVrFileCollection::HasAppendedArchive(const std::filesystem::path& program) {
  try {
    TKxBigFileStream stream(program, BigFileMode::kRead);
    const int64_t size = stream.GetSize();
    if (size < kAppendedTrailerSize) return false;
    char mark[2] = {};
    stream.SetPosition(size - 2);
    return stream.Read(mark, 2) == 2 && mark[0] == 'n' && mark[1] == 'v';
  } catch (const NovuError&) {
    return false;
  }
}

void TVrFileCollection::OpenAppended(const std::filesystem::path& program) {
  Reset();
  auto stream = std::make_unique<TKxBigFileStream>(program, BigFileMode::kRead);
  const int64_t size = stream->GetSize();
  uint8_t trailer[kAppendedTrailerSize] = {};
  if (size >= kAppendedTrailerSize) {
    stream->SetPosition(size - kAppendedTrailerSize);
    stream->ReadExactly(trailer, kAppendedTrailerSize);
  }
  BinaryReader r(std::span<const uint8_t>(trailer, kAppendedTrailerSize));
  const int64_t base = r.I32();
  if (size < kAppendedTrailerSize || trailer[4] != 'n' || trailer[5] != 'v') {
    throw NovuError(DiskPathText(program) + ": " + Jp("アーカイブがありません"));
  }
  if (base < 0 || base > size - kAppendedTrailerSize) {
    throw NovuError(DiskPathText(program) + ": " + Jp("アーカイブが壊れています") +
                    " (archive start outside the file)");
  }
  Load(program, std::move(stream), base, size - kAppendedTrailerSize - base, {});
}

void TVrFileCollection::Load(const std::filesystem::path& container,
                             std::unique_ptr<TKxBigStream> stream, int64_t base,
                             int64_t archive_size, std::span<const uint8_t> split_directory) {
  ArchiveDirectory directory;
  try {
    directory = split_directory.empty() ? ReadArchiveDirectory(*stream, base, archive_size)
                                        : ParseArchiveDirectory(split_directory, archive_size);
  } catch (const NovuError& e) {
    Reset();
    throw NovuError(DiskPathText(container) + ": " + e.message());
  }
  container_ = std::move(stream);
  container_path_ = container;
  folder_ = container.parent_path();
  version_ = directory.version;
  for (ArchiveEntryInfo& info : directory.entries) {
    auto entry = std::make_unique<TVrFile>();
    entry->SetName(std::move(info.name));
    entry->source = TVrFile::Source::kContainer;
    entry->offset = base + info.offset;
    entry->size = info.size;
    entry->stored = info.stored;
    entry->time = info.time;
    entry->checksum = info.checksum;
    entry->checksum_before_compression = info.checksum_before_compression;
    Adopt(std::move(entry));
  }
}

void TVrFileCollection::Linked(THashCollectionItem& item) {
  by_name_[cp932::ToUpper(item.Name())].push_back(&item);
}

void TVrFileCollection::Unlinking(THashCollectionItem& item) {
  const auto found = by_name_.find(cp932::ToUpper(item.Name()));
  if (found == by_name_.end()) return;
  std::erase(found->second, &item);
  if (found->second.empty()) by_name_.erase(found);
}

int TVrFileCollection::IndexOf(std::string_view name) const {
  const auto found = by_name_.find(cp932::ToUpper(name));
  return found == by_name_.end() ? -1 : found->second.back()->Index();
}

TVrFile* TVrFileCollection::FindEntry(std::string_view name) const {
  return static_cast<TVrFile*>(Find(name));
}

void TVrFileCollection::SeekToEntry(const TVrFile& entry) {
  container_->SetPosition(entry.offset);
  if (container_->GetPosition() != entry.offset) ThrowPastEnd(entry);
}

void TVrFileCollection::ThrowPastEnd(const TVrFile& entry) {
  throw NovuError(FormatOne(Jp("%s:ファイルが壊れています"), entry.Name()) +
                  " (data past the end of the archive)");
}

std::vector<uint8_t> TVrFileCollection::ReadStoredBytes(const TVrFile& entry) {
  if (entry.source == TVrFile::Source::kMemory) return entry.Memory()->Bytes();
  if (entry.source == TVrFile::Source::kFolder) return ReadFolderEntry(entry);
  if (container_ == nullptr) throw NotFound(entry.Name());
  SeekToEntry(entry);
  // Read through a small hot buffer rather than into a zero-filled vector of the full size.
  std::vector<uint8_t> bytes;
  bytes.reserve(static_cast<size_t>(entry.size));
  constexpr int64_t kPiece = 256 * 1024;
  auto piece = std::make_unique_for_overwrite<uint8_t[]>(kPiece);
  for (int64_t left = entry.size; left > 0;) {
    const int64_t got = container_->Read(piece.get(), std::min(left, kPiece));
    if (got <= 0) ThrowPastEnd(entry);
    bytes.insert(bytes.end(), piece.get(), piece.get() + got);
    left -= got;
  }
  return bytes;
}

std::vector<uint8_t> TVrFileCollection::ReadEntry(const TVrFile& entry) {
  if (entry.source != TVrFile::Source::kContainer) return ReadStoredBytes(entry);
  if (container_ == nullptr) throw NotFound(entry.Name());
  if (!HasChecksums()) {
    if (entry.stored) return ReadStoredBytes(entry);
    SeekToEntry(entry);
    return Inflate(*container_, entry.size, entry.Name());
  }
  // The checksum covers either the bytes as stored or the inflated content.
  if (entry.stored || !entry.checksum_before_compression) {
    std::vector<uint8_t> stored = ReadStoredBytes(entry);
    VerifyChecksum(entry, stored);
    return entry.stored ? stored : Inflate(stored, entry.Name());
  }
  SeekToEntry(entry);
  std::vector<uint8_t> content = Inflate(*container_, entry.size, entry.Name());
  VerifyChecksum(entry, content);
  return content;
}

void TVrFileCollection::VerifyChecksum(const TVrFile& entry, std::span<const uint8_t> data) {
  const uint32_t actual = Crc32(data);
  if (actual == entry.checksum) return;
  char detail[64];
  std::snprintf(detail, sizeof detail, " (checksum %08X, the data gives %08X)", entry.checksum,
                actual);
  throw NovuError(FormatOne(Jp("%s:ファイルが壊れています"), entry.Name()) + detail);
}

bool TVrFileCollection::ChecksumMatches(const TVrFile& entry) {
  if (entry.source != TVrFile::Source::kContainer || !HasChecksums()) return true;
  const std::vector<uint8_t> stored = ReadStoredBytes(entry);
  if (entry.checksum_before_compression && !entry.stored) {
    return Crc32(Inflate(stored, entry.Name())) == entry.checksum;
  }
  return Crc32(stored) == entry.checksum;
}

std::vector<uint8_t> TVrFileCollection::ReadFolderFile(std::string_view name) {
  std::optional<std::filesystem::path> file = disk_index_.FindFile(folder_, name);
  std::error_code ec;
  if (!file ||
      (!container_path_.empty() && std::filesystem::equivalent(*file, container_path_, ec))) {
    throw NotFound(name);
  }
  std::optional<std::vector<uint8_t>> bytes = platform::ReadWholeFile(*file);
  if (!bytes) throw NotFound(name);
  return std::move(*bytes);
}

std::vector<uint8_t> TVrFileCollection::ReadFolderEntry(const TVrFile& entry) {
  if (entry.disk_path.empty()) return ReadFolderFile(entry.Name());
  std::optional<std::vector<uint8_t>> bytes = platform::ReadWholeFile(entry.disk_path);
  if (!bytes) throw NotFound(entry.Name());
  return std::move(*bytes);
}

std::vector<uint8_t> TVrFileCollection::Extract(std::string_view name) {
  if (const TVrFile* entry = FindEntry(name)) return ReadEntry(*entry);
  if (folder_.empty()) throw NotFound(name);
  return ReadFolderFile(name);
}

TVrFile& TVrFileCollection::AddMemoryEntry(std::string_view name) {
  Remove(name);
  auto entry = std::make_unique<TVrFile>();
  entry->SetName(std::string(name));
  entry->source = TVrFile::Source::kMemory;
  entry->memory_ = std::make_unique<TKxBigMemoryStream>();
  entry->time = PackFileTime(std::time(nullptr));
  return Adopt(std::move(entry));
}

TVrFile& TVrFileCollection::AddFolderEntry(std::string_view name, std::filesystem::path disk_path) {
  Remove(name);
  auto entry = std::make_unique<TVrFile>();
  entry->SetName(std::string(name));
  entry->source = TVrFile::Source::kFolder;
  entry->disk_path = std::move(disk_path);
  return Adopt(std::move(entry));
}

void TVrFileCollection::Remove(std::string_view name) {
  for (int index = IndexOf(name); index >= 0; index = IndexOf(name)) Delete(index);
}

bool TVrFileCollection::IsCompressibleName(std::string_view name, int64_t size) {
  // A name without extension tests "." against the list and so is stored as is, as it always
  // has been.
  static constexpr std::string_view kStoredKinds = ".WAV.WMA.OGG.AVI.MPG.MPEG.M1V.WMV.ASF.DAT.";
  const std::string probe = cp932::ToUpper(GameExtension(name)) + ".";
  return kStoredKinds.find(probe) == std::string_view::npos && size < kCompressibleLimit;
}

ArchiveEntryInfo TVrFileCollection::WriteEntry(TKxBigStream& out, TVrFile& entry, int64_t start) {
  ArchiveEntryInfo info;
  info.name = entry.Name();
  info.offset = out.GetPosition() - start;
  std::vector<uint8_t> content;
  bool compressible = false;
  switch (entry.source) {
    case TVrFile::Source::kMemory:
      content = entry.Memory()->Bytes();
      compressible = static_cast<int64_t>(content.size()) <= kMaxCompressedEntry;
      info.time = entry.time;
      break;
    case TVrFile::Source::kContainer:
      content = ReadEntry(entry);
      compressible = static_cast<int64_t>(content.size()) <= kMaxCompressedEntry;
      info.time = entry.time;
      break;
    case TVrFile::Source::kFolder: {
      content = ReadFolderEntry(entry);
      const bool picture = cp932::ToUpper(GameExtension(entry.Name())) == ".FIP";
      compressible = picture && picture_test_
                         ? picture_test_(content)
                         : IsCompressibleName(entry.Name(), static_cast<int64_t>(content.size()));
      if (!entry.disk_path.empty()) {
        info.time = FileTimeOf(entry.disk_path);
      } else if (auto file = disk_index_.FindFile(folder_, entry.Name())) {
        info.time = FileTimeOf(*file);
      }
      break;
    }
  }
  info.checksum = Crc32(content);
  info.checksum_before_compression = true;
  info.stored = true;
  std::vector<uint8_t> compressed;
  if (compressible) {
    compressed = Deflate(content);
    // Compression that saves less than a tenth is not worth inflating for.
    info.stored = content.size() * 9 / 10 < compressed.size();
  }
  const std::vector<uint8_t>& data = info.stored ? content : compressed;
  if (out.Write(data.data(), static_cast<int64_t>(data.size())) !=
      static_cast<int64_t>(data.size())) {
    throw NovuError(Jp("ファイルに書き込めません"));
  }
  info.size = static_cast<int64_t>(data.size());
  return info;
}

void TVrFileCollection::WriteTo(TKxBigStream& out) {
  const int64_t start = out.GetPosition();
  std::vector<ArchiveEntryInfo> infos(static_cast<size_t>(Count()));
  for (int i = 0; i < Count(); ++i) infos[static_cast<size_t>(i)].name = Entry(i).Name();
  WriteArchiveHeader(out, infos, 0, false);
  for (int i = 0; i < Count(); ++i) {
    try {
      infos[static_cast<size_t>(i)] = WriteEntry(out, Entry(i), start);
    } catch (const NovuError& e) {
      throw NovuError(Jp("エラー:") + Entry(i).Name() + " (" + e.message() + ")");
    }
  }
  const int64_t end = out.GetPosition();
  out.SetPosition(start);
  WriteArchiveHeader(out, infos, end - start, true);
  out.SetPosition(end);
}

void TVrFileCollection::SaveToFile(const std::filesystem::path& path) {
  TKxBigMemoryStream archive;
  WriteTo(archive);
  archive.SaveToFile(path);
}

}  // namespace novu
