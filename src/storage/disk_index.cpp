#include "storage/disk_index.h"

#include "platform/text_encoding.h"

namespace novu {
namespace {

// Disk names are UTF-8 here; folding ASCII letters only is safe because every byte of a
// multi-byte UTF-8 character is 0x80 or above.
std::string Fold(std::string_view utf8) {
  std::string folded(utf8);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

}  // namespace

std::string TDiskIndex::ComponentToDisk(std::string_view cp932_component) {
  return platform::Cp932ToUtf8(cp932_component);
}

std::vector<std::string> TDiskIndex::SplitName(std::string_view name) {
  std::vector<std::string> parts;
  std::string current;
  for (size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<uint8_t>(name[i]);
    if (c == '\\' || c == '/') {
      if (!current.empty()) parts.push_back(std::move(current));
      current.clear();
      continue;
    }
    current.push_back(name[i]);
    // A trail byte may equal '\\' (0x5C): keep it with its lead byte.
    if (((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) && i + 1 < name.size()) {
      current.push_back(name[++i]);
    }
  }
  if (!current.empty()) parts.push_back(std::move(current));
  return parts;
}

std::optional<std::filesystem::path> TDiskIndex::PathInside(const std::filesystem::path& root,
                                                            std::string_view name) {
  const std::vector<std::string> parts = SplitName(name);
  if (parts.empty() || name.front() == '\\' || name.front() == '/') return std::nullopt;
  std::filesystem::path target = root;
  for (const std::string& part : parts) {
    if (part == "." || part == ".." || part.find(':') != std::string::npos) return std::nullopt;
    target /= ComponentToDisk(part);
  }
  return target;
}

const TDiskIndex::Listing* TDiskIndex::Read(const std::filesystem::path& folder, bool refresh) {
  std::error_code ec;
  const auto stamp = std::filesystem::last_write_time(folder, ec);
  if (ec) return nullptr;
  auto found = folders_.find(folder.native());
  if (found != folders_.end() && (!refresh || found->second.stamp == stamp)) {
    return &found->second;
  }
  Listing listing{stamp, {}};
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    // An exact spelling wins over other spellings of the same folded name.
    listing.by_folded.emplace(Fold(name), name);
  }
  if (ec && listing.by_folded.empty()) return nullptr;
  return &(folders_[folder.native()] = std::move(listing));
}

std::optional<std::filesystem::path> TDiskIndex::Lookup(const std::filesystem::path& folder,
                                                        const std::string& component) {
  for (bool refresh : {false, true}) {
    const Listing* listing = Read(folder, refresh);
    if (listing == nullptr) return std::nullopt;
    const auto exact = listing->by_folded.find(Fold(component));
    if (exact != listing->by_folded.end()) {
      std::filesystem::path real = folder / exact->second;
      std::error_code ec;
      if (std::filesystem::exists(real, ec)) return real;
    }
  }
  return std::nullopt;
}

std::optional<std::filesystem::path> TDiskIndex::Walk(const std::filesystem::path& root,
                                                      std::string_view name, bool want_folder) {
  std::filesystem::path current = root;
  for (const std::string& part : SplitName(name)) {
    if (part == ".") continue;
    if (part == "..") {
      current = current.parent_path();
      continue;
    }
    std::optional<std::filesystem::path> next = Lookup(current, ComponentToDisk(part));
    if (!next) return std::nullopt;
    current = std::move(*next);
  }
  std::error_code ec;
  const bool ok = want_folder ? std::filesystem::is_directory(current, ec)
                              : std::filesystem::is_regular_file(current, ec);
  if (!ok) return std::nullopt;
  return current;
}

std::optional<std::filesystem::path> TDiskIndex::FindFile(const std::filesystem::path& root,
                                                          std::string_view name) {
  if (root.empty() || SplitName(name).empty()) return std::nullopt;
  return Walk(root, name, false);
}

std::optional<std::filesystem::path> TDiskIndex::FindFolder(const std::filesystem::path& root,
                                                            std::string_view name) {
  if (root.empty()) return std::nullopt;
  return Walk(root, name, true);
}

std::filesystem::path TDiskIndex::Spell(const std::filesystem::path& root, std::string_view name) {
  std::filesystem::path current = root;
  bool exists = true;
  for (const std::string& part : SplitName(name)) {
    const std::string disk = ComponentToDisk(part);
    std::optional<std::filesystem::path> next;
    if (exists) next = Lookup(current, disk);
    exists = next.has_value();
    current = exists ? std::move(*next) : current / disk;
  }
  return current;
}

}  // namespace novu
