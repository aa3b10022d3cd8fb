#include "storage/hash_collection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace novu {
namespace {

TEST(HashCollection, NameHashFollowsLengthAndEndBytes) {
  struct Case {
    const char* name;
    int hash;
  };
  const Case cases[] = {
      {"abc", 243},  // (3*16 + 'b' + 'a') % 256
      {"ABC", 243},  // case does not matter
      {"x", 16},     // one byte: only the length counts
      {"", 0},      {"abcdefghijklmnopq", (17 * 16 + 'p' + 'a') % 256},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(THashCollection::NameHash(c.name), c.hash) << c.name;
  }
}

TEST(HashCollection, IndexOfIgnoresCaseAndNewestWins) {
  THashCollection c;
  c.Add("Alpha");
  c.Add("beta");
  c.Add("ALPHA");
  EXPECT_EQ(c.IndexOf("alpha"), 2);
  EXPECT_EQ(c.IndexOf("BETA"), 1);
  EXPECT_EQ(c.IndexOf("gamma"), -1);
  EXPECT_EQ(c.Find("gamma"), nullptr);
  EXPECT_EQ(&c.Find("Beta")->Name(), &c[1].Name());
}

TEST(HashCollection, DeleteKeepsIndicesAndChainsConsistent) {
  THashCollection c;
  for (const char* n : {"a0", "b1", "c2", "d3", "a0"}) c.Add(n);
  c.Delete(1);
  ASSERT_EQ(c.Count(), 4);
  for (int i = 0; i < c.Count(); ++i) EXPECT_EQ(c[i].Index(), i);
  EXPECT_EQ(c.IndexOf("b1"), -1);
  EXPECT_EQ(c.IndexOf("d3"), 2);
  EXPECT_EQ(c.IndexOf("A0"), 3);
  c.Delete(3);  // the newer duplicate goes; the older one is found again
  EXPECT_EQ(c.IndexOf("a0"), 0);
}

TEST(HashCollection, SetNameRelinksUnderTheNewName) {
  THashCollection c;
  THashCollectionItem& item = c.Add("old");
  c.Add("other");
  item.SetName("renamed");
  EXPECT_EQ(item.Bucket(), THashCollection::NameHash("renamed"));
  EXPECT_EQ(c.IndexOf("old"), -1);
  EXPECT_EQ(c.IndexOf("RENAMED"), 0);
  // A rename puts the item at the head of its chain, so it now wins over an equal older name.
  c.Add("twin");
  c.Add("Twin");
  c[2].SetName("TWIN");
  EXPECT_EQ(c.IndexOf("twin"), 2);
}

TEST(HashCollection, BucketChainIsNewestFirstAndWalkable) {
  THashCollection c;
  // The last byte does not count: "ab" and "ax" share a bucket.
  c.Add("ab");
  c.Add("zz");
  c.Add("ax");
  const uint8_t bucket = THashCollection::NameHash("ab");
  ASSERT_EQ(bucket, THashCollection::NameHash("ax"));
  std::vector<std::string> chain;
  for (THashCollectionItem* i = c.BucketHead(bucket); i != nullptr; i = i->NextInBucket()) {
    chain.push_back(i->Name());
    if (i->NextInBucket() != nullptr) {
      EXPECT_EQ(i->NextInBucket()->PreviousInBucket(), i);
    }
  }
  EXPECT_EQ(chain, (std::vector<std::string>{"ax", "ab"}));
  c.Delete(2);
  EXPECT_EQ(c.BucketHead(bucket)->Name(), "ab");
  EXPECT_EQ(c.BucketHead(bucket)->PreviousInBucket(), nullptr);
}

struct NumberedItem : THashCollectionItem {
  int value = 0;
  void Assign(const THashCollectionItem& source) override {
    THashCollectionItem::Assign(source);
    if (auto* n = dynamic_cast<const NumberedItem*>(&source)) value = n->value;
  }
};

struct NumberedCollection : THashCollection {
  std::unique_ptr<THashCollectionItem> NewItem() override {
    return std::make_unique<NumberedItem>();
  }
  // Only names starting with "$" can be found, as a derived lookup rule might say.
  int IndexOf(std::string_view name) const override {
    return name.starts_with('$') ? THashCollection::IndexOf(name) : -1;
  }
};

TEST(HashCollection, DerivedCollectionsMakeTheirOwnItemsAndLookup) {
  NumberedCollection c;
  auto& a = static_cast<NumberedItem&>(c.Add("$a"));
  a.value = 7;
  auto& b = c.Adopt(std::make_unique<NumberedItem>());
  b.Assign(a);
  EXPECT_EQ(b.Name(), "$a");
  EXPECT_EQ(b.value, 7);
  EXPECT_EQ(c.IndexOf("$A"), 1);
  c.Add("plain");
  EXPECT_EQ(c.IndexOf("plain"), -1);
  EXPECT_EQ(c.Find("plain"), nullptr);
}

TEST(HashCollection, ExtractedItemLeavesTheIndexAndCanBeRenamedAlone) {
  THashCollection c;
  c.Add("a");
  c.Add("b");
  std::unique_ptr<THashCollectionItem> item = c.Extract(0);
  EXPECT_EQ(item->Index(), -1);
  EXPECT_EQ(item->Collection(), nullptr);
  item->SetName("c");  // must not touch the collection's chains
  EXPECT_EQ(c.IndexOf("a"), -1);
  EXPECT_EQ(c.IndexOf("c"), -1);
  EXPECT_EQ(c.IndexOf("b"), 0);
  c.Adopt(std::move(item));
  EXPECT_EQ(c.IndexOf("C"), 1);
  EXPECT_THROW(c.Delete(5), std::out_of_range);
}

}  // namespace
}  // namespace novu
