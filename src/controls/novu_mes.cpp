#include "controls/novu_mes.h"

#include "core/cp932.h"

#include <algorithm>

#include "controls/novu_read_list.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "core/serializer.h"
#include "objects/object_list.h"
#include "platform/error.h"
#include "render/custom_dibx.h"
#include "text/font_pixel.h"

namespace novu {
namespace {

using text::GlyphKind;
using text::TWdGlyph;
using text::TWdPage;
using text::TWdReal;
using text::TWdRow;

// Saves after these versions carry the field.
constexpr int32_t kShadowColourVersion = 110;
constexpr int32_t kBorderShadowVersion = 111;
constexpr int32_t kOnIdleVersion = 104;
constexpr int32_t kHistoryRecordVersion = 113;
constexpr int32_t kCaptureLinkVersion = 120;

// Line spacing beyond the tallest page surface has no use; kept within it, rows stay far from
// the ends of the coordinate range however many there are.
int32_t SaneLineSpacing(int32_t v) {
  constexpr int32_t limit = text::TextPageSurfaces::kMaxHeight;
  return std::clamp(v, -limit, limit);
}

// The wait rate a new window reveals with: every glyph waits as written.
constexpr int32_t kDefaultWaitRate = 256;

TWdReal* AsReal(TWdGlyph* g) {
  return g != nullptr && g->IsVisible() ? static_cast<TWdReal*>(g) : nullptr;
}

bool IsCharacter(const TWdGlyph& g) {
  return g.kind() == GlyphKind::kChar || g.kind() == GlyphKind::kVarChar;
}

// Glyphs that keep an alpha in the saved page state.
bool KeepsSavedAlpha(const TWdGlyph& g) {
  return g.kind() == GlyphKind::kChar || g.kind() == GlyphKind::kImg || g.kind() == GlyphKind::kVar;
}

template <class F>
void ForEachGlyph(const TWdPage& page, F f) {
  for (const auto& row : page.rows) {
    for (TWdGlyph* g : row->glyphs) f(*row, *g);
  }
}

// The visible glyphs of a page in reading order.
std::vector<TWdReal*> Reals(const TWdPage& page) {
  std::vector<TWdReal*> reals;
  ForEachGlyph(page, [&](const TWdRow&, TWdGlyph& g) {
    if (TWdReal* real = AsReal(&g)) reals.push_back(real);
  });
  return reals;
}

}  // namespace

TNovuMes::TNovuMes(ObjectList* owner, const ImageEnvironment& env)
    : TNovuControl(owner), env_(env), cache_(env.texts) {
  word_.settings.anti_alias = 3;
  word_.settings.paging = true;
  word_.settings.wait_rate = kDefaultWaitRate;
  word_.variables = env.vars;
  word_.on_event = [this](std::string_view text) { NotifyEvent(text); };
  if (env.glyphs != nullptr) painter_ = std::make_unique<text::FontPixelPainter>(*env.glyphs);
}

TNovuMes::~TNovuMes() {
  FreePages();
}

// ---- state ----

bool TNovuMes::Shown() const {
  return IsVisible() && GetBase() != nullptr;
}

int32_t TNovuMes::FrameDelta() const {
  if (owner() != nullptr) return owner()->FrameDelta();
  return 0;
}

const PageReveal* TNovuMes::reveal() const {
  return HasPage() ? &reveals_[static_cast<size_t>(index_)] : nullptr;
}

bool TNovuMes::Finished() const {
  const TWdPage* page = CurrentPage();
  if (page == nullptr) return true;
  const PageReveal& state = reveals_[static_cast<size_t>(index_)];
  return state.row >= static_cast<int32_t>(page->rows.size()) && state.fading.empty();
}

bool TNovuMes::Playing() const {
  if (!HasPage()) return false;
  return index_ < PageCount() - 1 || !Finished();
}

std::string TNovuMes::RevealedText() const {
  const TWdPage* page = CurrentPage();
  if (page == nullptr) return {};
  const PageReveal& state = reveals_[static_cast<size_t>(index_)];
  std::string text;
  for (size_t r = 0; r < page->rows.size() && static_cast<int32_t>(r) <= state.row; ++r) {
    const TWdRow& row = *page->rows[r];
    for (size_t i = 0; i < row.glyphs.size(); ++i) {
      if (static_cast<int32_t>(r) == state.row && static_cast<int32_t>(i) >= state.glyph) break;
      const TWdGlyph& g = *row.glyphs[i];
      if (g.IsVisible() && static_cast<const TWdReal&>(g).alpha() <= 0) break;
      text += g.Text();
    }
  }
  return text;
}

void TNovuMes::FreePages() {
  SetHover(nullptr);
  pages_.clear();
  reveals_.clear();
  pictures_.Clear();
}

text::PictureMeasure TNovuMes::MeasurePicture() {
  return [this](const text::TWdImg& glyph) { return pictures_.Measure(glyph); };
}

void TNovuMes::LayOut(int first, int last) {
  text::LayoutGlyphs(word_, pages_, first, last, MeasurePicture());
  reveals_.resize(pages_.size());
}

// ---- text ----

void TNovuMes::SetText(std::string_view markup) {
  Invalidate();
  history_.Clear();
  raw_text_ = markup;
  ClosePendingEntry();
  history_offset_ = 0;
  FreePages();
  index_ = 0;
  try {
    word_.SetSource(cp932::SplitAtLineEnds(markup));
  } catch (const NovuError&) {
    word_.Clear();
    throw;
  }
  word_.ExpandVariables();
  LayOut();
  if (pages_.empty()) return;
  pages_[0]->scroll = 0;
  redraw_ = true;
  new_page_ = true;
  RaisePageStart();
}

void TNovuMes::InsertText(bool record, std::string_view script_page, int32_t command_index) {
  record_mode_ = kMesNotRecorded;
  history_offset_ = 0;
  if (record) {
    record_mode_ = kMesRecorded;
    source_page_ = script_page;
    source_index_ = command_index;
  }
  history_.Clear();
  history_.Add(HistEntry{std::string(script_page), command_index, 0, -1, 0, {}});
  history_stacked_ = false;
  Rebuild(false);
  if (!pages_.empty()) SetPageIndex(0);
}

void TNovuMes::ClearText() {
  record_mode_ = kMesNotRecorded;
  SetText({});
}

void TNovuMes::Rebuild(bool fire_start) {
  Invalidate();
  raw_text_.clear();
  ClosePendingEntry();
  BuildPages();
  if (pages_.empty()) return;
  if (fire_start) RaisePageStart();
  redraw_ = true;
  new_page_ = true;
}

void TNovuMes::BuildPages() {
  FreePages();
  word_.Clear();
  index_ = -1;
  if (history_.entries.empty()) {
    RebuildFromReferences();
  } else if (history_.entries.size() == 1 && history_.total_height == 0) {
    RebuildFromTextIns(history_.entries.front());
  } else {
    RebuildFromHistory();
  }
  reveals_.assign(pages_.size(), PageReveal{});
}

void TNovuMes::AppendLaidOut(const text::TKxWord& source, int first, int last,
                             const std::string& values, text::PageList& out) {
  const int start = word_.Count();
  const int first_glyph = first <= 0 ? 0 : source.GlyphAtTextPosition(first);
  if (first_glyph < 0) return;
  const int last_glyph = last < 0 ? -1 : source.GlyphAtTextPosition(last);
  word_.CopyGlyphs(source, first_glyph, last_glyph);
  if (word_.Count() == start) return;
  word_.recorded_values = SplitValues(values);
  word_.ExpandVariables(start, -1);
  text::LayoutGlyphs(word_, out, start, -1, MeasurePicture());
}

int TNovuMes::MoveRows(TWdPage& from, TWdPage& into, int y) {
  int bottom = y;
  for (auto& row : from.rows) {
    row->y += y;
    bottom = row->y + row->height;
    into.height = std::max(into.height, bottom);
    into.rows.push_back(std::move(row));
  }
  into.width = std::max(into.width, from.width);
  from.rows.clear();
  return bottom;
}

void TNovuMes::RebuildFromTextIns(const HistEntry& entry) {
  if (!cache_.PageExists(entry.page)) return;
  const text::TKxWord* source = cache_.Find(entry.page, entry.command_index, env_.vars);
  if (source == nullptr) return;
  AppendLaidOut(*source, entry.first, entry.last, entry.values, pages_);
}

void TNovuMes::RebuildFromHistory() {
  auto page = std::make_unique<TWdPage>();
  int y = history_offset_;
  for (size_t i = 0; i < history_.entries.size(); ++i) {
    const HistEntry& entry = history_.entries[i];
    const std::string name = history_.EffectiveName(i);
    // A page that no longer exists ends the display; a command that holds no text is skipped.
    if (!cache_.PageExists(name)) break;
    const text::TKxWord* source = cache_.Find(name, entry.command_index, env_.vars);
    if (source == nullptr) continue;
    text::PageList laid;
    AppendLaidOut(*source, entry.first, entry.last, entry.values, laid);
    if (laid.empty()) continue;
    y = Tame(MoveRows(*laid.front(), *page, y) + word_.settings.line_spacing);
  }
  pages_.push_back(std::move(page));
}

void TNovuMes::RebuildFromReferences() {
  if (references_.empty()) return;
  const MesReference& single = references_.front();
  if (references_.size() == 1 && single.page_index < 0) {
    if (!cache_.PageExists(single.page)) return;
    if (const text::TKxWord* source = cache_.Find(single.page, single.command_index, env_.vars)) {
      AppendLaidOut(*source, 0, -1, {}, pages_);
    }
    return;
  }
  auto page = std::make_unique<TWdPage>();
  const int32_t own_width = word_.settings.wrap_width;
  const int32_t own_height = word_.settings.visible_height;
  int y = 0;
  for (const MesReference& ref : references_) {
    if (!cache_.PageExists(ref.page)) break;
    const text::TKxWord* source = cache_.Find(ref.page, ref.command_index, env_.vars);
    if (source == nullptr) continue;
    text::PageList laid;
    word_.settings.wrap_width = Tame(std::max(ref.width, 0));
    word_.settings.visible_height = Tame(std::max(ref.height, 0));
    AppendLaidOut(*source, 0, -1, {}, laid);
    word_.settings.wrap_width = own_width;
    word_.settings.visible_height = own_height;
    // An entry whose text now lays out into fewer pages has nothing to show.
    if (ref.page_index < 0 || static_cast<size_t>(ref.page_index) >= laid.size()) continue;
    const int bottom = MoveRows(*laid[static_cast<size_t>(ref.page_index)], *page, y);
    y = Tame(history_stacked_ ? bottom + word_.settings.line_spacing : y + Tame(ref.height));
  }
  pages_.push_back(std::move(page));
}

void TNovuMes::SetPageIndex(int32_t index) {
  if (index < 0 || index >= PageCount() || index == index_) return;
  if (HasPage()) ClosePendingEntry();
  SetHover(nullptr);
  index_ = index;
  pages_[static_cast<size_t>(index)]->scroll = 0;
  RaisePageStart();
  if (record_mode_ == kMesRecorded && !source_page_.empty()) RecordPage(index);
  ResetReveal(index);
  redraw_ = true;
  new_page_ = true;
  Invalidate();
}

void TNovuMes::RaisePageStart() {
  if (on_play_start_.empty()) return;
  const bool read = record_mode_ == kMesRecorded && !source_page_.empty() &&
                    env_.reads != nullptr &&
                    env_.reads->IsRead(source_page_, source_index_, index_);
  PostEvent(on_play_start_, std::vector<std::string>{read ? "1" : "0"}, kEventPlayStart);
  start_delay_ = 1;
}

void TNovuMes::ResetReveal(int32_t page) {
  if (page < 0 || page >= PageCount()) return;
  PageReveal& state = reveals_[static_cast<size_t>(page)];
  state = PageReveal{};
  state.start_delay = word_.settings.fade_time > 0 ? 1 : 0;
}

void TNovuMes::RestartClock() {
  if (!HasPage()) return;
  PageReveal& state = reveals_[static_cast<size_t>(index_)];
  state.budget = 0;
  state.fade = 0;
  state.start_delay = word_.settings.fade_time > 0 ? 1 : 0;
}

void TNovuMes::RecordPage(int32_t page) {
  const TWdPage& shown = *pages_[static_cast<size_t>(page)];
  std::vector<std::string> values;
  word_.RecordVariables(values);
  int32_t first = -1;
  int32_t last = -1;
  ForEachGlyph(shown, [&](const TWdRow&, const TWdGlyph& g) {
    if (g.kind() == GlyphKind::kSpace) return;
    const int32_t at = word_.TextPositionOf(&g);
    if (first < 0) first = at;
    last = at;
  });
  if (env_.histories != nullptr) {
    env_.histories->OpenEntry(name(), source_page_, JoinValues(values), page, std::max(first, 0),
                              last, source_index_, width(), height());
  }
  if (env_.reads != nullptr) env_.reads->Arm(name(), source_page_, page, source_index_);
}

void TNovuMes::ClosePendingEntry() {
  if (env_.histories != nullptr) env_.histories->CloseEntry(name());
}

void TNovuMes::CommitReadMark() {
  if (env_.reads != nullptr) env_.reads->Commit(name());
}

// ---- the reveal ----

int32_t TNovuMes::Update() {
  if (start_delay_ >= 1) {
    --start_delay_;
    return 0;
  }
  if (IsEventQueued(kEventPlayStart)) return 0;
  if (redraw_) {
    if (HasPage()) Redraw(new_page_);
    redraw_ = false;
    new_page_ = false;
  }
  if (!HasPage()) return 0;
  // Where the window lies on the screen, worked out once for every glyph the step changes.
  screen_origin_ = {ScreenX(), ScreenY()};
  const RevealResult result = RevealStep(index_, FrameDelta());
  if (!result.text.empty() && !on_playing_.empty()) {
    PostEvent(on_playing_, std::vector<std::string>{result.text}, kEventPlaying);
  }
  if (result.finished) {
    CommitReadMark();
    if (!on_play_end_.empty()) PostEvent(on_play_end_, {}, kEventPlayEnd);
  }
  InvalidateChanged();
  return 0;
}

TNovuMes::RevealResult TNovuMes::RevealStep(int32_t index, int32_t dt) {
  RevealResult result;
  TWdPage& page = *pages_[static_cast<size_t>(index)];
  PageReveal& state = reveals_[static_cast<size_t>(index)];
  const text::KxWordSettings& set = word_.settings;
  const auto rows = static_cast<int32_t>(page.rows.size());
  if (!state.end_reported && state.row >= rows && state.fading.empty()) {
    state.end_reported = true;
    result.finished = true;
  }
  if (state.start_delay >= 1) {
    --state.start_delay;
    return result;
  }
  if (state.row < rows && !set.paused && state.pending_events.empty()) {
    if (state.row == 0 && state.glyph == 0) {
      state.budget = 0;
      state.fade = 0;
      dt = 0;
    } else if (state.restart_clock) {
      state.restart_clock = false;
      dt = 0;
    }
    state.budget -= dt;
    const int64_t rate = set.wait_rate;
    while (state.row < rows && state.budget <= 0) {
      TWdRow& row = *page.rows[static_cast<size_t>(state.row)];
      // The rest waits for scrolling or the next page.
      if (set.visible_height > 0 && row.y - page.scroll > set.visible_height) break;
      if (state.glyph >= static_cast<int32_t>(row.glyphs.size())) {
        ++state.row;
        state.glyph = 0;
        continue;
      }
      TWdGlyph& g = *row.glyphs[static_cast<size_t>(state.glyph)];
      TWdReal* real = AsReal(&g);
      const auto* event =
          g.kind() == GlyphKind::kEvent ? static_cast<text::TWdOpeEvent*>(&g) : nullptr;
      int64_t wait = 0;
      if (real != nullptr) {
        real->SetAlpha(0);
        wait = real->wait;
      } else if (event != nullptr && event->end) {
        wait = 1;
      }
      if (wait >= 0) {
        state.budget += wait * std::max<int64_t>(0, rate) / 256;
      } else if (rate >= 0) {
        state.budget += -wait;
      }
      if (real != nullptr) {
        state.fading.push_back(real);
        MarkChanged(*real);
      }
      if (++state.glyph >= static_cast<int32_t>(row.glyphs.size())) {
        ++state.row;
        state.glyph = 0;
      }
      MoveCaret(page, state);
      if (event != nullptr) {
        if (!set.events_enabled) continue;
        if (!state.pending_events.empty()) state.pending_events += '\t';
        state.pending_events += event->text;
        state.restart_clock = true;
        const TWdGlyph* next = nullptr;
        if (state.row < rows) {
          const TWdRow& at = *page.rows[static_cast<size_t>(state.row)];
          if (state.glyph < static_cast<int32_t>(at.glyphs.size())) {
            next = at.glyphs[static_cast<size_t>(state.glyph)];
          }
        }
        if (event->end || next == nullptr || next->kind() != GlyphKind::kEvent) break;
      } else if (IsCharacter(g)) {
        result.text += g.Text();
      } else if (g.kind() == GlyphKind::kImg) {
        result.text += '*';
      }
    }
  }
  state.fade += int64_t{dt} * 256;
  const int64_t fade_time = set.fade_time;
  const int64_t step = fade_time > 0 ? state.fade / fade_time : 255;
  if (step > 0) {
    state.fade %= std::max<int64_t>(fade_time, 1);
    const int add = static_cast<int>(std::min<int64_t>(step, 255));
    std::erase_if(state.fading, [&](TWdReal* glyph) {
      glyph->SetAlpha(glyph->alpha() + add);
      MarkChanged(*glyph);
      return glyph->alpha() > 254;
    });
  }
  AdvancePictures(page, dt);
  HandEvents(state);
  return result;
}

void TNovuMes::AdvancePictures(TWdPage& page, int32_t dt) {
  ForEachGlyph(page, [&](const TWdRow&, TWdGlyph& g) {
    if (g.kind() != GlyphKind::kImg) return;
    auto& picture = static_cast<text::TWdImg&>(g);
    if (picture.alpha() > 0 && pictures_.Advance(picture, dt)) MarkChanged(picture);
  });
}

void TNovuMes::MoveCaret(const TWdPage& page, const PageReveal& state) {
  text::KxWordSettings& set = word_.settings;
  const auto rows = static_cast<int32_t>(page.rows.size());
  if (state.row < rows) {
    const TWdRow& row = *page.rows[static_cast<size_t>(state.row)];
    if (state.glyph < static_cast<int32_t>(row.glyphs.size())) {
      const TWdGlyph& g = *row.glyphs[static_cast<size_t>(state.glyph)];
      set.caret_x = row.x + g.x;
      set.caret_y = row.y + g.y - page.scroll;
      set.caret_height = row.height;
      return;
    }
  }
  if (rows == 0) return;
  const TWdRow& last = *page.rows.back();
  set.caret_x =
      last.x + (last.glyphs.empty() ? 0 : last.glyphs.back()->x + last.glyphs.back()->width);
  set.caret_y = last.y - page.scroll;
  set.caret_height = last.height;
}

void TNovuMes::HandEvents(PageReveal& state) {
  if (state.pending_events.empty() || !state.fading.empty()) return;
  const std::string pending = std::move(state.pending_events);
  state.pending_events.clear();
  size_t start = 0;
  while (true) {
    const size_t tab = pending.find('\t', start);
    const std::string_view part = std::string_view(pending).substr(
        start, tab == std::string::npos ? std::string::npos : tab - start);
    if (word_.on_event) word_.on_event(part);
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
}

void TNovuMes::NotifyEvent(std::string_view text) {
  if (on_notify_.empty()) return;
  PostEvent(on_notify_, cp932::SplitAtLineEnds(text), kEventNotify);
}

// ---- drawing ----

Rect TNovuMes::GlyphRect(const TWdGlyph& glyph) const {
  const TWdPage* page = CurrentPage();
  if (glyph.row == nullptr || page == nullptr) return {};
  const int64_t x = int64_t{screen_origin_.x} + glyph.row->x + glyph.x;
  const int64_t y = int64_t{screen_origin_.y} + glyph.row->y + glyph.y - page->scroll;
  // Scrolls and positions from scripts and saves may be anything: kept within the coordinate
  // range, a rectangle's edges never overflow.
  const auto tame = [](int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, -kCoordinateLimit, kCoordinateLimit));
  };
  return MakeRect(tame(x), tame(y), Tame(glyph.width), Tame(glyph.height));
}

