#pragma once
#include <string>
#include <string_view>

namespace novu {

// The name that allows one player per game folder: the folder (CP932) upper-cased, with a
// trailing separator, and every path separator replaced by "-".
std::string InstanceKey(std::string_view folder);

}  // namespace novu
