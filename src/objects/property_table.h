#pragma once
// The property table of a script-object class: every property the class answers, declared once
// with the field or accessor behind it, the setter that applies a script's write (with its side
// effects), and the field's place in the saved record with the save version that brought it.
// One table drives GetProperty, SetProperty, SaveToStream and LoadFromStream; a class extends
// the table of the class it derives from, whose saved fields come first.
//
//   const PropertyTable& TNovuBox::Table() {
//     using R = PropertyRows<TNovuBox>;
//     static const PropertyTable table(&TNovuControl::Table(), {
//         R::Field(PR_BORDERWIDTH, &TNovuBox::border_width_).Set(&TNovuBox::SetBorderWidth),
//         R::Field(PR_ONIDLE, &TNovuBox::on_idle_).Since(104),
//     });
//     return table;
//   }
//
// Rows, in saved order:
//   R::Field(id, &T::member)   a property kept in a member: answered, written as is unless
//                              .Set(...) names the setter, saved in the member's own encoding.
//   R::Answer(id, getter)      a property worked out when asked (not saved; writes ignored
//                              unless .Set(...)).
//   R::Override(id)            changes only the getter or setter of a property an ancestor
//                              declares (.Get / .Set); the ancestor's row keeps its saved place.
//   R::SavedField(&T::member)  a saved member that scripts cannot reach.
//   R::Saved(fn)               a saved part with a form of its own: fn(T&, Serializer&).
// and the modifiers .Since(version) (absent from older records: loading leaves it alone),
// .NotSaved(), .ReadOnly() and .Save(fn) (a saved form of its own for a property row).
//
// While saving, the functions given to .Save and R::Saved receive the object without const:
// they must only read it then (Serializer::saving()).
#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "core/serializer.h"
#include "objects/property_id.h"
#include "objects/property_value.h"

namespace novu {

class TNovuObject;

// A property value read as the type of a field or of a setter's parameter.
template <class V>
auto PropAs(const PropValue& value) {
  using D = std::remove_cvref_t<V>;
  if constexpr (std::is_same_v<D, bool>) {
    return PropAsBool(value);
  } else if constexpr (std::is_same_v<D, long double>) {
    return PropAsFloat(value);
  } else if constexpr (std::is_same_v<D, std::string> || std::is_same_v<D, std::string_view>) {
    return PropAsStr(value);
  } else {
    return static_cast<D>(PropAsInt(value));  // int32_t, and bytes kept as bytes
  }
}

// A field's value as a property value (bytes answer as numbers).
template <class M>
PropValue ToPropValue(const M& field) {
  if constexpr (std::is_same_v<M, uint8_t>) {
    return int32_t{field};
  } else {
    return field;
  }
}

// One row of a table, with the class erased (see PropertyRows for building rows).
struct PropertyRow {
  static constexpr int32_t kNoProperty = -1;

  int32_t id = kNoProperty;  // the property; kNoProperty for a saved part scripts cannot reach
  std::function<PropValue(const TNovuObject&)> get;         // none: not answered here
  std::function<void(TNovuObject&, const PropValue&)> set;  // none: writes ignored
  std::function<void(TNovuObject&, Serializer&)> sync;      // none: not saved
  int32_t since = 0;  // the first save version whose records hold the saved part
  // True for R::Override rows: they replace only the getter or setter they give.
  bool partial = false;
};

class PropertyTable {
 public:
  // `base`: the table of the class this one derives from (none for the root class).
  PropertyTable(const PropertyTable* base, std::initializer_list<PropertyRow> rows);
  PropertyTable(const PropertyTable&) = delete;
  PropertyTable& operator=(const PropertyTable&) = delete;

  // The row answering or taking `id`; none when the class leaves it to the catalogue default
  // (getter) or ignores the write (setter).
  const PropertyRow* Getter(PropId id) const { return IsValidPropId(id) ? getters_[id] : nullptr; }
  const PropertyRow* Setter(PropId id) const { return IsValidPropId(id) ? setters_[id] : nullptr; }

  // Writes or reads the saved parts in their order, the ancestors' first.
  void Sync(TNovuObject& object, Serializer& s) const;

 private:
  std::vector<PropertyRow> rows_;
  std::vector<const PropertyRow*> saved_;
  std::array<const PropertyRow*, kPropCount> getters_{};
  std::array<const PropertyRow*, kPropCount> setters_{};
};

// Builds one row for class T; converts to PropertyRow where a table takes it.
template <class T>
class RowBuilder {
 public:
  explicit RowBuilder(int32_t id) { row_.id = id; }

  template <class M, class C>
  RowBuilder& Member(M C::*member) {
    static_assert(std::is_base_of_v<C, T>);
    row_.get = [member](const TNovuObject& o) {
      return ToPropValue(static_cast<const T&>(o).*member);
    };
    row_.set = [member](TNovuObject& o, const PropValue& v) {
      static_cast<T&>(o).*member = PropAs<M>(v);
    };
    row_.sync = [member](TNovuObject& o, Serializer& s) { s.Field(static_cast<T&>(o).*member); };
    return *this;
  }
  // getter(const T&) answers anything a PropValue takes.
  template <class F>
  RowBuilder& Get(F getter) {
    row_.get = [getter](const TNovuObject& o) -> PropValue {
      return getter(static_cast<const T&>(o));
    };
    return *this;
  }
  // A member function taking the value in its own type.
  template <class C, class A>
  RowBuilder& Set(void (C::*setter)(A)) {
    static_assert(std::is_base_of_v<C, T>);
    row_.set = [setter](TNovuObject& o, const PropValue& v) {
      (static_cast<T&>(o).*setter)(PropAs<A>(v));
    };
    return *this;
  }
  // setter(T&, const PropValue&).
  template <class F>
  requires(!std::is_member_function_pointer_v<F> &&
           std::is_invocable_v<F, T&, const PropValue&>) RowBuilder& Set(F setter) {
    row_.set = [setter](TNovuObject& o, const PropValue& v) { setter(static_cast<T&>(o), v); };
    return *this;
  }
  RowBuilder& ReadOnly() {
    row_.set = nullptr;
    return *this;
  }
  // sync(T&, Serializer&).
  template <class F>
  RowBuilder& Save(F sync) {
    row_.sync = [sync](TNovuObject& o, Serializer& s) { sync(static_cast<T&>(o), s); };
    return *this;
  }
  RowBuilder& NotSaved() {
    row_.sync = nullptr;
    return *this;
  }
  RowBuilder& Since(int32_t version) {
    row_.since = version;
    return *this;
  }

  void MarkPartial() { row_.partial = true; }

  operator PropertyRow() const { return row_; }  // NOLINT: rows convert where tables take them

 private:
  PropertyRow row_;
};

template <class T>
struct PropertyRows {
  template <class M, class C>
  static RowBuilder<T> Field(PropId id, M C::*member) {
    return std::move(RowBuilder<T>(id).Member(member));
  }
  template <class F>
  static RowBuilder<T> Answer(PropId id, F getter) {
    return std::move(RowBuilder<T>(id).Get(getter));
  }
  static RowBuilder<T> Override(PropId id) {
    RowBuilder<T> row(id);
    row.MarkPartial();
    return row;
  }
  template <class M, class C>
  static RowBuilder<T> SavedField(M C::*member) {
    RowBuilder<T> row(PropertyRow::kNoProperty);
    row.Member(member);
    return row;
  }
  template <class F>
  static RowBuilder<T> Saved(F sync) {
    return std::move(RowBuilder<T>(PropertyRow::kNoProperty).Save(sync));
  }
};

}  // namespace novu
