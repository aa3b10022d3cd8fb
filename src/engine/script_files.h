#pragma once
// Where files written by scripts may go. A script names a file relative to the game's save
// folder with "\" or "/" between the parts; an absolute path, a drive prefix ("c:"), an empty
// name or a ".." part is refused, so no script writes outside that folder.
#include <filesystem>
#include <optional>
#include <string_view>

namespace novu {

// The path of `name` (CP932) inside `folder`, or none when the name is refused.
std::optional<std::filesystem::path> ScriptFilePath(const std::filesystem::path& folder,
                                                    std::string_view name);

// "*" matches any run of characters and "?" one byte, ignoring ASCII case.
bool MatchesFileMask(std::string_view name, std::string_view mask);

}  // namespace novu
