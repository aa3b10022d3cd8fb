#include "text/decorate.h"

#include <algorithm>

namespace novu::text {

TDecorate* TDecorateList::Find(const DecorateAttributes& attributes) const {
  for (const auto& record : records_) {
    if (record->attributes_ == attributes) return record.get();
  }
  return nullptr;
}

TDecorate* TDecorateList::Acquire(const DecorateAttributes& attributes) {
  TDecorate* record = Find(attributes);
  if (!record) record = records_.emplace_back(std::make_unique<TDecorate>(attributes)).get();
  ++record->users_;
  return record;
}

void TDecorateList::Release(TDecorate* record) {
  if (--record->users_ > 0) return;
  std::erase_if(records_, [record](const auto& r) { return r.get() == record; });
}

TDecorate* TDecorateList::Modify(TDecorate* record,
                                 const std::function<void(DecorateAttributes&)>& change) {
  DecorateAttributes wanted = record->attributes_;
  change(wanted);
  if (wanted == record->attributes_) return record;
  if (TDecorate* existing = Find(wanted)) {
    ++existing->users_;
    Release(record);
    return existing;
  }
  if (record->users_ == 1) {
    record->attributes_ = std::move(wanted);
    return record;
  }
  --record->users_;
  TDecorate* made = records_.emplace_back(std::make_unique<TDecorate>(std::move(wanted))).get();
  made->users_ = 1;
  return made;
}

int TDecorateList::IndexOf(const TDecorate* record) const {
  for (size_t i = 0; i < records_.size(); ++i) {
    if (records_[i].get() == record) return static_cast<int>(i);
  }
  return -1;
}

int32_t& DecorateRef::Users() {
  return record_->users_;
}

}  // namespace novu::text
