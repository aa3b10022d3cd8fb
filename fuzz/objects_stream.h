#pragma once
// The input layout of the saved-object fuzz target: one byte choosing the save version, then a
// base's record with its children.
#include <cstdint>

namespace novu::fuzz {

inline constexpr int32_t kOldestObjectVersion = 100;

inline int32_t ObjectVersionFromByte(uint8_t byte) {
  return kOldestObjectVersion + byte % 40;
}

inline uint8_t ObjectVersionByte(int32_t version) {
  return static_cast<uint8_t>(version - kOldestObjectVersion);
}

}  // namespace novu::fuzz
