#pragma once
// Downloaded text arrives in EUC-JP; the engine keeps CP932. The conversion is the byte rule the
// download component has always used, not a full decoder: NUL becomes a space, 0x01..0x80 and
// 0xFF are copied, 0x8E passes the next byte on alone (half-width katakana), and any other byte
// pairs with the next one and is mapped arithmetically onto the Shift_JIS pair. A lead byte left
// without its partner at the end of the data is dropped.
#include <string>
#include <string_view>

namespace novu {

std::string EucJpToCp932(std::string_view euc);

}  // namespace novu
