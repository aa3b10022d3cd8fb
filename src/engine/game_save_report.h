#pragma once
// A readable account of one saved game, for authors and players looking into their saves: the
// caption, version and resume position, where the interpreter stood and its call stack, the
// variables, the objects by name and class, the queued events and the data tables.
//
// The entry is read with the player's own readers, into a world of its own. The interpreter's
// part needs the game's pages: the progress of a command that had begun is stored without a
// size, so only its command knows where the variables start.
#include <cstdint>
#include <span>
#include <string>

#include "objects/base_list.h"

namespace novu {

class CallManHost;

// The account as UTF-8 lines. `pages` gives the game's page files, `factory` the object
// classes. A damaged entry raises NovuError.
std::string DescribeGameSave(std::span<const uint8_t> entry, CallManHost& pages,
                             TNovuBaseList::Factory factory);

}  // namespace novu
