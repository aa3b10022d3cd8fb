#pragma once
// The text form of region map files, one region a line, in file order (UTF-8; names are stored
// as CP932):
//
//   # a comment
//   rect    "door"   10 20 49 79        left top right bottom, right and bottom included
//   ellipse "window" 60 10 89 39        the ellipse inside those bounds
//   polygon "roof"   0,0 100,0 50,30    vertices, filled with the winding rule
//
// A polygon stored with a kind byte other than 2 is written "polygon/KIND".
#include <string>
#include <string_view>

#include "controls/region_map.h"

namespace novu::authoring {

// Throws NovuError naming the line that cannot be read.
RegionMap ParseRegionMapText(std::string_view utf8);
std::string RegionMapToText(const RegionMap& map);

}  // namespace novu::authoring
