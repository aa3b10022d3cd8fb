#pragma once
// The one list of a film track's stored fields, walked in file order by each reader and writer
// of the track (the binary motion file, its text description): a track declares its fields
// once and every form follows the same order and version gates.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/geometry.h"

namespace novu::render {

class FrameListFields {
 public:
  virtual ~FrameListFields() = default;
  // The file version the fields are walked for (gates fields that came later).
  virtual int version() const = 0;
  virtual void I32(std::string_view name, int32_t& value) = 0;
  virtual void U8(std::string_view name, uint8_t& value) = 0;
  virtual void F64(std::string_view name, double& value) = 0;
  virtual void Str(std::string_view name, std::string& value) = 0;
  virtual void Pt(std::string_view name, Point& value) = 0;
};

}  // namespace novu::render
