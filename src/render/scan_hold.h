#pragma once
// Holds a surface's pixel access for the duration of an operation; released on every exit,
// exceptions included, in reverse order of taking.
#include "render/custom_dibx.h"

namespace novu::render {

class ScanHold {
 public:
  explicit ScanHold(const TCustomDIBX& surface) : surface_(surface) {}
  ~ScanHold() { surface_.ReleaseScan(); }
  ScanHold(const ScanHold&) = delete;
  ScanHold& operator=(const ScanHold&) = delete;

 private:
  const TCustomDIBX& surface_;
};

}  // namespace novu::render