void TNovuMes::MarkChanged(const TWdGlyph& glyph) {
  const Rect rect = GlyphRect(glyph);
  if (rect.IsEmpty()) return;
  changed_ = changed_ ? Union(*changed_, rect) : rect;
}

void TNovuMes::InvalidateChanged() {
  if (!changed_) return;
  const Rect rect = Intersect(*changed_, GetBoundsRect());
  changed_.reset();
  if (!Shown() || rect.IsEmpty()) return;
  if (TNovuControl* base = GetBase()) base->InvalidateRect(rect);
}

void TNovuMes::Redraw(bool reset_alpha) {
  TWdPage* page = CurrentPage();
  if (page == nullptr) return;
  if (reset_alpha) {
    ForEachGlyph(*page, [](const TWdRow&, TWdGlyph& g) {
      if (TWdReal* real = AsReal(&g)) real->SetAlpha(0);
    });
  }
  if (painter_ != nullptr) {
    const render::TCustomDIBX* target = GetSurface();
    const int depth = target != nullptr && target->BitCount() > 0 ? target->BitCount() : 32;
    try {
      surfaces_.Redraw(word_, *page, *painter_, false, depth);
    } catch (const NovuError&) {
      // A font that cannot be read draws nothing; the reveal and its events go on.
    }
  }
  changed_ = GetBoundsRect();
}

