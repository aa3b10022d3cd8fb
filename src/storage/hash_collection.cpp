#include "storage/hash_collection.h"

#include <stdexcept>

#include "core/cp932.h"

namespace novu {
namespace {

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

}  // namespace

THashCollectionItem::~THashCollectionItem() = default;

void THashCollectionItem::SetName(std::string name) {
  if (name == name_) return;
  if (collection_ != nullptr) collection_->Unlink(*this);
  name_ = std::move(name);
  if (collection_ != nullptr) collection_->Link(*this);
}

void THashCollectionItem::Assign(const THashCollectionItem& source) {
  SetName(source.name_);
}

uint8_t THashCollection::NameHash(std::string_view name) {
  // The same as hashing the lower-cased name, without building it: only the first and the
  // second-to-last bytes count, and a trail byte of a double-byte character keeps its case.
  size_t h = name.size() * 16;
  if (name.size() > 1) {
    const size_t at = name.size() - 2;
    bool trail = false;
    for (size_t i = 0; i < at; ++i) {
      if (cp932::IsLeadByte(static_cast<uint8_t>(name[i]))) {
        if (i + 1 == at) trail = true;
        ++i;
      }
    }
    h += static_cast<uint8_t>(trail ? name[at] : LowerAscii(name[at]));
    h += static_cast<uint8_t>(LowerAscii(name[0]));
  }
  return static_cast<uint8_t>(h % 256);
}

THashCollection::~THashCollection() {
  Clear();
}

std::unique_ptr<THashCollectionItem> THashCollection::NewItem() {
  return std::make_unique<THashCollectionItem>();
}

THashCollectionItem& THashCollection::Add(std::string name) {
  std::unique_ptr<THashCollectionItem> item = NewItem();
  item->name_ = std::move(name);
  return Adopt(std::move(item));
}

THashCollectionItem& THashCollection::Adopt(std::unique_ptr<THashCollectionItem> item) {
  if (item == nullptr) throw std::invalid_argument("THashCollection::Adopt: no item");
  if (item->collection_ != nullptr) {
    throw std::invalid_argument("THashCollection::Adopt: item already belongs to a collection");
  }
  THashCollectionItem& added = *item;
  items_.push_back(std::move(item));
  added.collection_ = this;
  added.index_ = Count() - 1;
  Link(added);
  return added;
}

int THashCollection::IndexOf(std::string_view name) const {
  const THashCollectionItem* found = nullptr;
  for (const THashCollectionItem* item = heads_[NameHash(name)]; item != nullptr;
       item = item->next_) {
    if (cp932::EqualsNoCase(item->name_, name)) {
      found = item;
      break;
    }
  }
  return found != nullptr ? found->index_ : -1;
}

THashCollectionItem* THashCollection::Find(std::string_view name) const {
  const int index = IndexOf(name);
  return index >= 0 && index < Count() ? items_[static_cast<size_t>(index)].get() : nullptr;
}

std::unique_ptr<THashCollectionItem> THashCollection::Extract(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("THashCollection: index out of range");
  auto position = items_.begin() + index;
  std::unique_ptr<THashCollectionItem> item = std::move(*position);
  Unlink(*item);
  items_.erase(position);
  for (size_t i = static_cast<size_t>(index); i < items_.size(); ++i) --items_[i]->index_;
  item->collection_ = nullptr;
  item->index_ = -1;
  return item;
}

void THashCollection::Delete(int index) {
  Extract(index);
}

void THashCollection::Clear() {
  for (auto& item : items_) {
    Unlink(*item);
    item->collection_ = nullptr;
  }
  items_.clear();
  for (auto& head : heads_) head = nullptr;
}

void THashCollection::Link(THashCollectionItem& item) {
  const uint8_t bucket = NameHash(item.name_);
  item.bucket_ = bucket;
  item.previous_ = nullptr;
  item.next_ = heads_[bucket];
  if (item.next_ != nullptr) item.next_->previous_ = &item;
  heads_[bucket] = &item;
  Linked(item);
}

void THashCollection::Unlink(THashCollectionItem& item) {
  if (item.bucket_ < 0) return;
  Unlinking(item);
  if (item.previous_ != nullptr) {
    item.previous_->next_ = item.next_;
  } else if (heads_[item.bucket_] == &item) {
    heads_[item.bucket_] = item.next_;
  }
  if (item.next_ != nullptr) item.next_->previous_ = item.previous_;
  item.previous_ = item.next_ = nullptr;
}

}  // namespace novu
