// Archive commands: pack a folder, list and extract an archive, append one to a program.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/cp932.h"
#include "imagefmt/fipo_format.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "platform/text_encoding.h"
#include "storage/archive_format.h"
#include "storage/disk_index.h"
#include "storage/vr_file_collection.h"
#include "storage/zlib_codec.h"
#include "tool_command.h"

namespace novu::tool {
namespace {

namespace fs = std::filesystem;

// Game names use `\` and CP932; disk names here are UTF-8 with `/`.
std::string GameName(const fs::path& relative) {
  std::string name;
  for (const fs::path& part : relative) {
    if (!name.empty()) name += '\\';
    name += platform::Utf8ToCp932(part.string());
  }
  return name;
}

void OpenAny(TVrFileCollection& archive, const fs::path& path) {
  if (!fs::is_regular_file(path))
    throw NovuError(platform::Utf8ToCp932(path.string()) + ": not a file");
  if (TVrFileCollection::HasAppendedArchive(path)) {
    archive.OpenAppended(path);
  } else {
    archive.Open(path);
  }
}

int RunPack(Args args) {
  const std::string out = TakeOption(args, "-o");
  if (args.size() != 1 || out.empty()) return Usage("pack");
  const fs::path folder = args[0];
  if (!fs::is_directory(folder)) return Fail("not a folder: " + folder.string());
  std::error_code ec;
  const fs::path out_path = fs::weakly_canonical(out, ec);
  std::vector<fs::path> files;
  for (const auto& item : fs::recursive_directory_iterator(folder)) {
    if (!item.is_regular_file()) continue;
    if (fs::weakly_canonical(item.path(), ec) == out_path) continue;
    files.push_back(fs::relative(item.path(), folder));
  }
  std::sort(files.begin(), files.end());
  // The player finds entries without regard to case, so two such names could never both be read.
  std::map<std::string, const fs::path*> by_folded_name;
  for (const fs::path& file : files) {
    const auto [at, added] = by_folded_name.emplace(cp932::ToUpper(GameName(file)), &file);
    if (!added) {
      return Fail("'" + at->second->string() + "' and '" + file.string() +
                  "' differ only in letter case; an archive can hold only one of them");
    }
  }
  TVrFileCollection archive;
  archive.Open(folder);
  // Pictures saved without compression are deflated in the archive; compressed ones are not.
  archive.SetCompressionTest(
      [](std::span<const uint8_t> data) { return imagefmt::IsStoredUncompressed(data); });
  // Each file is read from where it lies: looking its game name up again would fold the case
  // of its folders, and `CG/` and `cg/` are two folders on this disk.
  for (const fs::path& file : files) archive.AddFolderEntry(GameName(file), folder / file);
  archive.SaveToFile(out);
  std::printf("%zu entries -> %s\n", files.size(), out.c_str());
  return 0;
}

// The size of the entry's content; none when its compressed data cannot be inflated.
std::optional<int64_t> OriginalSize(TVrFileCollection& archive, const TVrFile& entry) {
  if (entry.stored) return entry.size;
  try {
    return static_cast<int64_t>(Inflate(archive.ReadStoredBytes(entry), entry.Name()).size());
  } catch (const NovuError&) {
    return std::nullopt;
  }
}

int RunList(Args args) {
  if (args.size() != 1) return Usage("list");
  TVrFileCollection archive;
  OpenAny(archive, args[0]);
  std::printf("version %d, %d entries\n", archive.Version(), archive.Count());
  std::printf("%12s  %12s  %6s  %-10s  %-12s  %s\n", "original", "stored", "ratio", "kind",
              "checksum", "name");
  int bad = 0;
  for (int i = 0; i < archive.Count(); ++i) {
    const TVrFile& entry = archive.Entry(i);
    const char* check = "-";
    if (archive.Version() > 100) {
      bool ok = false;
      try {
        ok = archive.ChecksumMatches(entry);
      } catch (const NovuError&) {
      }
      check = ok ? "ok" : "BAD";
      if (!ok) ++bad;
    }
    const std::optional<int64_t> original = OriginalSize(archive, entry);
    const std::string original_text = original ? std::to_string(*original) : "?";
    std::string ratio = "-";
    if (original && *original > 0) {
      char text[16];
      std::snprintf(text, sizeof text, "%.1f%%",
                    100.0 * static_cast<double>(entry.size) / static_cast<double>(*original));
      ratio = text;
    }
    std::printf("%12s  %12lld  %6s  %-10s  %08X %-3s  %s\n", original_text.c_str(),
                static_cast<long long>(entry.size), ratio.c_str(),
                entry.stored ? "stored" : "compressed", entry.checksum, check,
                platform::Cp932ToUtf8(entry.Name()).c_str());
  }
  if (bad > 0) return Fail(std::to_string(bad) + " entries fail their checksum");
  return 0;
}

int RunExtract(Args args) {
  std::string out = TakeOption(args, "-o");
  if (args.empty()) return Usage("extract");
  if (out.empty()) out = ".";
  TVrFileCollection archive;
  OpenAny(archive, args[0]);
  std::vector<std::string> wanted(args.begin() + 1, args.end());
  for (std::string& name : wanted) name = platform::Utf8ToCp932(name);
  int failures = 0;
  auto extract = [&](const TVrFile& entry) {
    const std::string shown = platform::Cp932ToUtf8(entry.Name());
    std::optional<fs::path> target = TDiskIndex::PathInside(out, entry.Name());
    if (!target) {
      ++failures;
      std::fprintf(stderr, "novutool: %s: refusing a name outside the output folder\n",
                   shown.c_str());
      return;
    }
    try {
      if (!archive.ChecksumMatches(entry)) {
        ++failures;
        std::fprintf(stderr, "novutool: %s: checksum mismatch, not written\n", shown.c_str());
        return;
      }
      const std::vector<uint8_t> content = archive.ReadEntry(entry);
      fs::create_directories(target->parent_path());
      platform::WriteFileAtomically(*target, content);
      std::printf("%s\n", shown.c_str());
    } catch (const NovuError& e) {
      ++failures;
      std::fprintf(stderr, "novutool: %s: %s\n", shown.c_str(), e.Utf8Message().c_str());
    }
  };
  if (wanted.empty()) {
    for (int i = 0; i < archive.Count(); ++i) extract(archive.Entry(i));
  }
  for (const std::string& name : wanted) {
    if (const TVrFile* entry = archive.FindEntry(name)) {
      extract(*entry);
    } else {
      ++failures;
      std::fprintf(stderr, "novutool: %s: no such entry\n", platform::Cp932ToUtf8(name).c_str());
    }
  }
  return failures == 0 ? 0 : 1;
}

int RunAppend(Args args) {
  const std::string out = TakeOption(args, "-o");
  if (args.size() != 2 || out.empty()) return Usage("append");
  std::optional<std::vector<uint8_t>> program = platform::ReadWholeFile(args[0]);
  if (!program) return Fail("cannot read " + args[0]);
  std::optional<std::vector<uint8_t>> archive = platform::ReadWholeFile(args[1]);
  if (!archive) return Fail("cannot read " + args[1]);
  // Refuse what the player would refuse: the archive must be readable as it is.
  ParseArchiveDirectory(*archive, static_cast<int64_t>(archive->size()));
  if (program->size() > static_cast<size_t>(INT32_MAX)) return Fail("program too large");
  const auto base = static_cast<int32_t>(program->size());
  std::vector<uint8_t> joined = std::move(*program);
  joined.insert(joined.end(), archive->begin(), archive->end());
  const std::vector<uint8_t> trailer = AppendedTrailer(base);
  joined.insert(joined.end(), trailer.begin(), trailer.end());
  platform::WriteFileAtomically(out, joined);
  struct stat info {};
  if (stat(args[0].c_str(), &info) == 0) chmod(out.c_str(), info.st_mode & 07777);
  std::printf("%s: archive at %d\n", out.c_str(), base);
  return 0;
}

NOVU_TOOL_COMMAND("pack", "DIR -o ARCHIVE", "pack a folder into a version 102 archive", RunPack);
NOVU_TOOL_COMMAND("list", "ARCHIVE",
                  "list entries: original and stored size, ratio, stored or compressed, checksum "
                  "check",
                  RunList);
NOVU_TOOL_COMMAND("extract", "ARCHIVE [-o DIR] [NAME...]",
                  "extract entries (all by default), verifying their checksums", RunExtract);
NOVU_TOOL_COMMAND("append", "PROGRAM ARCHIVE -o OUT",
                  "append an archive to a program, making a single-file game", RunAppend);

}  // namespace
}  // namespace novu::tool
