#pragma once
// TNovuMes (LT_MES, command MesNew): the window that shows story text. It holds a text
// document, lays it out into pages and reveals the current page glyph by glyph, each glyph
// waiting its own time scaled by the text wait rate and fading in over the fade time. It never
// turns a page by itself: it tells scripts what happens through events (page started, text
// revealed, page finished, link clicked, inline event reached) and they answer by setting
// PR_INDEX, changing the pace or clearing the window.
//
// Text comes as markup (PR_TEXT) or from a TextIns command, whose page and index the window
// keeps: a saved game stores that reference and the text is read again from the script page on
// load. In record mode 1 every page shown opens a history entry and arms a read mark.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "controls/image_environment.h"
#include "controls/inline_pictures.h"
#include "controls/mes_data_cache.h"
#include "controls/novu_history.h"
#include "objects/novu_control.h"
#include "text/font_pixel_painter.h"
#include "text/page_surfaces.h"
#include "text/text_layout.h"

namespace novu {

// Record modes of a message window.
enum : uint8_t {
  kMesNotRecorded = 0,
  kMesRecorded = 1,  // a TextIns text whose pages go into the history and the read marks
  kMesShowsHistory = 2,
};

// One text of an unformatted history shown in a window.
struct MesReference {
  std::string page;
  int32_t command_index = 0;
  int32_t page_index = -1;  // -1: all pages
  int32_t width = 0;
  int32_t height = 0;
};

// How far the reveal of one page has come.
struct PageReveal {
  int32_t row = 0;
  int32_t glyph = 0;
  int64_t budget = 0;  // ms the next glyph still waits
  int64_t fade = 0;    // fade accumulator
  int32_t start_delay = 0;
  bool restart_clock = false;
  bool end_reported = false;
  std::string pending_events;  // TAB-separated
  std::vector<text::TWdReal*> fading;
};

class TNovuMes final : public TNovuControl {
 public:
  // Event numbers the window posts.
  static constexpr uint8_t kEventPlayStart = PR_ONPLAYSTART;
  static constexpr uint8_t kEventPlaying = PR_ONPLAYING;
  static constexpr uint8_t kEventPlayEnd = PR_ONPLAYEND;
  static constexpr uint8_t kEventLink = PR_ONLINK;
  static constexpr uint8_t kEventNotify = PR_ONNOTIFY;

  TNovuMes(ObjectList* owner, const ImageEnvironment& env);
  ~TNovuMes() override;

  ComponentType GetType() const override { return LT_MES; }
  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }

  // --- what the text commands and the history use ---
  // Replaces the text with markup (empty: no pages).
  void SetText(std::string_view markup);
  // TextIns: shows the text of the command at `command_index` of `script_page`; with `record`
  // its pages go into the history and the read marks.
  void InsertText(bool record, std::string_view script_page, int32_t command_index);
  // TextClr.
  void ClearText();
  void Rebuild(bool fire_start);
  // Goes to page `index`; ignored outside 0..count-1 and for the current page.
  void SetPageIndex(int32_t index);

  int32_t PageCount() const { return static_cast<int32_t>(pages_.size()); }
  int32_t page_index() const { return index_; }
  bool Playing() const;
  // The current page has been revealed to its end (or there is none).
  bool Finished() const;
  uint8_t record_mode() const { return record_mode_; }
  void set_record_mode(uint8_t mode) { record_mode_ = mode; }
  std::vector<MesReference>& references() { return references_; }
  TNovuHistData& history_record() { return history_; }
  void set_history_stacked(bool on) { history_stacked_ = on; }
  void set_history_offset(int32_t y) { history_offset_ = Tame(y); }
  int32_t history_offset() const { return history_offset_; }
  const std::string& source_page() const { return source_page_; }
  int32_t source_index() const { return source_index_; }
  // The text revealed so far on the current page.
  std::string RevealedText() const;

  text::TKxWord& word() { return word_; }
  const text::PageList& pages() const { return pages_; }
  const PageReveal* reveal() const;

  // --- object behaviour ---
  int32_t Update() override;
  TNovuControl* HitTest(Point screen, MouseModeSet accepted) override;
  void LButtonDown() override;
  void MouseMove() override;
  void MouseOut() override;

 protected:
  void DrawSelf(render::TCustomDIBX& surface) override;
  void AfterLoad() override;

 private:
  struct SavedPageState {
    int32_t scroll = 0, row = 0, glyph = 0;
    bool end_reported = false;
    std::string pending_events;
    std::vector<int32_t> alphas;
  };

