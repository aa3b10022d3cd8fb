#include "storage/vr_file_manager.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "core/cp932.h"
#include "platform/disk_file.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "platform/text_encoding.h"
#include "storage/big_file_stream.h"

namespace novu {
namespace {

NovuError NotFound(std::string_view name) {
  return NovuError(FormatOne(Jp("%s:ファイルがありません"), name));
}

// The folder part of a game name, without its trailing separator ("" for a bare file name).
std::string_view FolderPart(std::string_view name) {
  const size_t slash = name.find_last_of("\\/");
  return slash == std::string_view::npos ? std::string_view() : name.substr(0, slash);
}

std::string_view TrimSeparators(std::string_view folder) {
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) {
    folder.remove_suffix(1);
  }
  return folder;
}

// Mount tables escape blanks and a few other bytes as backslash and three octal digits.
std::string UnescapeMountField(std::string_view field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      const std::string digits(field.substr(i + 1, 3));
      if (digits.size() == 3 && digits.find_first_not_of("01234567") == std::string::npos) {
        out.push_back(static_cast<char>(std::strtol(digits.c_str(), nullptr, 8)));
        i += 3;
        continue;
      }
    }
    out.push_back(field[i]);
  }
  return out;
}

std::string ReadMounts() {
  std::ifstream in("/proc/self/mounts");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

TVrFileManager::TVrFileManager() : TVrFileManager(OpticalRootsFromMounts(ReadMounts())) {}

TVrFileManager::TVrFileManager(std::vector<std::filesystem::path> disc_roots)
    : disc_roots_(std::move(disc_roots)) {}

TVrFileManager::~TVrFileManager() {
  for (const auto& [name, copy] : temporary_copies_) deletion_list_.push_back(copy);
  Housekeeping();
  if (!temporary_folder_.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(temporary_folder_, ec);
  }
}

std::vector<std::filesystem::path> TVrFileManager::OpticalRootsFromMounts(std::string_view mounts) {
  std::vector<std::filesystem::path> roots;
  std::istringstream lines{std::string(mounts)};
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string device, mount_point, type;
    if (!(fields >> device >> mount_point >> type)) continue;
    if (type == "iso9660" || type == "udf") roots.emplace_back(UnescapeMountField(mount_point));
  }
  return roots;
}

bool TVrFileManager::HasRegistered(const std::filesystem::path& path) const {
  const std::filesystem::path wanted = path.lexically_normal();
  for (const auto& collection : collections_) {
    if (collection->Folder().lexically_normal() == wanted ||
        (!collection->ContainerPath().empty() &&
         collection->ContainerPath().lexically_normal() == wanted)) {
      return true;
    }
  }
  return false;
}

int TVrFileManager::AddArchive(const std::filesystem::path& path) {
  if (!path.empty() && HasRegistered(path)) return -1;
  auto collection = std::make_unique<TVrFileCollection>();
  if (!path.empty()) collection->Open(path);
  collections_.push_back(std::move(collection));
  return CollectionCount() - 1;
}

int TVrFileManager::AddProgramArchive(const std::filesystem::path& program) {
  if (HasRegistered(program) || !TVrFileCollection::HasAppendedArchive(program)) return -1;
  auto collection = std::make_unique<TVrFileCollection>();
  collection->OpenAppended(program);
  collections_.push_back(std::move(collection));
  return CollectionCount() - 1;
}

int TVrFileManager::AddResourceArchive(const std::filesystem::path& /*module*/,
                                       std::string_view /*name*/, std::string_view /*type*/) {
  // Programs on this platform carry no resources; archives travel appended to the program.
  throw NovuError::FromUtf8("リソースが見つかりません");
}

void TVrFileManager::RemoveCollection(int index) {
  if (index < 0 || index >= CollectionCount()) return;
  collections_.erase(collections_.begin() + index);
}

TVrFile* TVrFileManager::FindEntry(std::string_view name) const {
  for (const auto& collection : collections_) {
    if (TVrFile* entry = collection->FindEntry(name)) return entry;
  }
  return nullptr;
}

std::optional<std::filesystem::path> TVrFileManager::FindLooseFile(std::string_view name) {
  return disk_index_.FindFile(base_folder_, name);
}

std::optional<std::filesystem::path> TVrFileManager::FindDiscFile(std::string_view name) {
  for (const std::filesystem::path& root : disc_roots_) {
    if (auto file = disk_index_.FindFile(root, name)) return file;
  }
  return std::nullopt;
}

bool TVrFileManager::Exists(std::string_view name) {
  if (name.empty()) return false;
  return FindEntry(name) != nullptr || FindLooseFile(name) || FindDiscFile(name);
}

std::vector<uint8_t> TVrFileManager::LoadFile(std::string_view name) {
  auto read_disk = [&](const std::filesystem::path& file) {
    std::optional<std::vector<uint8_t>> bytes = platform::ReadWholeFile(file);
    if (!bytes) throw NotFound(name);
    return std::move(*bytes);
  };
  if (auto file = FindLooseFile(name)) return read_disk(*file);
  for (const auto& collection : collections_) {
    TVrFile* entry = collection->FindEntry(name);
    if (entry == nullptr) continue;
    // An entry whose bytes are nowhere (a collection without container) does not end the search.
    if (entry->source == TVrFile::Source::kContainer && !collection->HasContainer()) continue;
    return collection->ReadEntry(*entry);
  }
  if (auto file = FindDiscFile(name)) return read_disk(*file);
  throw NotFound(name);
}

