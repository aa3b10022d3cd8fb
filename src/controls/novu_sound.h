#pragma once
// TNovuSound (LT_SOUND, command Sound): plays one audio file or CD track through the media
// managers, with play modes, fades, repeat, pause and a saved state that resumes long sounds.
#include <cstdint>
#include <memory>
#include <string>

#include "controls/novu_mixer.h"
#include "objects/media_control.h"
#include "objects/novu_object.h"
#include "objects/property_table.h"

namespace novu {

namespace media {
class MediaService;
class TDMediaItem;
}  // namespace media

// PR_VOLUME 0..1000 (values outside are clamped first) as a level in hundredths of a decibel.
int32_t VolumeLevel(int32_t volume, bool midi);

class TNovuSound final : public TNovuComponent, public MediaControl {
 public:
  TNovuSound(ObjectList* owner, media::MediaService* media);
  ~TNovuSound() override;

  ComponentType GetType() const override { return LT_SOUND; }
  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }
  int32_t Update() override;

  void SetPlayMode(uint8_t mode) override;
  uint8_t play_mode() const override { return mode_; }
  void Play() override;
  const std::string& source() const override { return source_; }
  bool SourceAvailable() const override { return FileAvailable(source_); }

  media::TDMediaItem* item() const { return item_; }
  bool ended() const { return ended_; }

 private:
  int32_t Now() const;
  int32_t Level() const;
  bool FileAvailable(const std::string& name) const;
  // Creates the item for the source; false when nothing can play it.
  bool CreateItem();
  void ReleaseItem();
  void StartFadeIn();
  void ApplyPause();
  void SetSource(const std::string& source);
  void RequestDeletion();
  PropValue Get(PropId id) const;
  void Set(PropId id, const PropValue& value);
  // The saved record, read or written; a record read is applied by AfterLoad.
  void Sync(Serializer& s);
  void AfterLoad() override;

  struct SavedRecord {
    std::string source;
    bool paused = false, ani_paused = false, ended = false;
    int32_t delay = 0, position = 0;
    uint8_t mode = LP_STOP;
  };
  SavedRecord loaded_;

  media::MediaService* media_;
  std::string source_;
  uint8_t mode_ = LP_STOP;
  media::TDMediaItem* item_ = nullptr;
  bool repeat_ = false;
  int32_t repeat_pos_ = 0;
  bool paused_ = false;
  bool ani_paused_ = false;
  int32_t volume_ = 1000;
  int32_t balance_ = 0;
  std::unique_ptr<TNovuMixer> fade_;
  bool fading_out_ = false;
  int32_t delay_ = 0;
  int32_t requested_pos_ = 0;
  bool auto_scrap_ = false;
  std::string on_play_end_;
  bool ended_ = false;
  bool rewind_on_load_ = true;
  bool mute_on_load_ = false;
};

}  // namespace novu
