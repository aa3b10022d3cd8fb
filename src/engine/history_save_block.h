#pragma once
// The history formats in a saved game: written from the running game's formats, read into a
// pending set that replaces them once the whole entry has been read.
#include <memory>

#include "controls/novu_history.h"
#include "engine/game_save.h"
#include "expr/param_collection.h"

namespace novu {

class HistorySaveBlock final : public GameSaveBlock {
 public:
  // Without formats the block is written empty and read past. Saves of versions 113 to 134
  // keep the default format's six settings among the variables: `vars`, loaded by the time of
  // the commit, hands them over.
  explicit HistorySaveBlock(TNovuHistoryFormatManager* histories,
                            const TParamCollection* vars = nullptr)
      : histories_(histories), vars_(vars) {}

  void Save(BinaryWriter& out) const override;
  void Read(BinaryReader& in, int32_t version) override;
  void Commit() override;

 private:
  TNovuHistoryFormatManager* histories_;
  const TParamCollection* vars_;
  std::unique_ptr<TNovuHistoryFormatManager> pending_;
  bool settings_among_variables_ = false;
};

}  // namespace novu
