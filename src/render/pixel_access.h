#pragma once
// Reading and writing one raw pixel in a row, at any storage depth. Sub-byte depths keep the
// leftmost pixel in the most significant bits of a byte.
#include <cstdint>
#include <cstring>

namespace novu::render {

inline uint32_t LoadRaw(const uint8_t* row, int x, int storage_bits) {
  switch (storage_bits) {
    case 1:
      return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4:
      return (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
    case 8:
      return row[x];
    case 16: {
      uint16_t v;
      std::memcpy(&v, row + 2 * x, 2);
      return v;
    }
    case 24: {
      const uint8_t* p = row + 3 * x;
      return p[0] | (p[1] << 8) | (static_cast<uint32_t>(p[2]) << 16);
    }
    default: {
      uint32_t v;
      std::memcpy(&v, row + 4 * x, 4);
      return v;
    }
  }
}

inline void StoreRaw(uint8_t* row, int x, int storage_bits, uint32_t v) {
  switch (storage_bits) {
    case 1: {
      const uint8_t bit = static_cast<uint8_t>(0x80u >> (x & 7));
      row[x >> 3] = (v & 1) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
      break;
    }
    case 4: {
      uint8_t& b = row[x >> 1];
      b = (x & 1) ? static_cast<uint8_t>((b & 0xF0) | (v & 0x0F))
                  : static_cast<uint8_t>((b & 0x0F) | ((v & 0x0F) << 4));
      break;
    }
    case 8:
      row[x] = static_cast<uint8_t>(v);
      break;
    case 16: {
      const uint16_t w = static_cast<uint16_t>(v);
      std::memcpy(row + 2 * x, &w, 2);
      break;
    }
    case 24: {
      uint8_t* p = row + 3 * x;
      p[0] = static_cast<uint8_t>(v);
      p[1] = static_cast<uint8_t>(v >> 8);
      p[2] = static_cast<uint8_t>(v >> 16);
      break;
    }
    default:
      std::memcpy(row + 4 * x, &v, 4);
      break;
  }
}

}  // namespace novu::render
