#include "platform/text_encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <mutex>

namespace novu::platform {
namespace {

// One converter per direction; iconv_t is not thread-safe, so each use takes its lock.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts as much as possible; returns the number of input bytes consumed.
  size_t Convert(std::string_view in, std::string& out) {
    std::lock_guard lock(mutex_);
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return 0;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    size_t src_left = in.size();
    char buffer[256];
    while (src_left > 0) {
      char* dst = buffer;
      size_t dst_left = sizeof buffer;
      size_t rc = iconv(cd_, &src, &src_left, &dst, &dst_left);
      out.append(buffer, dst - buffer);
      if (rc == static_cast<size_t>(-1) && errno != E2BIG) break;
    }
    return in.size() - src_left;
  }

 private:
  iconv_t cd_;
  std::mutex mutex_;
};

Converter& ToUtf8() {
  static Converter converter("UTF-8", "CP932");
  return converter;
}

Converter& ToCp932() {
  static Converter converter("CP932", "UTF-8");
  return converter;
}

bool IsCp932LeadByte(uint8_t b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The single bytes that CP932 defines but the converter refuses, with private-use stand-ins.
const char* SpecialByteToUtf8(uint8_t b) {
  switch (b) {
    case 0x80:
      return "\xC2\x80";
    case 0xA0:
      return "\xEF\xA3\xB0";
    case 0xFD:
      return "\xEF\xA3\xB1";
    case 0xFE:
      return "\xEF\xA3\xB2";
    case 0xFF:
      return "\xEF\xA3\xB3";
    default:
      return nullptr;
  }
}

size_t Utf8SequenceLength(uint8_t b) {
  if (b < 0x80) return 1;
  if ((b & 0xE0) == 0xC0) return 2;
  if ((b & 0xF0) == 0xE0) return 3;
  if ((b & 0xF8) == 0xF0) return 4;
  return 1;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
  std::string out;
  out.reserve(cp932.size() * 3 / 2);
  size_t i = 0;
  while (i < cp932.size()) {
    // Convert the longest run of ordinary characters at once, then handle the byte that stopped it.
    size_t run = i;
    while (run < cp932.size() && !SpecialByteToUtf8(static_cast<uint8_t>(cp932[run]))) {
      run += IsCp932LeadByte(static_cast<uint8_t>(cp932[run])) ? 2 : 1;
    }
    run = std::min(run, cp932.size());
    if (run > i) {
      size_t used = ToUtf8().Convert(cp932.substr(i, run - i), out);
      if (used < run - i) {
        out += "\xEF\xBF\xBD";
        uint8_t bad = static_cast<uint8_t>(cp932[i + used]);
        i += used + ((IsCp932LeadByte(bad) && i + used + 1 < cp932.size()) ? 2 : 1);
        continue;
      }
      i = run;
    }
    if (i < cp932.size()) {
      const char* special = SpecialByteToUtf8(static_cast<uint8_t>(cp932[i]));
      if (special) {
        out += special;
        ++i;
      }
    }
  }
  return out;
}

std::string Utf8ToCp932(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    size_t used = ToCp932().Convert(utf8.substr(i), out);
    i += used;
    if (i >= utf8.size()) break;
    size_t len = std::min(Utf8SequenceLength(static_cast<uint8_t>(utf8[i])), utf8.size() - i);
    std::string_view seq = utf8.substr(i, len);
    if (seq == "\xC2\x80")
      out += '\x80';
    else if (seq == "\xEF\xA3\xB0")
      out += '\xA0';
    else if (seq == "\xEF\xA3\xB1")
      out += '\xFD';
    else if (seq == "\xEF\xA3\xB2")
      out += '\xFE';
    else if (seq == "\xEF\xA3\xB3")
      out += '\xFF';
    else
      out += '?';
    i += len;
  }
  return out;
}

std::string Utf8ToCp932Typed(std::string_view utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const size_t len = std::min(Utf8SequenceLength(static_cast<uint8_t>(utf8[i])), utf8.size() - i);
    std::string converted;
    if (ToCp932().Convert(utf8.substr(i, len), converted) == len) out += converted;
    i += len;
  }
  return out;
}

}  // namespace novu::platform
