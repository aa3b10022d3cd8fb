#include "platform/error.h"

#include "platform/text_encoding.h"

namespace novu {

NovuError NovuError::FromUtf8(std::string_view utf8) {
  return NovuError(Jp(utf8));
}

std::string NovuError::Utf8Message() const {
  return platform::Cp932ToUtf8(message_);
}

std::string Jp(std::string_view utf8) {
  return platform::Utf8ToCp932(utf8);
}

std::string FormatOne(std::string_view pattern, std::string_view value) {
  std::string out(pattern);
  size_t at = out.find("%s");
  if (at != std::string::npos) out.replace(at, 2, value);
  return out;
}

}  // namespace novu
