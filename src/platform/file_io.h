#pragma once
// Whole-file reads and crash-safe writes on the local disk.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace novu::platform {

// The file's bytes, or nothing when it cannot be opened or read.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path);

// Writes `data` to a temporary file in the target's folder, flushes it to disk, then renames it
// over `path`: a crash or a full disk leaves the old file intact. Throws NovuError on failure.
void WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> data);

// Removes the temporary files that writes of `path` left behind when the process was killed
// before their rename; the number removed. Only one writer of `path` may be running.
int RemoveLeftoverTemporaries(const std::filesystem::path& path);

}  // namespace novu::platform