void TNovuMes::DrawSelf(render::TCustomDIBX& surface) {
  const TWdPage* page = CurrentPage();
  if (page == nullptr || !Shown()) return;
  Rect clip = GetBoundsRect();
  if (surface.HasClip()) clip = Intersect(clip, surface.ClipRect());
  if (clip.IsEmpty()) return;
  origin_x_ = ScreenX();
  origin_y_ = ScreenY();
  surfaces_.Draw(word_, *page, surface, origin_x_, origin_y_, clip,
                 [this](const text::TWdImg& glyph, render::TCustomDIBX& target, int x, int y,
                        int alpha_code) { pictures_.Draw(glyph, target, x, y, alpha_code); });
}

// ---- links ----

std::vector<TWdReal*> TNovuMes::LinkRun(TWdReal* first) const {
  std::vector<TWdReal*> run;
  const TWdPage* page = CurrentPage();
  if (first == nullptr || page == nullptr) return run;
  const std::vector<TWdReal*> reals = Reals(*page);
  auto it = std::find(reals.begin(), reals.end(), first);
  for (; it != reals.end() && (*it)->link == first->link; ++it) run.push_back(*it);
  return run;
}

TWdReal* TNovuMes::LinkAt(Point screen) const {
  const TWdPage* page = CurrentPage();
  if (page == nullptr) return nullptr;
  TWdReal* hit = AsReal(
      page->GlyphAt(screen.x - ScreenX(), screen.y - ScreenY(), word_.settings.visible_height));
  if (hit == nullptr || hit->link.empty()) return nullptr;
  // The hover starts at the first glyph of the run of glyphs with the same link text.
  const std::vector<TWdReal*> reals = Reals(*page);
  auto it = std::find(reals.begin(), reals.end(), hit);
  while (it != reals.begin() && (*std::prev(it))->link == hit->link) --it;
  return it != reals.end() ? *it : hit;
}

