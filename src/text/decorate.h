#pragma once
// Style records of a glyph document. Every character (and variable) glyph refers to one
// TDecorate; glyphs with identical attributes share a record. The list counts the glyphs that
// use each record itself (a count stored in a glyph stream is never trusted) and frees a record
// when its last user lets it go.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace novu::text {

// Style flag bits, in the order of the font style set.
enum : uint8_t {
  FS_BOLD = 1,
  FS_ITALIC = 2,
  FS_UNDERLINE = 4,
  FS_STRIKEOUT = 8,
};

// The attributes of a style record; -1 colours, size 0 and -1 widths mean "the document's".
struct DecorateAttributes {
  int32_t colour = -1;
  int32_t border_colour = -1;
  int32_t shadow_colour = -1;
  int32_t size = 0;
  uint8_t flags = 0;
  std::string font_name;
  bool no_break = false;
  std::string ruby;
  int32_t border_width = 0;
  int32_t shadow_offset = 0;

  bool operator==(const DecorateAttributes&) const = default;
};

class TDecorate {
 public:
  explicit TDecorate(DecorateAttributes a) : attributes_(std::move(a)) {}
  const DecorateAttributes& attributes() const { return attributes_; }
  // The glyphs that use this record.
  int32_t users() const { return users_; }

 private:
  friend class TDecorateList;
  friend class DecorateRef;
  DecorateAttributes attributes_;
  int32_t users_ = 0;
};

// The shared records of one document, in the order they were made.
class TDecorateList {
 public:
  TDecorateList() = default;
  TDecorateList(const TDecorateList&) = delete;
  TDecorateList& operator=(const TDecorateList&) = delete;

  // The record with these attributes (made when none exists), with one more user.
  TDecorate* Acquire(const DecorateAttributes& attributes);
  // One user fewer; the record is freed when nobody uses it any more.
  void Release(TDecorate* record);
  // The record that `record`'s user should hold once `change` is applied to its attributes:
  // an existing record with those attributes, the same record changed in place when the user
  // is its only one, or a new record. The user moves from `record` to the result.
  TDecorate* Modify(TDecorate* record, const std::function<void(DecorateAttributes&)>& change);

  size_t size() const { return records_.size(); }
  const TDecorate& at(size_t i) const { return *records_[i]; }
  // Index of a record in the list, -1 when it is not one of this list's.
  int IndexOf(const TDecorate* record) const;
  void Clear() { records_.clear(); }

 private:
  TDecorate* Find(const DecorateAttributes& attributes) const;

  std::vector<std::unique_ptr<TDecorate>> records_;
};

// A glyph's hold on a style record of its document's list: copying takes another user,
// destruction lets the record go.
class DecorateRef {
 public:
  DecorateRef() = default;
  DecorateRef(TDecorateList& list, const DecorateAttributes& attributes)
      : list_(&list), record_(list.Acquire(attributes)) {}
  DecorateRef(const DecorateRef& other) : list_(other.list_), record_(other.record_) {
    if (record_) ++Users();
  }
  DecorateRef& operator=(const DecorateRef&) = delete;
  ~DecorateRef() {
    if (record_) list_->Release(record_);
  }

  const DecorateAttributes& attributes() const { return record_->attributes(); }
  const TDecorate* record() const { return record_; }
  explicit operator bool() const { return record_ != nullptr; }
  void Change(const std::function<void(DecorateAttributes&)>& change) {
    record_ = list_->Modify(record_, change);
  }

 private:
  int32_t& Users();

  TDecorateList* list_ = nullptr;
  TDecorate* record_ = nullptr;
};

}  // namespace novu::text
