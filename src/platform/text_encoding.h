#pragma once
// Conversion between the engine's code-page-932 byte strings and UTF-8 at the edges of the
// program (glyphs, window title, message boxes, file names on disk, JSON and log output).
#include <string>
#include <string_view>

namespace novu::platform {

// Invalid or unmapped input never fails: a byte that cannot be converted becomes U+FFFD
// (towards UTF-8) or '?' (towards CP932). The single bytes 0x80, 0xA0 and 0xFD-0xFF, which
// the converter refuses, map to U+0080, U+F8F0 and U+F8F1-U+F8F3 and back.
std::string Cp932ToUtf8(std::string_view cp932);
std::string Utf8ToCp932(std::string_view utf8);
// Typed text: every character that code page 932 cannot hold, and every malformed sequence, is
// left out instead of being replaced.
std::string Utf8ToCp932Typed(std::string_view utf8);

}  // namespace novu::platform