void TNovuMes::SetHover(TWdReal* first) {
  if (first == hovered_) return;
  for (TWdReal* g : LinkRun(hovered_)) g->hovered = false;
  hovered_ = first;
  for (TWdReal* g : LinkRun(hovered_)) g->hovered = true;
  if (HasPage()) {
    Redraw(false);
    InvalidateChanged();
  }
}

std::string TNovuMes::RunText(const std::vector<TWdReal*>& run) const {
  std::string text;
  for (const TWdReal* g : run) text += g->Text();
  return text;
}

void TNovuMes::MouseMove() {
  if (!Shown() || !HasPage()) {
    TNovuControl::MouseMove();
    return;
  }
  const BaseInputState* input = GetBase()->InputState();
  if (paused_ || !Finished() || input == nullptr) {
    SetHover(nullptr);
    return;
  }
  SetHover(LinkAt({input->mouse_x, input->mouse_y}));
}

void TNovuMes::MouseOut() {
  if (!Shown() || !HasPage()) {
    TNovuControl::MouseOut();
    return;
  }
  SetHover(nullptr);
}

void TNovuMes::LButtonDown() {
  if (Shown() && HasPage()) MouseMove();
  if (!on_link_.empty() && hovered_ != nullptr && !IsEventQueued(kEventLink)) {
    std::vector<std::string> args{RunText(LinkRun(hovered_))};
    for (std::string& line : cp932::SplitAtLineEnds(hovered_->link))
      args.push_back(std::move(line));
    PostEvent(on_link_, args, kEventLink);
    if (BaseInputState* input = GetBase() != nullptr ? GetBase()->InputState() : nullptr) {
      input->left_click = false;
    }
    return;
  }
  TNovuControl::LButtonDown();
}

