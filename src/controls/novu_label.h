#pragma once
// TNovuLabel (LT_LABEL, command Caption): lines of text in one font and colour, rendered once
// through the glyph cache into a colour surface and an 8-bit coverage surface and drawn like a
// picture: flat, stretched by its zoom, or rotated about its anchor point, mirrored and blended.
// The setters below are the ones films drive (position comes from TNovuControl).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "controls/film_text_block.h"
#include "controls/image_environment.h"
#include "objects/novu_control.h"
#include "render/blit_plan.h"
#include "render/dibx.h"

namespace novu {

// The face a label starts with: "ＭＳ Ｐゴシック".
inline constexpr std::string_view kLabelDefaultFont =
    "\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";
// The text surfaces never grow beyond this many pixels a side, nor beyond kMaxLabelArea pixels
// in all: a script asking for a huge font or thousands of lines gets its text cut, not an
// allocation that takes the machine down.
inline constexpr int32_t kMaxLabelSide = 8192;
inline constexpr int64_t kMaxLabelArea = int64_t{4096} * 4096;

class TNovuLabel final : public TNovuControl, public FilmTextBlock {
 public:
  TNovuLabel(ObjectList* owner, ImageEnvironment env);
  ~TNovuLabel() override;

  ComponentType GetType() const override { return LT_LABEL; }
  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }

  // --- what scripts and films set ---
  void SetText(std::string_view text);
  std::string Text() const;
  void SetAlpha(int32_t alpha);
  void SetZoomX(int32_t zoom);
  void SetZoomY(int32_t zoom);
  void SetAngle(int32_t angle);
  void SetFlipH(bool flip);
  void SetFlipV(bool flip);
  void SetFontName(std::string_view name);
  void SetFontHeight(int32_t height);
  void SetFontStyle(uint8_t style);
  void SetLineSpace(int32_t spacing);
  void SetAlignment(uint8_t alignment);
  void SetAntiAlias(bool on);
  void SetFontColour(int32_t colour);
  void SetSource(std::string_view name);
  void SetRepeat(bool repeat);

  const std::vector<std::string>& lines() const { return lines_; }
  // The block a film's label track places: the widest line, and the lines' heights with the
  // spacing between them (not after the last, as the label's own surface has).
  Point TextBlockSize() const override;
  int32_t text_width() const { return text_width_; }
  int32_t text_height() const { return text_height_; }
  int32_t alpha() const { return alpha_; }
  int32_t zoom_x() const { return zoom_x_; }
  int32_t zoom_y() const { return zoom_y_; }
  int32_t angle() const { return angle_; }
  const std::vector<Rect>& line_rects() const { return line_rects_; }
  const render::TCustomDIBX& colour_surface() const { return colour_; }
  const render::TCustomDIBX& coverage_surface() const { return coverage_; }

  // --- control operations ---
  void Invalidate() override;
  void Paint(render::TCustomDIBX& surface) override;
  TNovuControl* HitTest(Point screen, MouseModeSet accepted) override;
  Rect GetBoundsRect() const override;
  // Renders the text again (after the screen's surfaces were rebuilt).
  void RestoreSurfaces() { Layout(); }

 protected:
  void AfterLoad() override;

 private:
  void Layout();
  // The width of each line and the text size, from the glyph cache's advances.
  std::vector<int32_t> MeasureLines();
  void RenderLines(const std::vector<int32_t>& line_widths);
  int32_t SurfaceDepth() const;
  render::RotateGeometry Rotation() const;
  // Where the anchor point lies on the screen along one axis.
  int32_t AnchorOnScreen(bool vertical) const;
  void DrawFlat(render::TCustomDIBX& surface) const;
  void DrawStretched(render::TCustomDIBX& surface) const;
  void DrawRotated(render::TCustomDIBX& surface) const;
  // Sets a layout field; a changed value lays the label out again.
  template <class T, class V>
  void SetLayoutField(T& field, V value);
  void SetDrawingFlag(bool& field, bool value);

  ImageEnvironment env_;
  std::vector<std::string> lines_;
  std::string font_name_{kLabelDefaultFont};
  int32_t font_height_ = 12;
  int32_t line_space_ = 0;
  uint8_t font_style_ = 0;
  int32_t alpha_ = 255;
  int32_t font_colour_ = 0;
  uint8_t alignment_ = 0;
  bool anti_alias_ = false;
  bool flip_h_ = false;
  bool flip_v_ = false;
  int32_t angle_ = 0;
  int32_t text_width_ = 0;
  int32_t text_height_ = 0;
  int32_t zoom_x_ = 256;
  int32_t zoom_y_ = 256;
  std::string on_idle_;
  std::string source_;
  bool repeat_ = false;
  bool auto_scrap_ = false;
  std::string on_play_end_;
  bool paused_ = false;
  render::TDIBX colour_;
  render::TDIBX coverage_;
  std::vector<Rect> line_rects_;
};

}  // namespace novu
