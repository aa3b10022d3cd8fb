#include "engine/history_save_block.h"

namespace novu {

void HistorySaveBlock::Save(BinaryWriter& out) const {
  if (histories_ == nullptr) {
    EmptyHistoryBlock().Save(out);
    return;
  }
  histories_->Save(out);
}

void HistorySaveBlock::Read(BinaryReader& in, int32_t version) {
  pending_.reset();
  if (histories_ == nullptr) {
    EmptyHistoryBlock().Read(in, version);
    return;
  }
  auto pending = std::make_unique<TNovuHistoryFormatManager>();
  if (version < kHistoryFormatsVersion) {
    pending->LoadDefaultHistory(in, version);
  } else {
    pending->Load(in, version);
  }
  pending_ = std::move(pending);
}

void HistorySaveBlock::Commit() {
  if (histories_ != nullptr && pending_ != nullptr) histories_->Swap(*pending_);
  pending_.reset();
}

}  // namespace novu
