#pragma once
// What a label control offers the films that drive it. A film's label track writes the text,
// font and placement into a label control through its properties; where the picture tracks use
// the cell's size, a label track uses the size of the control's measured text block, which the
// label class reports through this interface (a control without it counts as 0 × 0).
#include "core/geometry.h"

namespace novu {

class FilmTextBlock {
 public:
  virtual ~FilmTextBlock() = default;
  // Width of the widest line, and lines × font height + (lines − 1) × line spacing.
  virtual Point TextBlockSize() const = 0;
};

}  // namespace novu
