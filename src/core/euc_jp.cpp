#include "core/euc_jp.h"

#include <cstdint>

namespace novu {
namespace {

constexpr uint8_t kSingleShift2 = 0x8E;

void AppendPair(std::string& out, uint8_t lead, uint8_t trail) {
  const int a = lead & 0x7F;
  const int b = trail & 0x7F;
  const int sjis_lead = ((a + 1) >> 1) + (a > 94 ? 176 : 112);
  int sjis_trail;
  if (a % 2 == 0) {
    sjis_trail = b + 126;
  } else {
    sjis_trail = b < 96 ? b + 31 : b + 32;
  }
  out.push_back(static_cast<char>(sjis_lead));
  out.push_back(static_cast<char>(sjis_trail));
}

}  // namespace

std::string EucJpToCp932(std::string_view euc) {
  std::string out;
  out.reserve(euc.size());
  for (size_t i = 0; i < euc.size(); ++i) {
    const auto byte = static_cast<uint8_t>(euc[i]);
    if (byte == 0x00) {
      out.push_back(' ');
    } else if (byte <= 0x80 || byte == 0xFF) {
      out.push_back(static_cast<char>(byte));
    } else if (i + 1 >= euc.size()) {
      break;  // a lead byte whose partner is missing
    } else if (byte == kSingleShift2) {
      out.push_back(euc[++i]);
    } else {
      AppendPair(out, byte, static_cast<uint8_t>(euc[++i]));
    }
  }
  return out;
}

}  // namespace novu
