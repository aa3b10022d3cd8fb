#pragma once
// The catalogue of the numbered properties: for every id its name, its value type, what an
// object answers when its class does not implement it, and which classes implement it.
// This is the one description of the properties; the object model, the commands, the
// expression evaluator and the tools all read it.
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "expr/param_type.h"
#include "objects/component_type.h"
#include "objects/property_id.h"

namespace novu {

// Who implements a property. The first five are groups; the rest are classes named without
// their "TNovu" prefix.
enum class Implementer : uint8_t {
  kAll,                 // every object
  kControls,            // TNovuControl, for every visible object
  kEveryConcreteClass,  // each class answers with its own value
  kCustomImageFamily,   // TNovuCustomImage and its descendants
  kCustomImagesFamily,  // TNovuCustomImages and its descendants
  kBaseList,
  kBox,
  kButton,
  kCGLabel,
  kCinema,
  kCustomListBox,
  kEdit,
  kFire,
  kGauge,
  kHttp,
  kImage,
  kImages,
  kLabel,
  kMapImage,
  kMemo,
  kMenu,
  kMes,
  kParticle,
  kParticleImages,
  kPrevImages,
  kPrevMenu,
  kPropMotion,
  kScrollbar,
  kSlider,
  kSound,
  kTile,
  kTimer,
  kVideo,
  kWave,
  kCount,
};

class ImplementerSet {
 public:
  constexpr ImplementerSet() = default;
  constexpr ImplementerSet(std::initializer_list<Implementer> members) {
    for (Implementer m : members) bits_ |= Bit(m);
  }

  constexpr bool Contains(Implementer m) const { return (bits_ & Bit(m)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr ImplementerSet operator|(ImplementerSet other) const {
    return FromBits(bits_ | other.bits_);
  }
  constexpr bool operator==(const ImplementerSet&) const = default;

 private:
  static constexpr uint64_t Bit(Implementer m) { return uint64_t{1} << static_cast<unsigned>(m); }
  static constexpr ImplementerSet FromBits(uint64_t bits) {
    ImplementerSet s;
    s.bits_ = bits;
    return s;
  }
  uint64_t bits_ = 0;
};
static_assert(static_cast<unsigned>(Implementer::kCount) <= 64);

struct ImplementerInfo {
  Implementer who;
  std::string_view name;  // "controls", "CustomImage family", "Box", ...
  // The type code of the class, LT_NONE for the groups and for classes without a code of their
  // own (the object list, abstract bases, and children that films, menus and emitters create).
  ComponentType type;
};

// One row per Implementer, in enum order.
std::span<const ImplementerInfo> Implementers();
const ImplementerInfo& ImplementerOf(Implementer who);

// Where the answer of a class that does not implement a property comes from.
enum class DefaultSource : uint8_t {
  kConstant,  // the constant below
  kName,      // the object's own name
  kPriority,  // the object's own priority
  kTag,       // the object's own tag
  kWidth,     // the object's width (PR_WIDTH)
  kHeight,    // the object's height (PR_HEIGHT)
};

struct PropertyDefault {
  DefaultSource source = DefaultSource::kConstant;
  // For a constant: the integer, 0/1 for a boolean, the (whole) value of a float. Constant
  // strings are always empty.
  int32_t number = 0;

  constexpr bool IsConstant() const { return source == DefaultSource::kConstant; }
  constexpr int32_t AsInt() const { return number; }
  constexpr bool AsBool() const { return number != 0; }
  constexpr double AsFloat() const { return number; }
};

// Notes that change how a property is accessed.
enum PropertyFlag : uint8_t {
  kPropPlain = 0,
  kPropReadOnly = 1 << 0,      // writes are ignored
  kPropWriteRefused = 1 << 1,  // writes fail with the property-set error
  kPropEventLabel = 1 << 2,    // holds the label of a script event; empty means no event
};

struct PropertyInfo {
  PropId id;
  std::string_view name;  // "PR_COLOR"
  // How GetProp stores the value and how SetProp and the creating commands read it. Event
  // labels are always text, PR_ONPLAYING included.
  ParamType type;
  PropertyDefault fallback;  // what a class that does not implement the property answers
  ImplementerSet implementers;
  uint8_t flags;  // PropertyFlag bits

  constexpr bool IsReadOnly() const { return (flags & kPropReadOnly) != 0; }
  constexpr bool IsWriteRefused() const { return (flags & kPropWriteRefused) != 0; }
  constexpr bool IsEventLabel() const { return (flags & kPropEventLabel) != 0; }
};

// The whole catalogue, row i describing id i.
std::span<const PropertyInfo> PropertyCatalogue();

// nullptr for any id outside 0..162, checked before the table is touched.
const PropertyInfo* FindPropertyById(int32_t id);
// Exact match of the name ("PR_COLOR"); nullptr when unknown.
const PropertyInfo* FindPropertyByName(std::string_view name);
// ASCII case-insensitive match, for names typed by people ("pr_color").
const PropertyInfo* FindPropertyByNameNoCase(std::string_view name);

// "int", "float", "bool", "str"; "none" for PT_NONE or an unknown code.
std::string_view PropertyTypeName(ParamType type);
// The default as text: "0", "-1", "16777215", "true", "0.0", "\"\"" for the empty string,
// and "(name)", "(priority)", "(tag)", "(width)", "(height)" for what the object supplies.
std::string FormatPropertyDefault(const PropertyInfo& info);
// The implementers joined with ", " in enum order, "(none)" for nobody.
std::string FormatImplementers(ImplementerSet set);

}  // namespace novu
