#pragma once
// An ordered, owning collection of named items with a 256-bucket name index. Names compare
// without regard to case; among equal names the most recently linked item wins, because every
// bucket chain is kept newest first.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace novu {

class THashCollection;

class THashCollectionItem {
 public:
  THashCollectionItem() = default;
  explicit THashCollectionItem(std::string name) : name_(std::move(name)) {}
  virtual ~THashCollectionItem();
  THashCollectionItem(const THashCollectionItem&) = delete;
  THashCollectionItem& operator=(const THashCollectionItem&) = delete;

  const std::string& Name() const { return name_; }
  // Re-links the item under the new name when it differs (case-sensitively) from the old one.
  void SetName(std::string name);
  // Copies only the name; derived items copy their own fields as well.
  virtual void Assign(const THashCollectionItem& source);

  // Position in the owning collection, kept up to date when earlier items are deleted; -1 while
  // the item belongs to no collection.
  int Index() const { return index_; }
  // Bucket of the name's hash, -1 before the item is first linked.
  int Bucket() const { return bucket_; }
  THashCollection* Collection() const { return collection_; }
  // Neighbours in the bucket chain (newest first); nullptr at either end.
  THashCollectionItem* NextInBucket() const { return next_; }
  THashCollectionItem* PreviousInBucket() const { return previous_; }

 private:
  friend class THashCollection;

  std::string name_;
  THashCollection* collection_ = nullptr;
  int index_ = -1;
  int bucket_ = -1;
  THashCollectionItem* previous_ = nullptr;
  THashCollectionItem* next_ = nullptr;
};

class THashCollection {
 public:
  static constexpr int kBucketCount = 256;

  // One-byte hash of a name: lower-cased length x 16, plus the second-to-last and the first
  // byte when the name is longer than one byte.
  static uint8_t NameHash(std::string_view name);

  THashCollection() = default;
  virtual ~THashCollection();
  THashCollection(const THashCollection&) = delete;
  THashCollection& operator=(const THashCollection&) = delete;

  // Appends a new item (made by NewItem) with the given name.
  THashCollectionItem& Add(std::string name);
  // Appends an item made by the caller (a derived item type), linking it under its name.
  THashCollectionItem& Adopt(std::unique_ptr<THashCollectionItem> item);
  template <class Item>
  Item& Adopt(std::unique_ptr<Item> item) {
    return static_cast<Item&>(Adopt(std::unique_ptr<THashCollectionItem>(std::move(item))));
  }

  // Index of the newest item whose name equals `name` ignoring case, or -1.
  virtual int IndexOf(std::string_view name) const;
  // The item IndexOf finds, or nullptr.
  THashCollectionItem* Find(std::string_view name) const;

  int Count() const { return static_cast<int>(items_.size()); }
  THashCollectionItem& Item(int index) const { return *items_.at(static_cast<size_t>(index)); }
  THashCollectionItem& operator[](int index) const { return Item(index); }

  // Frees the item at `index`; later items move down by one.
  void Delete(int index);
  // Takes the item at `index` out of the collection without freeing it.
  std::unique_ptr<THashCollectionItem> Extract(int index);
  void Clear();

  // Newest item of a bucket chain, or nullptr when the bucket is empty.
  THashCollectionItem* BucketHead(uint8_t bucket) const { return heads_[bucket]; }

 protected:
  // Makes the item that Add appends; derived collections return their own item type.
  virtual std::unique_ptr<THashCollectionItem> NewItem();
  // Called after an item joins a bucket chain and before it leaves one, so that a derived
  // collection can keep an index of its own in step (a bigger one, for instance).
  virtual void Linked(THashCollectionItem& /*item*/) {}
  virtual void Unlinking(THashCollectionItem& /*item*/) {}

 private:
  friend class THashCollectionItem;

  void Link(THashCollectionItem& item);
  void Unlink(THashCollectionItem& item);

  std::vector<std::unique_ptr<THashCollectionItem>> items_;
  THashCollectionItem* heads_[kBucketCount] = {};
};

}  // namespace novu