TNovuControl* TNovuMes::HitTest(Point screen, MouseModeSet accepted) {
  if (!IsVisible() || !GetBoundsRect().Contains(screen.x, screen.y)) return nullptr;
  for (auto it = children().rbegin(); it != children().rend(); ++it) {
    TNovuControl* c = (*it)->AsControl();
    if (c == nullptr) continue;
    if (TNovuControl* deeper = c->HitTest(screen, accepted)) return deeper;
  }
  if (!accepted.Contains(mouse_mode())) return nullptr;
  if (capture_link_ && LinkAt(screen) == nullptr) return nullptr;
  return this;
}

// ---- properties ----

void TNovuMes::ChangeSetting(const std::function<void(text::KxWordSettings&)>& change) {
  change(word_.settings);
  if (HasPage()) {
    Redraw(false);
    InvalidateChanged();
  }
}

void TNovuMes::SetSize(bool vertical, int32_t value) {
  if (vertical) {
    SetHeight(value);
    word_.settings.visible_height = Tame(std::max(value, 0));
  } else {
    SetWidth(value);
    word_.settings.wrap_width = Tame(std::max(value, 0));
  }
}

void TNovuMes::SetScroll(int32_t value) {
  TWdPage* page = CurrentPage();
  if (page == nullptr) return;
  page->scroll = Tame(value);
  RestartClock();
  Invalidate();
}

