#pragma once
// Lookups over a list of registered objects, shared by the object list and its in-memory
// stand-in for tests.
#include <span>
#include <string>
#include <string_view>

namespace novu {

class TNovuObject;

// The first name "<prefix><n>" (n from 0) that no object in `objects` has.
std::string FirstFreeName(std::span<TNovuObject* const> objects, std::string_view prefix);
// The object with exactly that name; none for an empty name.
TNovuObject* FindNamed(std::span<TNovuObject* const> objects, std::string_view name);
bool ContainsObject(std::span<TNovuObject* const> objects, const TNovuObject* object);

}  // namespace novu
