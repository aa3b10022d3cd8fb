#pragma once
// The object list's transitions: every kind of the factory behind the list's small interface.
#include "objects/screen_transition.h"
#include "transitions/custom_wipe.h"

namespace novu::transitions {

// A maker for TNovuBaseList::SetTransitionMaker. `context` is asked for the game's services
// each time a transition starts (the identification code may change with the project).
ScreenTransitionMaker MakeScreenTransitions(std::function<WipeContext()> context);

}  // namespace novu::transitions
