#pragma once
// The value a class answers for one of its numbered properties, and the value a setter receives.
// Getters answer in the property's catalogue type; setters are handed a value already read in
// that type, so a class only ever sees the type its catalogue row names.
#include <cstdint>
#include <string>
#include <variant>

namespace novu {

using PropValue = std::variant<int32_t, bool, long double, std::string>;

// Lenient readers for a value whatever it holds (the conversions of the value classes).
int32_t PropAsInt(const PropValue& value);
bool PropAsBool(const PropValue& value);
long double PropAsFloat(const PropValue& value);
std::string PropAsStr(const PropValue& value);

}  // namespace novu
