#pragma once
// TNovuMenu (LT_MENU, command Menu; closed by MenuClose): a list box that opens and closes by
// growing and shrinking its height over PR_DELAY milliseconds, reports the chosen item, can
// be cancelled with Escape or a right click, and can delete itself once an item is chosen.
//
// Its media state is the play mode the media commands use: LP_PLAY open, LP_PLAYFADE opening,
// LP_STOP closed (a new menu), LP_STOPFADE closing. The animation runs in phases, one step a
// frame: 100-102 open, 200-201 close, 300-302 close at once and go away, 10 cancel.
#include <cstdint>
#include <span>
#include <string>

#include "controls/novu_custom_list_box.h"
#include "objects/input_router.h"
#include "objects/media_control.h"

namespace novu {

class TNovuMenu final : public TNovuCustomListBox, public MediaControl, public RightClickCloser {
 public:
  enum Phase : int32_t {
    kIdle = 0,
    kCancel = 10,
    kOpenStart = 100,
    kOpenClock = 101,
    kOpening = 102,
    kCloseStart = 200,
    kClosing = 201,
    kScrapStart = 300,
    kScrapNext = 301,
    kScrapWait = 302,
  };

  using TNovuCustomListBox::TNovuCustomListBox;
  ~TNovuMenu() override;

  void Create() override;
  ComponentType GetType() const override { return LT_MENU; }
  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }

  // --- MediaControl ---
  void SetPlayMode(uint8_t mode) override;
  uint8_t play_mode() const override { return state_; }
  void Play() override {}
  const std::string& source() const override;
  bool SourceAvailable() const override { return true; }

  // --- RightClickCloser ---
  bool CloseByRightClick() override;

  int32_t Update() override;
  bool IsInputDisabled() const override { return finished_; }
  void RButtonDown() override;
  void KeyDown(std::span<const int32_t> keys) override;

  int32_t phase() const { return animation_phase(); }
  bool finished() const { return finished_; }
  int32_t full_height() const { return full_height_; }

 protected:
  void ApplyLayoutSize(int32_t width, int32_t height) override;
  int32_t HoverColour() const override { return hover_colour_; }
  void Chosen() override;
  bool TakesKeys() const override;
  void AfterLoad() override;

 private:
  int32_t Now() const;
  int32_t Elapsed() const;
  void TakeFocus();
  void ReleaseFocus();
  void Post(PropId id);
  bool ClosingEventsQueued() const;
  void RunPhase();

  int32_t duration_ = 0;
  int32_t hover_colour_ = -1;
  bool auto_scrap_ = false;
  bool right_click_scrap_ = false;
  uint8_t state_ = LP_STOP;
  int32_t full_height_ = 0;
  int32_t phase_start_ = 0;
  bool finished_ = false;
  std::string on_opening_;
  std::string on_opened_;
  std::string on_closing_;
  std::string on_closed_;
};

}  // namespace novu
