#pragma once
// The one general error class of the player. Its message is code-page-932 text, like every
// string inside the engine; messages written in this source code are UTF-8 and converted once.
// It sits in the lowest layer, beside the text encoder it needs, because every layer throws it:
// the platform's own services (disk writes, the window) included.
#include <exception>
#include <string>
#include <string_view>

namespace novu {

class NovuError : public std::exception {
 public:
  // `cp932` is taken as is.
  explicit NovuError(std::string cp932) : message_(std::move(cp932)) {}

  // A message written in the source (UTF-8), converted to CP932.
  static NovuError FromUtf8(std::string_view utf8);

  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& message() const noexcept { return message_; }
  std::string Utf8Message() const;

 private:
  std::string message_;
};

// CP932 text for a message written in the source as UTF-8.
std::string Jp(std::string_view utf8);

// Replaces the first "%s" of a CP932 pattern with `value` (the only formatting the messages need).
std::string FormatOne(std::string_view pattern, std::string_view value);

}  // namespace novu
