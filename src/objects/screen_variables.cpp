#include "objects/screen_variables.h"

#include "objects/base_list.h"

namespace novu {

void ScreenVariables::SetDither(bool on) {
  dither_ = on;
  if (dither_observer_) dither_observer_(on);
  for (int i = 0; i < 2; ++i) list_.base(i).InvalidateAll();
}

}  // namespace novu
