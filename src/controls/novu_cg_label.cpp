#include "controls/novu_cg_label.h"

#include <algorithm>

#include "core/cp932.h"
#include "core/process_state.h"
#include "render/custom_dibx.h"

namespace novu {
namespace {

int32_t Saturate(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// The characters of a text, each one or two bytes.
std::vector<std::string_view> Characters(std::string_view text) {
  std::vector<std::string_view> out;
  for (size_t i = 0; i < text.size();) {
    const size_t n =
        cp932::IsLeadByte(static_cast<uint8_t>(text[i])) && i + 1 < text.size() ? 2 : 1;
    out.push_back(text.substr(i, n));
    i += n;
  }
  return out;
}

bool AlphaDraws(int32_t alpha) {
  return alpha >= 1 && alpha < 512;
}

}  // namespace

TNovuCGLabel::TNovuCGLabel(ObjectList* owner, ImageEnvironment env)
    : TNovuControl(owner), env_(env), images_(env.cache) {}

TNovuCGLabel::~TNovuCGLabel() = default;

// --- properties ---

void TNovuCGLabel::SetSource(std::string_view name) {
  if (name == source_) return;
  Invalidate();
  source_ = name;
  frame_selected_ = false;
  images_.Clear();
  if (!source_.empty()) images_.Load(this, source_, false);
  if (images_.Count() > 0) {
    images_.SetIndex(0);
    frame_selected_ = true;
  }
}

void TNovuCGLabel::SetText(std::string_view text) {
  if (text == text_) return;
  text_ = text;
  RebuildCells();
}

void TNovuCGLabel::SetMapText(std::string_view map) {
  if (map == map_text_) return;
  map_text_ = map;
  RebuildCells();
  Invalidate();
}

void TNovuCGLabel::SetCellWidth(int32_t width) {
  width = std::max(width, 1);
  if (width == cell_width_) return;
  cell_width_ = width;
  RecomputeSize();
}

void TNovuCGLabel::SetCellHeight(int32_t height) {
  height = std::max(height, 1);
  if (height == cell_height_) return;
  cell_height_ = height;
  RecomputeSize();
}

void TNovuCGLabel::SetLineSpace(int32_t spacing) {
  if (spacing == line_space_) return;
  line_space_ = spacing;
  RecomputeSize();
}

void TNovuCGLabel::SetAlpha(int32_t alpha) {
  if (alpha == alpha_) return;
  alpha_ = alpha;
  Invalidate();
}

// --- cells and size ---

void TNovuCGLabel::RebuildCells() {
  const std::vector<std::string_view> map = Characters(map_text_);
  std::vector<std::string> lines = cp932::SplitAtLineEnds(text_);
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  cell_lines_.clear();
  for (const std::string& line : lines) {
    std::vector<int32_t> cells;
    for (std::string_view character : Characters(line)) {
      const auto found = std::find(map.begin(), map.end(), character);
      cells.push_back(found == map.end() ? -1 : static_cast<int32_t>(found - map.begin()));
    }
    cell_lines_.push_back(std::move(cells));
  }
  RecomputeSize();
}

void TNovuCGLabel::RecomputeSize() {
  size_t longest = 0;
  for (const auto& line : cell_lines_) longest = std::max(longest, line.size());
  const auto lines = static_cast<int64_t>(cell_lines_.size());
  int64_t h = lines * cell_height_;
  if (lines > 1) h += (lines - 1) * line_space_;
  SetWidth(Saturate(static_cast<int64_t>(longest) * cell_width_));
  SetHeight(Saturate(std::max<int64_t>(h, 0)));
  Invalidate();
}

// --- frames ---

const TNovuImageData* TNovuCGLabel::CurrentFrame() const {
  return frame_selected_ ? images_.Item(images_.index()) : nullptr;
}

int32_t TNovuCGLabel::Update() {
  if (const int32_t result = TNovuControl::Update(); result != 0) return result;
  if (PropAsBool(GetProperty(PR_ANIPAUSED))) return 0;
  const int32_t elapsed = env_.state != nullptr ? env_.state->frame_delta : 0;
  if (frame_selected_ && images_.Advance(elapsed)) Invalidate();
  return 0;
}

// --- drawing ---

void TNovuCGLabel::DrawCell(render::TCustomDIBX& surface, const TNovuImageData& frame, int32_t x,
                            int32_t y, const Rect& src) const {
  surface.DrawWithAlphaCode(x, y, alpha_, frame.Mask(), {.use_key = true}, src, frame.Picture());
}

void TNovuCGLabel::DrawSelf(render::TCustomDIBX& surface) {
  if (width() == 0 || height() == 0 || !AlphaDraws(alpha_)) return;
  const TNovuImageData* frame = CurrentFrame();
  if (frame == nullptr) return;
  const render::TCustomDIBX& picture = frame->Picture();
  const int32_t columns = picture.Width() / cell_width_;
  if (columns < 1) return;
  const int64_t cell_count = int64_t{picture.Height() / cell_height_} * columns;
  int64_t y = ScreenY();
  for (const auto& line : cell_lines_) {
    const int64_t spare = int64_t{width()} - static_cast<int64_t>(line.size()) * cell_width_;
    int64_t x = int64_t{ScreenX()} + (alignment_ == 0 ? 0 : alignment_ == 1 ? spare / 2 : spare);
    for (int32_t k : line) {
      if (k >= 0 && k < cell_count) {
        const Rect src = MakeRect(k % columns * cell_width_, k / columns * cell_height_,
                                  cell_width_, cell_height_);
        DrawCell(surface, *frame, Saturate(x), Saturate(y), src);
      }
      x += cell_width_;
    }
    y += int64_t{cell_height_} + line_space_;
  }
}

// --- saving ---

void TNovuCGLabel::AfterLoad() {
  RebuildCells();
}

const PropertyTable& TNovuCGLabel::Table() {
  using R = PropertyRows<TNovuCGLabel>;
  static const PropertyTable table(
      &TNovuControl::Table(),
      {
          R::Field(PR_SOURCE, &TNovuCGLabel::source_)
              .Set(&TNovuCGLabel::SetSource)
              .Save([](TNovuCGLabel& c, Serializer& s) {
                std::string name = c.source_;
                s.String(name);
                if (s.loading()) {
                  c.source_.clear();
                  c.SetSource(name);
                }
              }),
          R::Field(PR_TEXT, &TNovuCGLabel::text_).Set(&TNovuCGLabel::SetText),
          R::Field(PR_MAPTEXT, &TNovuCGLabel::map_text_).Set(&TNovuCGLabel::SetMapText),
          // A saved cell size of 0 or less is taken as the setter takes it: 1.
          R::Field(PR_GLYPHWIDTH, &TNovuCGLabel::cell_width_)
              .Set(&TNovuCGLabel::SetCellWidth)
              .Save([](TNovuCGLabel& c, Serializer& s) {
                s.I32(c.cell_width_);
                c.cell_width_ = std::max(c.cell_width_, 1);
              }),
          R::Field(PR_GLYPHHEIGHT, &TNovuCGLabel::cell_height_)
              .Set(&TNovuCGLabel::SetCellHeight)
              .Save([](TNovuCGLabel& c, Serializer& s) {
                s.I32(c.cell_height_);
                c.cell_height_ = std::max(c.cell_height_, 1);
              }),
          R::Field(PR_LINESPACE, &TNovuCGLabel::line_space_).Set(&TNovuCGLabel::SetLineSpace),
          R::Field(PR_PAUSED, &TNovuCGLabel::paused_),
          R::Field(PR_HALIGN, &TNovuCGLabel::alignment_)
              .Set([](TNovuCGLabel& c, const PropValue& v) {
                c.alignment_ = static_cast<uint8_t>(PropAsInt(v));
                c.Invalidate();
              }),
          R::Field(PR_ALPHA, &TNovuCGLabel::alpha_).Set(&TNovuCGLabel::SetAlpha),
          R::Field(PR_ONIDLE, &TNovuCGLabel::on_idle_).Since(125),
          R::Answer(PR_ORIGWIDTH,
                    [](const TNovuCGLabel& c) {
                      const TNovuImageData* frame = c.CurrentFrame();
                      return frame != nullptr ? frame->Picture().Width() : 0;
                    }),
          R::Answer(PR_ORIGHEIGHT,
                    [](const TNovuCGLabel& c) {
                      const TNovuImageData* frame = c.CurrentFrame();
                      return frame != nullptr ? frame->Picture().Height() : 0;
                    }),
          R::Answer(PR_PLAYING,
                    [](const TNovuCGLabel& c) {
                      return !c.paused_ && !PropAsBool(c.GetProperty(PR_ANIPAUSED));
                    }),
      });
  return table;
}

}  // namespace novu
