#pragma once
// Lookups over a list of registered objects, shared by the object list and its in-memory
// stand-in for tests.
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace novu {

class ObjectList;
class TNovuControl;
class TNovuObject;

// The names the two bases carry, and the name that stands for the base not shown.
inline constexpr std::string_view kBaseNames[2] = {
    "\x01"
    "BASE0",
    "\x01"
    "BASE1"};
inline constexpr std::string_view kInactiveBaseName = "\x01";

// The base a control name stands for: the empty name the active base, 0x01 the inactive one,
// a base's own name that base; none for every other name.
std::optional<int> BaseIndexOfControlName(std::string_view name, int active_index);
// The first control in `objects` with exactly that name that `list` is not about to delete.
TNovuControl* FindLiveControl(std::span<TNovuObject* const> objects, std::string_view name,
                              const ObjectList& list);

// The first name "<prefix><n>" (n from 0) that no object in `objects` has.
std::string FirstFreeName(std::span<TNovuObject* const> objects, std::string_view prefix);
// The object with exactly that name; none for an empty name.
TNovuObject* FindNamed(std::span<TNovuObject* const> objects, std::string_view name);
bool ContainsObject(std::span<TNovuObject* const> objects, const TNovuObject* object);

}  // namespace novu