void TNovuMes::SetPaused(bool text, bool value) {
  bool& flag = text ? text_paused_ : paused_;
  if (flag == value) return;
  flag = value;
  word_.settings.paused = paused_ || text_paused_;
  if (!word_.settings.paused) RestartClock();
}

void TNovuMes::SetNotifyLabel(std::string_view label) {
  on_notify_ = label;
  word_.settings.events_enabled = !on_notify_.empty();
}

PropValue TNovuMes::Get(PropId id) const {
  const text::KxWordSettings& s = word_.settings;
  switch (id) {
    case PR_COMPOTYPE:
      return int32_t{LT_MES};
    case PR_TEXT:
      return RevealedText();
    case PR_INDEX:
      return index_;
    case PR_COUNT:
      return PageCount();
    case PR_SCROLLY:
      return HasPage() ? CurrentPage()->scroll : 0;
    case PR_PLAYING:
      return Playing();
    case PR_FONTNAME:
      return s.font_name;
    case PR_FONTHEIGHT:
      return s.font_size;
    case PR_LINESPACE:
      return s.line_spacing;
    case PR_FONTCOLOR:
      return s.colour;
    case PR_FONTLINKCOLOR:
      return s.link_colour;
    case PR_FONTHOVERCOLOR:
      return s.hover_colour;
    case PR_FONTBORDERCOLOR:
      return s.border_colour;
    case PR_FONTSHADOWCOLOR:
      return s.shadow_colour;
    case PR_FONTBORDER:
      return s.border_width;
    case PR_FONTSHADOW:
      return s.shadow_offset;
    case PR_ANTIALIAS:
      return s.anti_alias > 0;
    case PR_ALPHA:
      return int32_t{s.alpha};
    case PR_DELAY:
      return int32_t{s.fade_time};
    case PR_TEXTDELAY:
      return int32_t{s.wait_rate};
    case PR_PAUSED:
      return paused_;
    case PR_TEXTPAUSED:
      return text_paused_;
    case PR_CARETX:
      return int32_t{s.caret_x};
    case PR_CARETY:
      return int32_t{s.caret_y};
    case PR_CARETHEIGHT:
      return int32_t{s.caret_height};
    case PR_CAPTURELINK:
      return capture_link_;
    case PR_ONPLAYSTART:
      return on_play_start_;
    case PR_ONPLAYING:
      return on_playing_;
    case PR_ONPLAYEND:
      return on_play_end_;
    case PR_ONLINK:
      return on_link_;
    case PR_ONNOTIFY:
      return on_notify_;
    case PR_ONIDLE:
      return on_idle_;
    default:
      return int32_t{0};
  }
}

void TNovuMes::Set(PropId id, const PropValue& value) {
  switch (id) {
    case PR_TEXT:
      SetText(PropAsStr(value));
      break;
    case PR_INDEX:
      SetPageIndex(PropAsInt(value));
      break;
    case PR_SCROLLY:
      SetScroll(PropAsInt(value));
      break;
    case PR_FONTNAME:
      ChangeSetting([&](auto& s) { s.font_name = PropAsStr(value); });
      break;
    case PR_FONTHEIGHT:
      ChangeSetting([&](auto& s) { s.font_size = PropAsInt(value); });
      break;
    case PR_LINESPACE:
      ChangeSetting([&](auto& s) { s.line_spacing = SaneLineSpacing(PropAsInt(value)); });
      break;
    case PR_FONTCOLOR:
      ChangeSetting([&](auto& s) { s.colour = PropAsInt(value); });
      break;
    case PR_FONTLINKCOLOR:
      ChangeSetting([&](auto& s) { s.link_colour = PropAsInt(value); });
      break;
    case PR_FONTHOVERCOLOR:
      ChangeSetting([&](auto& s) { s.hover_colour = PropAsInt(value); });
      break;
    case PR_FONTBORDERCOLOR:
      ChangeSetting([&](auto& s) { s.border_colour = PropAsInt(value); });
      break;
    case PR_FONTSHADOWCOLOR:
      ChangeSetting([&](auto& s) { s.shadow_colour = PropAsInt(value); });
      break;
    case PR_FONTBORDER:
      ChangeSetting([&](auto& s) { s.border_width = PropAsInt(value); });
      break;
    case PR_FONTSHADOW:
      ChangeSetting([&](auto& s) { s.shadow_offset = PropAsInt(value); });
      break;
    case PR_ANTIALIAS:
      ChangeSetting([&](auto& s) { s.anti_alias = PropAsBool(value) ? 3 : 0; });
      break;
    case PR_ALPHA:
      word_.settings.alpha = PropAsInt(value);
      Invalidate();
      break;
    case PR_DELAY:
      word_.settings.fade_time = std::max(PropAsInt(value), 0);
      break;
    case PR_TEXTDELAY:
      word_.settings.wait_rate = PropAsInt(value);
      break;
    case PR_PAUSED:
      SetPaused(false, PropAsBool(value));
      break;
    case PR_TEXTPAUSED:
      SetPaused(true, PropAsBool(value));
      break;
    case PR_CAPTURELINK:
      capture_link_ = PropAsBool(value);
      break;
    case PR_ONPLAYSTART:
      on_play_start_ = PropAsStr(value);
      break;
    case PR_ONPLAYING:
      on_playing_ = PropAsStr(value);
      break;
    case PR_ONPLAYEND:
      on_play_end_ = PropAsStr(value);
      break;
    case PR_ONLINK:
      on_link_ = PropAsStr(value);
      break;
    case PR_ONNOTIFY:
      SetNotifyLabel(PropAsStr(value));
      break;
    case PR_ONIDLE:
      on_idle_ = PropAsStr(value);
      break;
    default:
      break;
  }
}