std::unique_ptr<TRangeStream> TVrFileManager::OpenRange(std::string_view name) {
  if (auto file = FindLooseFile(name)) return std::make_unique<TFileRangeStream>(*file, 0, 0);
  for (const auto& collection : collections_) {
    TVrFile* entry = collection->FindEntry(name);
    if (entry == nullptr) continue;
    if (entry->source == TVrFile::Source::kContainer && entry->stored && entry->size > 0 &&
        collection->HasContainer()) {
      return std::make_unique<TRangeStream>(
          std::make_unique<TKxBigFileStream>(collection->ContainerPath(), BigFileMode::kRead),
          entry->offset, entry->size);
    }
    if (entry->source == TVrFile::Source::kContainer && !collection->HasContainer()) continue;
    return std::make_unique<TRangeStream>(
        std::make_unique<TKxBigMemoryStream>(collection->ReadEntry(*entry)), 0, 0);
  }
  if (auto file = FindDiscFile(name)) return std::make_unique<TFileRangeStream>(*file, 0, 0);
  throw NotFound(name);
}

const std::filesystem::path& TVrFileManager::TemporaryFolder() {
  if (temporary_folder_.empty()) {
    auto folder = platform::MakePrivateTempFolder("novu-");
    if (!folder) throw NovuError::FromUtf8("作業用ファイルが作れません");
    temporary_folder_ = *folder;
  }
  return temporary_folder_;
}

std::filesystem::path TVrFileManager::GetRealPath(std::string_view name) {
  if (auto file = FindLooseFile(name)) return *file;
  if (FindEntry(name) != nullptr) {
    const std::string key = cp932::ToUpper(name);
    if (auto known = temporary_copies_.find(key); known != temporary_copies_.end()) {
      std::error_code ec;
      if (std::filesystem::exists(known->second, ec)) return known->second;
    }
    const size_t dot = name.find_last_of('.');
    const size_t slash = name.find_last_of("\\/");
    const std::string extension =
        dot != std::string_view::npos && (slash == std::string_view::npos || slash < dot)
            ? platform::Cp932ToUtf8(name.substr(dot))
            : std::string();
    char stem[16];
    std::snprintf(stem, sizeof stem, "~nv%08X", next_copy_id_++);
    const std::filesystem::path copy = TemporaryFolder() / (stem + extension);
    const std::vector<uint8_t> content = LoadFile(name);
    try {
      platform::WriteFileAtomically(copy, content);
    } catch (const NovuError&) {
      throw NovuError::FromUtf8("作業用ファイルが作れません");
    }
    temporary_copies_[key] = copy;
    return copy;
  }
  if (auto file = FindDiscFile(name)) return *file;
  return std::filesystem::path(platform::Cp932ToUtf8(name));
}

void TVrFileManager::ListFiles(std::string_view folder, std::vector<std::string>& names) {
  const std::string_view wanted = TrimSeparators(folder);
  std::set<std::string> seen;
  for (const std::string& name : names) seen.insert(cp932::ToUpper(name));
  auto add = [&](std::string name) {
    if (seen.insert(cp932::ToUpper(name)).second) names.push_back(std::move(name));
  };
  for (const auto& collection : collections_) {
    for (int i = 0; i < collection->Count(); ++i) {
      const std::string& name = collection->Entry(i).Name();
      if (cp932::EqualsNoCase(FolderPart(name), wanted)) add(name);
    }
  }
  const std::string prefix = wanted.empty() ? std::string() : std::string(wanted) + "\\";
  std::vector<std::filesystem::path> roots{base_folder_};
  roots.insert(roots.end(), disc_roots_.begin(), disc_roots_.end());
  for (const std::filesystem::path& root : roots) {
    std::optional<std::filesystem::path> dir = disk_index_.FindFolder(root, wanted);
    if (!dir) continue;
    std::error_code ec;
    std::vector<std::string> found;
    for (std::filesystem::directory_iterator it(*dir, ec), end; !ec && it != end;
         it.increment(ec)) {
      if (it->is_regular_file(ec)) found.push_back(it->path().filename().string());
    }
    std::sort(found.begin(), found.end());
    for (const std::string& file : found) add(prefix + platform::Utf8ToCp932(file));
  }
}

void TVrFileManager::Housekeeping() {
  for (const std::filesystem::path& file : deletion_list_) {
    std::error_code ec;
    std::filesystem::remove(file, ec);
  }
  deletion_list_.clear();
}

std::filesystem::path ProgramPath() {
  std::error_code ec;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path("/proc/self/exe") : program;
}

void RegisterDataSources(TVrFileManager& files, std::span<const std::string> args,
                         const std::filesystem::path& program) {
  files.AddArchive({});  // the run-time collection
  if (args.empty()) {
    files.SetBaseFolder(program.parent_path());
    files.AddProgramArchive(program);
    return;
  }
  files.SetBaseFolder(std::filesystem::path(args.front()));
  TDiskIndex index;
  for (const std::string& arg : args) {
    const std::filesystem::path source(arg);
    std::error_code ec;
    if (std::filesystem::is_directory(source, ec)) {
      if (auto archive = index.FindFile(source, "game.dat")) files.AddArchive(*archive);
    } else if (std::filesystem::is_regular_file(source, ec)) {
      files.AddProgramArchive(source);
    }
  }
}

}  // namespace novu
