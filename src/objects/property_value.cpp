#include "objects/property_value.h"

#include "expr/value_conversion.h"

namespace novu {
int32_t PropAsInt(const PropValue& value) {
  return std::visit(
      [](const auto& v) {
        using V = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<V, bool>)
          return convert::ToInt(convert::ToFlag(v));
        else if constexpr (std::is_same_v<V, std::string>)
          return convert::ToInt(std::string_view(v));
        else
          return convert::ToInt(v);
      },
      value);
}

bool PropAsBool(const PropValue& value) {
  return std::visit(
      [](const auto& v) {
        using V = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<V, bool>)
          return v;
        else if constexpr (std::is_same_v<V, std::string>)
          return convert::ToBool(std::string_view(v));
        else
          return convert::ToBool(v);
      },
      value);
}

long double PropAsFloat(const PropValue& value) {
  return std::visit(
      [](const auto& v) {
        using V = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<V, bool>)
          return convert::ToFloat(convert::ToFlag(v));
        else if constexpr (std::is_same_v<V, std::string>)
          return convert::ToFloat(std::string_view(v));
        else
          return convert::ToFloat(v);
      },
      value);
}

std::string PropAsStr(const PropValue& value) {
  return std::visit(
      [](const auto& v) -> std::string {
        using V = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<V, bool>)
          return convert::ToStr(convert::ToFlag(v));
        else if constexpr (std::is_same_v<V, std::string>)
          return v;
        else
          return convert::ToStr(v);
      },
      value);
}

}  // namespace novu