const PropertyTable& TNovuMes::Table() {
  using R = PropertyRows<TNovuMes>;
  auto row = [](PropId id) {
    return R::Answer(id, [id](const TNovuMes& m) { return m.Get(id); })
        .Set([id](TNovuMes& m, const PropValue& v) { m.Set(id, v); });
  };
  static const PropertyTable table(
      &TNovuControl::Table(), {
                                  R::Override(PR_WIDTH).Set([](TNovuMes& m, const PropValue& v) {
                                    m.SetSize(false, PropAsInt(v));
                                  }),
                                  R::Override(PR_HEIGHT).Set([](TNovuMes& m, const PropValue& v) {
                                    m.SetSize(true, PropAsInt(v));
                                  }),
                                  row(PR_TEXT),
                                  row(PR_INDEX),
                                  row(PR_COUNT).ReadOnly(),
                                  row(PR_SCROLLY),
                                  row(PR_PLAYING).ReadOnly(),
                                  row(PR_FONTNAME),
                                  row(PR_FONTHEIGHT),
                                  row(PR_LINESPACE),
                                  row(PR_FONTCOLOR),
                                  row(PR_FONTLINKCOLOR),
                                  row(PR_FONTHOVERCOLOR),
                                  row(PR_FONTBORDERCOLOR),
                                  row(PR_FONTSHADOWCOLOR),
                                  row(PR_FONTBORDER),
                                  row(PR_FONTSHADOW),
                                  row(PR_ANTIALIAS),
                                  row(PR_ALPHA),
                                  row(PR_DELAY),
                                  row(PR_TEXTDELAY),
                                  row(PR_PAUSED),
                                  row(PR_TEXTPAUSED),
                                  row(PR_CARETX).ReadOnly(),
                                  row(PR_CARETY).ReadOnly(),
                                  row(PR_CARETHEIGHT).ReadOnly(),
                                  row(PR_CAPTURELINK),
                                  row(PR_ONPLAYSTART),
                                  row(PR_ONPLAYING),
                                  row(PR_ONPLAYEND),
                                  row(PR_ONLINK),
                                  row(PR_ONNOTIFY),
                                  row(PR_ONIDLE),
                                  R::Saved([](TNovuMes& m, Serializer& s) { m.Sync(s); }),
                              });
  return table;
}

// ---- the saved form ----

void TNovuMes::SyncSettings(Serializer& s) {
  text::KxWordSettings& t = word_.settings;
  s.I32(origin_x_);
  s.I32(origin_y_);
  s.I32(t.font_size);
  s.String(t.font_name);
  s.I32(t.colour);
  s.I32(t.visible_height);
  s.I32(t.wrap_width);
  s.I32(t.anti_alias);
  s.I32(t.line_spacing);
  s.Bool(t.paging);
  s.I32(t.link_colour);
  s.I32(t.hover_colour);
  s.I32(t.fade_time);
  s.I32(t.border_colour);
  s.I32(t.alpha);
  s.Bool(t.paused);
  s.I32(t.caret_x);
  s.I32(t.caret_y);
  s.I32(t.wait_rate);
  s.Bool(t.events_enabled);
  if (s.Has(kShadowColourVersion)) s.I32(t.shadow_colour);
  if (s.Has(kBorderShadowVersion)) {
    s.I32(t.border_width);
    s.I32(t.shadow_offset);
  }
  if (s.loading()) {
    t.anti_alias = std::clamp(t.anti_alias, 0, 3);
    t.fade_time = std::max(t.fade_time, 0);
    t.wrap_width = Tame(std::max(t.wrap_width, 0));
    t.visible_height = Tame(std::max(t.visible_height, 0));
    t.line_spacing = SaneLineSpacing(t.line_spacing);
  }
}

void TNovuMes::SyncMessageData(Serializer& s) {
  auto n = static_cast<int32_t>(references_.size());
  s.I32(n);
  if (s.loading()) {
    // Each reference takes a name count, two indexes and a size.
    references_.assign(s.reader().CheckCount(n, 20), MesReference{});
  }
  for (MesReference& r : references_) s.String(r.page);
  for (MesReference& r : references_) s.I32(r.command_index);
  for (MesReference& r : references_) s.I32(r.page_index);
  for (MesReference& r : references_) {
    s.I32(r.width);
    s.I32(r.height);
  }
  if (s.Has(kHistoryRecordVersion)) {
    SyncHistData(s, history_);
  } else if (s.loading()) {
    history_.Clear();
  }
}

void TNovuMes::Sync(Serializer& s) {
  if (s.saving() && HasPage()) {
    // The values shown now go with the text reference, so a load shows them again.
    std::vector<std::string> values;
    word_.RecordVariables(values);
    for (HistEntry& entry : history_.entries) entry.values = JoinValues(values);
  }
  SyncSettings(s);
  SyncMessageData(s);
  if (s.Has(kHistoryRecordVersion)) {
    s.Bool(history_stacked_);
    s.I32(history_offset_);
    history_offset_ = Tame(history_offset_);
  }
  s.String(raw_text_);
  s.I32(index_);
  int32_t scroll = HasPage() ? CurrentPage()->scroll : 0;
  s.I32(scroll);
  s.I32(spare_);
  for (std::string& label : kept_labels_) s.String(label);
  s.String(on_playing_);
  s.String(on_play_start_);
  s.String(on_play_end_);
  s.String(on_link_);
  s.String(on_notify_);
  s.Bool(paused_);
  s.Bool(text_paused_);
  s.I32(word_.settings.wait_rate);
  s.U8(record_mode_);
  s.String(source_page_);
  s.I32(source_index_);
  if (s.Has(kOnIdleVersion + 1)) s.String(on_idle_);
  if (s.Has(kCaptureLinkVersion)) s.Bool(capture_link_);
  SyncPageStates(s);
  if (s.loading()) {
    loaded_scroll_ = scroll;
    word_.settings.events_enabled = !on_notify_.empty();
    word_.settings.paused = paused_ || text_paused_;
  }
}