  bool HasPage() const { return index_ >= 0 && index_ < PageCount(); }
  text::TWdPage* CurrentPage() const { return HasPage() ? pages_[index_].get() : nullptr; }
  bool Shown() const;
  int32_t FrameDelta() const;
  void FreePages();
  void LayOut(int first = 0, int last = -1);
  text::PictureMeasure MeasurePicture();
  // Lays the message data out into fresh pages; no page is current.
  void BuildPages();
  void RaisePageStart();
  void ResetReveal(int32_t page);
  void RestartClock();
  // Records the page's variable values, opens its history entry and arms its read mark.
  void RecordPage(int32_t page);
  void ClosePendingEntry();
  void CommitReadMark();
  void RebuildFromTextIns(const HistEntry& entry);
  void RebuildFromHistory();
  void RebuildFromReferences();
  // Appends `source`'s glyphs first..last (text positions) to the document, expanded, and lays
  // them out into fresh pages.
  void AppendLaidOut(const text::TKxWord& source, int first, int last, const std::string& values,
                     text::PageList& out);
  // Moves the rows of `from` into `into` with their tops at `y`; gives the last row's bottom.
  static int MoveRows(text::TWdPage& from, text::TWdPage& into, int y);
  struct RevealResult {
    bool finished = false;
    std::string text;
  };
  RevealResult RevealStep(int32_t page, int32_t dt);
  // Runs the frame clocks of the page's shown inline pictures.
  void AdvancePictures(text::TWdPage& page, int32_t dt);
  void MoveCaret(const text::TWdPage& page, const PageReveal& state);
  void HandEvents(PageReveal& state);
  void NotifyEvent(std::string_view text);
  void Redraw(bool reset_alpha);
  void InvalidateChanged();
  void MarkChanged(const text::TWdGlyph& glyph);
  Rect GlyphRect(const text::TWdGlyph& glyph) const;
  // Links: the first glyph of the hovered run and the run's glyphs.
  std::vector<text::TWdReal*> LinkRun(text::TWdReal* first) const;
  text::TWdReal* LinkAt(Point screen) const;
  void SetHover(text::TWdReal* first);
  std::string RunText(const std::vector<text::TWdReal*>& run) const;

  // Setters of the properties.
  void SetSize(bool height, int32_t value);
  void SetScroll(int32_t value);
  void SetPaused(bool text, bool value);
  void SetNotifyLabel(std::string_view label);
  void ChangeSetting(const std::function<void(text::KxWordSettings&)>& change);
  PropValue Get(PropId id) const;
  void Set(PropId id, const PropValue& value);
  void Sync(Serializer& s);
  void SyncSettings(Serializer& s);
  void SyncMessageData(Serializer& s);
  void SyncPageStates(Serializer& s);
  void WritePageStates(BinaryWriter& out) const;
  // Reads the block into the pages; false (the pages untouched) when it does not match them.
  bool ApplyPageStates(std::span<const uint8_t> block);

  ImageEnvironment env_;
  InlinePictures pictures_{env_.cache};
  text::TKxWord word_;
  text::PageList pages_;
  std::vector<PageReveal> reveals_;
  text::TextPageSurfaces surfaces_;
  std::unique_ptr<text::FontPixelPainter> painter_;
  TMesDataCacheList cache_;
  int32_t index_ = -1;
  std::vector<MesReference> references_;
  TNovuHistData history_;
  std::string raw_text_;
  uint8_t record_mode_ = kMesNotRecorded;
  std::string source_page_;
  int32_t source_index_ = 0;
  bool paused_ = false;
  bool text_paused_ = false;
  bool capture_link_ = false;
  std::string on_playing_, on_play_start_, on_play_end_, on_link_, on_notify_, on_idle_;
  std::array<std::string, 3> kept_labels_;
  int32_t spare_ = 0;
  bool history_stacked_ = false;
  int32_t history_offset_ = 0;
  int32_t origin_x_ = 0, origin_y_ = 0;
  int32_t start_delay_ = 0;
  bool redraw_ = false;
  bool new_page_ = false;
  std::optional<Rect> changed_;
  Point screen_origin_;  // set by Update for the glyph rectangles of its step
  text::TWdReal* hovered_ = nullptr;
  // Read while loading, applied by AfterLoad.
  std::optional<std::vector<uint8_t>> loaded_states_;
  int32_t loaded_scroll_ = 0;
};

}  // namespace novu
