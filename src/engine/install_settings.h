#pragma once
// install.dat: what the game's installer leaves for the player. The player uses only the disc
// index, the game title and whether the data was installed to disk; every other field is
// read past with its version gate.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace novu {

class TNovuInstallSet {
 public:
  // Reads "is" + three digits (absent: version 0 from the first byte) and the fields of that
  // version; damaged data raises NovuError.
  static TNovuInstallSet Parse(std::span<const uint8_t> data);
  // Written as version 108, the installer's own fields empty.
  std::vector<uint8_t> Serialize() const;

  int32_t version = 108;
  int32_t disc_index = 0;  // 0-based
  std::string title;
  bool data_installed = false;
};

}  // namespace novu
