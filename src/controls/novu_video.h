#pragma once
// TNovuVideo (LT_VIDEO, command Movie): a picture control that plays a video into its own
// surface, with the play modes, fades, repeat, pause and saved state of the sound control.
// Overlay requests are kept (and saved) but this platform has no overlay window: the video is
// drawn into the control's surface either way.
#include <cstdint>
#include <memory>
#include <string>

#include "controls/novu_custom_image.h"
#include "controls/novu_mixer.h"
#include "objects/media_control.h"

namespace novu {

namespace media {
class TDsVideoItem;
}

class TNovuVideo final : public TNovuCustomImage, public MediaControl {
 public:
  TNovuVideo(ObjectList* owner, ImageEnvironment env);
  ~TNovuVideo() override;

  ComponentType GetType() const override { return LT_VIDEO; }
  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }
  int32_t Update() override;

  void SetPlayMode(uint8_t mode) override;
  uint8_t play_mode() const override { return mode_; }
  void Play() override;
  const std::string& source() const override { return source_; }
  bool SourceAvailable() const override;

  media::TDsVideoItem* item() const { return item_; }

 protected:
  void DrawSelf(render::TCustomDIBX& surface) override;
  bool HasPictureSource() const override { return item_ != nullptr; }

 private:
  int32_t Now() const;
  int32_t Level() const;
  bool Running() const { return !paused_ && !ani_paused_; }
  bool CreateItem();
  void ReleaseItem();
  void StartFadeIn();
  void SetRunning(bool was_running);
  void SetSource(const std::string& source);
  void RequestDeletion();
  void CopyFrame();
  PropValue Get(PropId id) const;
  void Set(PropId id, const PropValue& value);
  void Sync(Serializer& s);
  void AfterLoad() override;

  struct SavedRecord {
    std::string source;
    bool paused = false;
    int32_t delay = 0, position = 0;
    uint8_t mode = LP_STOP;
  };
  SavedRecord loaded_;

  std::string source_;
  uint8_t mode_ = LP_STOP;
  media::TDsVideoItem* item_ = nullptr;
  // A video fading out: the control no longer shows it; it goes with the control.
  media::TDsVideoItem* fading_item_ = nullptr;
  bool overlay_ = true;
  bool repeat_ = false;
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
  std::string on_idle_;
  bool rewind_on_load_ = true;
  bool mute_on_load_ = false;
  uint32_t last_refresh_ = 0;
  bool frame_waiting_ = false;
};

}  // namespace novu
