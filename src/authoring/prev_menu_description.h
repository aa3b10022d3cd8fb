#pragma once
// A readable text form of the preview-menu file, for authors who make menus without the editor
// and for tests (syntax of description_syntax.h):
//
//   version 106
//   size 320 240
//   item                        (each item starts so; the fields below belong to it)
//   pos 10 20
//   name "Yes"
//   normal "yes.fip"
//   hover_in "yes_hover.fip"
//   capture_mask 1
//   overlay_pos 0 0
//   group 1
//
// Item fields: pos, overlay_pos (two numbers), capture_mask, group (a number), and the names
// normal, name, hover_in, hover_out, click, disabled, disabled_hover_in, disabled_hover_out,
// hover_in_overlay, hover_out_overlay, click_overlay, disabled_hover_in_overlay,
// disabled_hover_out_overlay, cursor, checked, checked_hover_in, checked_hover_out,
// checked_hover_in_overlay, checked_hover_out_overlay, checked_click_overlay,
// unchecked_click_overlay. A field the version's layout does not hold is refused.
#include <string>
#include <string_view>

#include "controls/cont_sel_list.h"

namespace novu {

// Raises NovuError naming the line for a malformed description.
TContSelList ParsePrevMenuDescription(std::string_view utf8_text);
std::string PrintPrevMenuDescription(const TContSelList& menu);

}  // namespace novu
