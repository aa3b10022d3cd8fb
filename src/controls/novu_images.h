#pragma once
// TNovuCustomImages: a picture control that steps through the frames of an image list on the
// game clock. TNovuImages (LT_IMAGES): an animated picture from a layered image file.
#include <cstdint>
#include <memory>
#include <string>

#include "controls/image_list.h"
#include "controls/novu_custom_image.h"
#include "expr/novu_parser.h"
#include "objects/novu_motion.h"

namespace novu {

class TNovuCustomImages : public TNovuCustomImage {
 public:
  TNovuCustomImages(ObjectList* owner, ImageEnvironment env);
  ~TNovuCustomImages() override;

  int32_t index() const { return index_; }
  int32_t remaining() const { return remaining_; }
  int32_t FrameCount() const;
  // Shows frame `index` (nothing outside the frames) and starts its display time; the last of
  // several frames also waits for the end-of-cycle delay.
  void SetIndex(int32_t index);
  void SetBrightness(int32_t brightness);
  void SetPaused(bool paused);
  bool paused() const { return paused_; }
  // The expression whose value lengthens the last frame (copied from the creating command).
  void SetDelayExpression(const TNovuParser& expression) { delay_.Assign(expression); }

  void SetVisible(bool visible) override;
  int32_t Update() override;
  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }

 protected:
  // The image list the clock runs through; none while the control has none.
  virtual TNovuImageList* ActiveList() const = 0;
  virtual bool Repeats() const = 0;
  virtual bool AutoScraps() const { return false; }
  virtual const std::string& PlayEndLabel() const;
  // Loads the named picture (a changed name drops the current one first).
  virtual void SetSource(std::string_view name) = 0;
  // The saved source name: `current` is written; the name read is loaded once the whole
  // record is back (AfterLoad), with the saved frame and its remaining time.
  void SyncSource(const std::string& current, Serializer& s);
  void AfterLoad() override;
  // Drops the current frame and the list's picture, and any motion.
  void DropPicture();
  // Loads a ".fip" source into `list` and selects frame 0; false for other names.
  bool LoadSource(TNovuImageList& list, std::string_view name);
  bool IsPlaying() const;
  void set_remaining(int32_t ms) { remaining_ = ms; }

 private:
  int32_t EndOfCycleDelay();
  void SetIndexUnlessMoved(int32_t index);

  std::string loaded_source_;
  int32_t remaining_ = 0;
  int32_t index_ = -1;
  int32_t brightness_ = 0;
  bool paused_ = false;
  TNovuParser delay_;
};

class TNovuImages : public TNovuCustomImages {
 public:
  // How many image lists the class keeps (buttons keep one per state).
  static constexpr int kListCount = 1;

  TNovuImages(ObjectList* owner, ImageEnvironment env);

  ComponentType GetType() const override { return LT_IMAGES; }
  void SetSource(std::string_view name) override;
  void SetRepeat(bool repeat);

  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }

 protected:
  TNovuImageList* ActiveList() const override { return lists_[state_].get(); }
  bool Repeats() const override { return repeat_; }
  bool AutoScraps() const override { return auto_scrap_; }
  const std::string& PlayEndLabel() const override { return on_play_end_; }
  bool HasPictureSource() const override { return !source_.empty(); }
  // For classes that keep more pictures than the source (buttons keep one per state): the
  // source's list and name.
  TNovuImageList& SourceList() const { return *lists_[0]; }
  const std::string& source() const { return source_; }
  void set_source(std::string_view name) { source_ = name; }
  const std::string& on_idle() const { return on_idle_; }
  void set_on_idle(std::string_view label) { on_idle_ = label; }

 private:
  std::unique_ptr<TNovuImageList> lists_[kListCount];
  int state_ = 0;
  bool repeat_ = false;
  bool auto_scrap_ = false;
  std::string source_;
  std::string on_play_end_;
  std::string on_idle_;
};

}  // namespace novu
