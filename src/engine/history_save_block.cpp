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
  settings_among_variables_ = version > 112 && version < kHistoryFormatsVersion;
}

void HistorySaveBlock::Commit() {
  if (pending_ != nullptr && vars_ != nullptr && settings_among_variables_) {
    const std::array<int32_t, 6>& v = vars_->legacy_history_limits();
    pending_->Default().layout = HistoryLayout{v[0], v[1], v[2], v[3], v[4], v[5]};
  }
  if (histories_ != nullptr && pending_ != nullptr) histories_->Swap(*pending_);
  pending_.reset();
}

}  // namespace novu