void TNovuMes::WritePageStates(BinaryWriter& out) const {
  for (size_t p = 0; p < pages_.size(); ++p) {
    const TWdPage& page = *pages_[p];
    const PageReveal& state = reveals_[p];
    out.I32(page.scroll);
    out.I32(state.row);
    out.I32(state.glyph);
    out.Bool(state.end_reported);
    out.String(state.pending_events);
    ForEachGlyph(page, [&](const TWdRow&, const TWdGlyph& g) {
      if (!KeepsSavedAlpha(g)) return;
      if (g.kind() == GlyphKind::kVar) {
        const auto& var = static_cast<const text::TWdOpeVar&>(g);
        const TWdReal* first =
            var.produced.empty() ? nullptr : AsReal(const_cast<TWdGlyph*>(var.produced.front()));
        out.I32(first != nullptr ? first->alpha() : 0);
      } else {
        out.I32(static_cast<const TWdReal&>(g).alpha());
      }
    });
  }
}

void TNovuMes::SyncPageStates(Serializer& s) {
  if (s.saving()) {
    BinaryWriter block;
    WritePageStates(block);
    const std::vector<uint8_t> bytes = block.Take();
    s.writer().I32(static_cast<int32_t>(bytes.size()));
    s.writer().Bytes(bytes);
    return;
  }
  BinaryReader& in = s.reader();
  const int32_t length = in.I32();
  const size_t size = in.CheckCount(length, 1);
  const auto bytes = in.Bytes(size);
  loaded_states_.emplace(bytes.begin(), bytes.end());
}

bool TNovuMes::ApplyPageStates(std::span<const uint8_t> block) {
  std::vector<SavedPageState> states(pages_.size());
  try {
    BinaryReader in(block);
    for (size_t p = 0; p < pages_.size(); ++p) {
      SavedPageState& st = states[p];
      st.scroll = in.I32();
      st.row = in.I32();
      st.glyph = in.I32();
      st.end_reported = in.Bool();
      st.pending_events = in.String();
      ForEachGlyph(*pages_[p], [&](const TWdRow&, const TWdGlyph& g) {
        if (KeepsSavedAlpha(g)) st.alphas.push_back(in.I32());
      });
    }
    if (!in.AtEnd()) return false;
  } catch (const NovuError&) {
    return false;
  }
  for (size_t p = 0; p < pages_.size(); ++p) {
    const SavedPageState& st = states[p];
    TWdPage& page = *pages_[p];
    PageReveal& state = reveals_[p];
    state = PageReveal{};
    page.scroll = Tame(st.scroll);
    const auto rows = static_cast<int32_t>(page.rows.size());
    state.row = std::clamp(st.row, 0, rows);
    const int32_t glyphs =
        state.row < rows
            ? static_cast<int32_t>(page.rows[static_cast<size_t>(state.row)]->glyphs.size())
            : 0;
    state.glyph = std::clamp(st.glyph, 0, glyphs);
    state.end_reported = st.end_reported;
    state.pending_events = st.pending_events;
    size_t next = 0;
    ForEachGlyph(page, [&](const TWdRow&, TWdGlyph& g) {
      if (!KeepsSavedAlpha(g)) return;
      const int32_t alpha = st.alphas[next++];
      auto give = [&](TWdGlyph* target) {
        TWdReal* real = AsReal(target);
        if (real == nullptr) return;
        real->SetAlpha(alpha);
        if (real->alpha() > 0 && real->alpha() < 255) state.fading.push_back(real);
      };
      if (g.kind() == GlyphKind::kVar) {
        for (TWdGlyph* produced : static_cast<text::TWdOpeVar&>(g).produced) give(produced);
      } else {
        give(&g);
      }
    });
  }
  return true;
}

void TNovuMes::AfterLoad() {
  const int32_t index = index_;
  const int32_t scroll = loaded_scroll_;
  std::optional<std::vector<uint8_t>> states = std::move(loaded_states_);
  loaded_states_.reset();
  FreePages();
  word_.Clear();
  try {
    if (references_.empty() && history_.entries.empty()) {
      if (!raw_text_.empty()) {
        word_.SetSource(cp932::SplitAtLineEnds(raw_text_));
        word_.ExpandVariables();
        LayOut();
      }
    } else {
      BuildPages();
    }
  } catch (const NovuError&) {
    FreePages();
    word_.Clear();
  }
  reveals_.assign(pages_.size(), PageReveal{});
  index_ = std::clamp(index, -1, PageCount() - 1);
  if (HasPage()) {
    CurrentPage()->scroll = Tame(scroll);
    ResetReveal(index_);
    Redraw(true);
  }
  if (states) ApplyPageStates(*states);
  redraw_ = false;
  new_page_ = false;
  start_delay_ = 0;
  changed_.reset();
}

}  // namespace novu
