#include "controls/novu_label.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/cp932.h"
#include "objects/novu_motion.h"
#include "text/font_pixel.h"

namespace novu {
namespace {

int32_t Saturate(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// The characters of a line: one byte, or a lead byte with its trail as lead * 256 + trail.
std::vector<uint16_t> CharacterCodes(std::string_view line) {
  std::vector<uint16_t> codes;
  for (size_t i = 0; i < line.size(); ++i) {
    const auto b = static_cast<uint8_t>(line[i]);
    if (cp932::IsLeadByte(b) && i + 1 < line.size()) {
      codes.push_back(static_cast<uint16_t>(b << 8 | static_cast<uint8_t>(line[++i])));
    } else {
      codes.push_back(b);
    }
  }
  return codes;
}

int32_t Advance(const text::TFontPixel& glyph) {
  return glyph.width + glyph.origin_x + glyph.right_spacing;
}

bool AlphaDraws(int32_t alpha) {
  return alpha >= 1 && alpha < 512;
}

}  // namespace

TNovuLabel::TNovuLabel(ObjectList* owner, ImageEnvironment env) : TNovuControl(owner), env_(env) {}

TNovuLabel::~TNovuLabel() = default;

// --- text and layout fields ---

void TNovuLabel::SetText(std::string_view text) {
  if (text == Text()) return;
  lines_ = cp932::SplitAtLineEnds(text);
  if (!lines_.empty() && lines_.back().empty()) lines_.pop_back();
  Layout();
}

std::string TNovuLabel::Text() const {
  std::string joined;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (i > 0) joined += "\r\n";
    joined += lines_[i];
  }
  return joined;
}

template <class T, class V>
void TNovuLabel::SetLayoutField(T& field, V value) {
  if (field == value) return;
  field = std::move(value);
  Layout();
}

void TNovuLabel::SetFontName(std::string_view name) {
  SetLayoutField(font_name_, std::string(name));
}
void TNovuLabel::SetFontHeight(int32_t height) {
  SetLayoutField(font_height_, height);
}
void TNovuLabel::SetFontStyle(uint8_t style) {
  SetLayoutField(font_style_, style);
}
void TNovuLabel::SetLineSpace(int32_t spacing) {
  SetLayoutField(line_space_, spacing);
}
void TNovuLabel::SetAlignment(uint8_t alignment) {
  SetLayoutField(alignment_, alignment);
}
void TNovuLabel::SetAntiAlias(bool on) {
  SetLayoutField(anti_alias_, on);
}

void TNovuLabel::SetFontColour(int32_t colour) {
  if (colour == font_colour_) return;
  font_colour_ = colour;
  Layout();
}

// --- drawing fields ---

void TNovuLabel::SetAlpha(int32_t alpha) {
  if (alpha == alpha_) return;
  alpha_ = alpha;
  Invalidate();
}

void TNovuLabel::SetDrawingFlag(bool& field, bool value) {
  if (field == value) return;
  Invalidate();
  field = value;
  Invalidate();
}

void TNovuLabel::SetFlipH(bool flip) {
  SetDrawingFlag(flip_h_, flip);
}
void TNovuLabel::SetFlipV(bool flip) {
  SetDrawingFlag(flip_v_, flip);
}

void TNovuLabel::SetAngle(int32_t angle) {
  if (angle == angle_) return;
  Invalidate();
  angle_ = angle;
  Invalidate();
}

void TNovuLabel::SetZoomX(int32_t zoom) {
  zoom = std::max(zoom, 1);
  if (zoom == zoom_x_) return;
  Invalidate();
  zoom_x_ = zoom;
  SetWidth(Saturate(int64_t{zoom_x_} * text_width_ / 256));
  Invalidate();
}

void TNovuLabel::SetZoomY(int32_t zoom) {
  zoom = std::max(zoom, 1);
  if (zoom == zoom_y_) return;
  Invalidate();
  zoom_y_ = zoom;
  SetHeight(Saturate(int64_t{zoom_y_} * text_height_ / 256));
  Invalidate();
}

// Only a motion file gives a label a source; the film player loads it.
void TNovuLabel::SetSource(std::string_view name) {
  if (name == source_) return;
  source_ = name;
  SetMotion(nullptr);
}

void TNovuLabel::SetRepeat(bool repeat) {
  repeat_ = repeat;
  // A finished film plays again once it is to repeat.
  auto* film = dynamic_cast<TNovuFilmMotion*>(GetMotion());
  if (repeat_ && film != nullptr && film->finished()) film->Restart();
}

// --- layout ---

int32_t TNovuLabel::SurfaceDepth() const {
  const render::TCustomDIBX* target = GetSurface();
  return target != nullptr && target->BitCount() > 8 ? target->BitCount() : 32;
}

std::vector<int32_t> TNovuLabel::MeasureLines() {
  std::vector<int32_t> widths;
  int64_t widest = 0;
  for (const std::string& line : lines_) {
    int64_t width = 0;
    if (env_.glyphs != nullptr) {
      for (uint16_t code : CharacterCodes(line)) {
        width += Advance(*env_.glyphs->Get(code, font_name_, font_style_ & 0x0f, font_height_));
      }
    }
    widths.push_back(Saturate(width));
    widest = std::max(widest, width);
  }
  const int64_t height =
      (int64_t{font_height_} + line_space_) * static_cast<int64_t>(lines_.size());
  text_width_ = Saturate(std::clamp<int64_t>(widest, 0, kMaxLabelSide));
  text_height_ = Saturate(std::clamp<int64_t>(height, 0, kMaxLabelSide));
  if (text_width_ > 0 && int64_t{text_width_} * text_height_ > kMaxLabelArea) {
    text_height_ = static_cast<int32_t>(kMaxLabelArea / text_width_);
  }
  return widths;
}

void TNovuLabel::Layout() {
  if (env_.glyphs != nullptr) env_.glyphs->SetLevel(anti_alias_ ? 3 : 0);
  const std::vector<int32_t> line_widths = MeasureLines();
  // Only the size changes: a film moving the label keeps its place.
  const int32_t w = Saturate(int64_t{zoom_x_} * text_width_ / 256);
  const int32_t h = Saturate(int64_t{zoom_y_} * text_height_ / 256);
  if (w != width()) SetWidth(w);
  if (h != height()) SetHeight(h);
  line_rects_.clear();
  if (text_width_ > 0 && text_height_ > 0) RenderLines(line_widths);
  Invalidate();
}

void TNovuLabel::RenderLines(const std::vector<int32_t>& line_widths) {
  const int depth = SurfaceDepth();
  if (colour_.Width() != text_width_ || colour_.Height() != text_height_ ||
      colour_.BitCount() != depth || coverage_.Width() != text_width_ ||
      coverage_.Height() != text_height_) {
    colour_.SetSize(text_width_, text_height_, depth);
    coverage_.SetSize(text_width_, text_height_, 8);
  }
  coverage_.FillRect(Rect{0, 0, text_width_, text_height_}, 0);
  if (env_.glyphs == nullptr) return;
  const Rect whole{0, 0, text_width_, text_height_};
  const int64_t pitch = int64_t{font_height_} + line_space_;
  for (size_t i = 0; i < lines_.size(); ++i) {
    const int64_t y = static_cast<int64_t>(i) * pitch;
    if (y >= text_height_) break;
    const int32_t spare = text_width_ - line_widths[i];
    int64_t x = alignment_ == 0 ? 0 : alignment_ == 1 ? spare / 2 : spare;
    const std::vector<uint16_t> codes = CharacterCodes(lines_[i]);
    Rect inked{};
    for (size_t k = 0; k < codes.size() && x < text_width_; ++k) {
      const auto glyph = env_.glyphs->Get(codes[k], font_name_, font_style_ & 0x0f, font_height_);
      const int32_t advance = Advance(*glyph);
      text::GlyphDrawSpec draw;
      draw.cell = MakeRect(Saturate(x), Saturate(y), advance, font_height_);
      draw.text_colour = font_colour_;
      draw.previous_differs = k == 0;
      draw.next_differs = k + 1 == codes.size();
      const Rect touched =
          Intersect(text::TFontPixelManager::Draw(*glyph, colour_, coverage_, draw), whole);
      if (!touched.IsEmpty()) inked = inked.IsEmpty() ? touched : Union(inked, touched);
      x += advance;
    }
    if (!inked.IsEmpty()) line_rects_.push_back(inked);
  }
}

// --- geometry ---

int32_t TNovuLabel::AnchorOnScreen(bool vertical) const {
  const int64_t zoom = vertical ? zoom_y_ : zoom_x_;
  const int64_t point = vertical ? offset_y() : offset_x();
  const int64_t size = vertical ? height() : width();
  const bool flip = vertical ? flip_v_ : flip_h_;
  const int64_t anchor = flip ? size - point * zoom / 256 - 1 : point * zoom / 256;
  return Saturate((vertical ? ScreenY() : ScreenX()) + anchor);
}

render::RotateGeometry TNovuLabel::Rotation() const {
  render::RotateGeometry g;
  g.x = AnchorOnScreen(false);
  g.y = AnchorOnScreen(true);
  g.pivot_x = flip_h_ ? text_width_ - 1 - offset_x() : offset_x();
  g.pivot_y = flip_v_ ? text_height_ - 1 - offset_y() : offset_y();
  g.angle = angle_;
  g.zoom_x = zoom_x_;
  g.zoom_y = zoom_y_;
  g.src_rect = Rect{0, 0, text_width_, text_height_};
  g.flip_h = flip_h_;
  g.flip_v = flip_v_;
  return g;
}

Rect TNovuLabel::GetBoundsRect() const {
  if (angle_ == 0 || text_width_ <= 0 || text_height_ <= 0) return TNovuControl::GetBoundsRect();
  return render::RotatedBounds(Rotation());
}

void TNovuLabel::Invalidate() {
  if (lines_.empty()) return;
  TNovuControl::Invalidate();
}

// --- drawing ---

void TNovuLabel::Paint(render::TCustomDIBX& surface) {
  if (!lines_.empty() && AlphaDraws(alpha_) && text_width_ > 0 && text_height_ > 0) {
    if (angle_ != 0) {
      DrawRotated(surface);
    } else if (width() == text_width_ && height() == text_height_) {
      DrawFlat(surface);
    } else if (width() > 0 && height() > 0) {
      DrawStretched(surface);
    }
  }
  TNovuControl::Paint(surface);
}

// One flat colour through the coverage; flips have no effect on this path.
void TNovuLabel::DrawFlat(render::TCustomDIBX& surface) const {
  const int32_t x = ScreenX();
  const int32_t y = ScreenY();
  const auto raw = static_cast<uint32_t>(surface.ColorToPixel(font_colour_));
  for (const Rect& r : line_rects_) {
    surface.DrawMaskColor(x + r.left, y + r.top, alpha_, raw, {}, r, coverage_);
  }
}

void TNovuLabel::DrawStretched(render::TCustomDIBX& surface) const {
  const Rect dest = TNovuControl::GetBoundsRect();
  const Rect src{0, 0, text_width_, text_height_};
  const render::FlipOptions flips{.flip_v = flip_v_, .flip_h = flip_h_};
  if (alpha_ > 255) {
    surface.StretchDrawAddMasked(dest, colour_, alpha_ - 256, coverage_, flips, src);
  } else {
    surface.StretchDrawMasked(dest, colour_, alpha_, coverage_, flips, src);
  }
}

void TNovuLabel::DrawRotated(render::TCustomDIBX& surface) const {
  const render::RotateGeometry g = Rotation();
  const render::FlipOptions flips{.flip_v = flip_v_, .flip_h = flip_h_};
  surface.DrawRotateMasked(g.x, g.y, alpha_, coverage_, flips, angle_, g.pivot_y, g.pivot_x,
                           g.src_rect, colour_, zoom_y_, zoom_x_);
}

// --- hit testing ---

TNovuControl* TNovuLabel::HitTest(Point screen, MouseModeSet accepted) {
  if (!IsVisible()) return nullptr;
  if (angle_ == 0) {
    if (!GetBoundsRect().Contains(screen)) return nullptr;
  } else {
    // Turned back about the point the text turns about.
    const double cx = AnchorOnScreen(false);
    const double cy = AnchorOnScreen(true);
    const double a = -angle_ * 2.0 * std::numbers::pi / 256.0;
    const double dx = screen.x - cx;
    const double dy = screen.y - cy;
    const auto px = static_cast<int32_t>(std::lround(cx + dx * std::cos(a) - dy * std::sin(a)));
    const auto py = static_cast<int32_t>(std::lround(cy + dx * std::sin(a) + dy * std::cos(a)));
    if (!TNovuControl::GetBoundsRect().Contains(px, py)) return nullptr;
  }
  for (auto it = children().rbegin(); it != children().rend(); ++it) {
    TNovuControl* c = (*it)->AsControl();
    if (c == nullptr) continue;
    if (TNovuControl* deeper = c->HitTest(screen, accepted)) return deeper;
  }
  return accepted.Contains(mouse_mode()) ? this : nullptr;
}

// --- properties ---

const PropertyTable& TNovuLabel::Table() {
  using R = PropertyRows<TNovuLabel>;
  // The size follows the text; a script's width or height is overruled by the next layout.
  static const PropertyTable table(
      &TNovuControl::Table(),
      {
          R::Field(PR_FONTNAME, &TNovuLabel::font_name_).Set(&TNovuLabel::SetFontName),
          R::Field(PR_FONTHEIGHT, &TNovuLabel::font_height_).Set(&TNovuLabel::SetFontHeight),
          R::Field(PR_LINESPACE, &TNovuLabel::line_space_).Set(&TNovuLabel::SetLineSpace),
          R::Field(PR_FONTSTYLE, &TNovuLabel::font_style_).Set(&TNovuLabel::SetFontStyle),
          R::Field(PR_ALPHA, &TNovuLabel::alpha_).Set(&TNovuLabel::SetAlpha),
          R::Field(PR_FONTCOLOR, &TNovuLabel::font_colour_).Set(&TNovuLabel::SetFontColour),
          R::Field(PR_HALIGN, &TNovuLabel::alignment_).Set(&TNovuLabel::SetAlignment),
          R::Field(PR_ANTIALIAS, &TNovuLabel::anti_alias_).Set(&TNovuLabel::SetAntiAlias),
          R::Field(PR_FLIPH, &TNovuLabel::flip_h_).Set(&TNovuLabel::SetFlipH),
          R::Field(PR_FLIPV, &TNovuLabel::flip_v_).Set(&TNovuLabel::SetFlipV),
          R::Field(PR_ANGLE, &TNovuLabel::angle_).Set(&TNovuLabel::SetAngle),
          R::Field(PR_ZOOMX, &TNovuLabel::zoom_x_)
              .Set(&TNovuLabel::SetZoomX)
              .Save([](TNovuLabel& c, Serializer& s) {
                s.I32(c.zoom_x_);
                if (s.loading()) c.zoom_x_ = std::max(c.zoom_x_, 1);
              }),
          R::Answer(PR_TEXT, [](const TNovuLabel& c) { return c.Text(); })
              .Set(&TNovuLabel::SetText)
              .Save([](TNovuLabel& c, Serializer& s) {
                std::string text = c.Text();
                s.String(text);
                if (s.loading()) {
                  c.lines_.clear();
                  c.SetText(text);
                }
              }),
          R::Field(PR_ONIDLE, &TNovuLabel::on_idle_).Since(104),
          R::Field(PR_SOURCE, &TNovuLabel::source_).Set(&TNovuLabel::SetSource).Since(104),
          R::Field(PR_REPEAT, &TNovuLabel::repeat_).Set(&TNovuLabel::SetRepeat).Since(104),
          R::Field(PR_AUTOSCRAP, &TNovuLabel::auto_scrap_).Since(104),
          R::Field(PR_ONPLAYEND, &TNovuLabel::on_play_end_).Since(104),
          R::Field(PR_PAUSED, &TNovuLabel::paused_).Since(104),
          R::Field(PR_ZOOMY, &TNovuLabel::zoom_y_)
              .Set(&TNovuLabel::SetZoomY)
              .Save([](TNovuLabel& c, Serializer& s) {
                s.I32(c.zoom_y_);
                if (s.loading()) c.zoom_y_ = std::max(c.zoom_y_, 1);
              })
              .Since(104),
      });
  return table;
}

void TNovuLabel::AfterLoad() {
  Layout();
}

Point TNovuLabel::TextBlockSize() const {
  const auto lines = static_cast<int64_t>(lines_.size());
  const int64_t height =
      lines * font_height_ + std::max<int64_t>(lines - 1, 0) * int64_t{line_space_};
  return {text_width_, static_cast<int32_t>(std::clamp<int64_t>(height, 0, kMaxLabelSide))};
}

}  // namespace novu
