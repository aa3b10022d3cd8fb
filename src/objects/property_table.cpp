#include "objects/property_table.h"

namespace novu {

PropertyTable::PropertyTable(const PropertyTable* base, std::initializer_list<PropertyRow> rows)
    : rows_(rows) {
  if (base != nullptr) {
    saved_ = base->saved_;
    getters_ = base->getters_;
    setters_ = base->setters_;
  }
  for (const PropertyRow& row : rows_) {
    if (row.sync) saved_.push_back(&row);
    if (!IsValidPropId(row.id)) continue;
    // A full row declares the property anew (no setter: writes are ignored from here down);
    // an override keeps what it does not give.
    if (row.get || !row.partial) getters_[row.id] = row.get ? &row : nullptr;
    if (row.set || !row.partial) setters_[row.id] = row.set ? &row : nullptr;
  }
}

void PropertyTable::Sync(TNovuObject& object, Serializer& s) const {
  for (const PropertyRow* row : saved_) {
    if (s.Has(row->since)) row->sync(object, s);
  }
}

}  // namespace novu
