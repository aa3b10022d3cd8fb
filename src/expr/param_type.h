#pragma once
// The type codes every value reports; they are stored in script pages and save files.
#include <cstdint>

namespace novu {

enum ParamType : uint8_t {
  PT_NONE = 0,   // a reference to a variable element; also an unknown type
  PT_INT = 1,    // signed 32-bit integer
  PT_FLOAT = 2,  // 80-bit extended-precision float (10 bytes in files)
  PT_BOOL = 3,   // one byte, 0 or 1
  PT_STR = 4,    // CP932 byte string
};

}  // namespace novu
