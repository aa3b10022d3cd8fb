#pragma once
// The object and control part of a saved record as an older save version lays it out, with
// every field at its initial value: the start of a hand-made old record, to which a test
// appends the fields of its own class.
#include <cstdint>
#include <string>

#include "core/binary_writer.h"

namespace novu::testing {

inline void WriteOldControlPart(BinaryWriter& out, int32_t version, const std::string& name) {
  out.String(name);
  out.I32(0);                              // priority
  if (version >= 104) out.I32(0);          // order
  if (version >= 120) out.String("");      // tag
  for (int i = 0; i < 6; ++i) out.I32(0);  // left, top, width, height, anchor
  out.U8(0);                               // positions zoomed
  if (version >= 130) {
    for (int i = 0; i < 4; ++i) out.I32(0);  // motion displacement, plus x and y
  }
  if (version >= 104) {
    for (int i = 0; i < 4; ++i) out.I32(0);  // clip
    out.U8(0);                               // animation paused
  }
  out.U8(1);                                  // visible
  out.I32(0);                                 // colour
  for (int32_t v : {0, 0, 1, 1}) out.I32(v);  // picture rectangle
  out.U8(0);                                  // mouse mode
  out.String("");                             // cursor
  const int labels = version >= 102 ? 9 : 8;
  for (int i = 0; i < labels; ++i) out.String("");
  if (version >= 118) {
    out.U8(0);  // handles keys
    for (int i = 0; i < 5; ++i) out.String("");
  }
  out.I32(0);  // no children
}

}  // namespace novu::testing
