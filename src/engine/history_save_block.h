#pragma once
// The history formats in a saved game: written from the running game's formats, read into a
// pending set that replaces them once the whole entry has been read.
#include <memory>

#include "controls/novu_history.h"
#include "engine/game_save.h"

namespace novu {

class HistorySaveBlock final : public GameSaveBlock {
 public:
  // Without formats the block is written empty and read past.
  explicit HistorySaveBlock(TNovuHistoryFormatManager* histories) : histories_(histories) {}

  void Save(BinaryWriter& out) const override;
  void Read(BinaryReader& in, int32_t version) override;
  void Commit() override;

 private:
  TNovuHistoryFormatManager* histories_;
  std::unique_ptr<TNovuHistoryFormatManager> pending_;
};

}  // namespace novu
