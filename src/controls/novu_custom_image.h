#pragma once
// TNovuCustomImage: the common base of the picture controls. It draws its current picture at
// its alpha with zoom, rotation and mirroring, and hit-tests against the picture's mask.
// TNovuImage: the still picture films place on the screen.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "controls/image_environment.h"
#include "objects/novu_control.h"
#include "objects/novu_motion.h"
#include "render/blit_plan.h"
#include "render/dibx.h"

namespace novu {

class TFipoCollection;

class TNovuCustomImage : public TNovuControl {
 public:
  TNovuCustomImage(ObjectList* owner, ImageEnvironment env);
  ~TNovuCustomImage() override;

  // The shown picture and mask when set, else the control's own (none until it has one).
  render::TCustomDIBX* Picture() const;
  render::TCustomDIBX* PictureMask() const;
  // An outside picture (a film frame, the current frame of an animation); null drops it.
  void SetShown(render::TCustomDIBX* surface, render::TCustomDIBX* mask);

  int32_t alpha() const { return alpha_; }
  // The scale pictures are drawn and hit-tested at, 1/256: the zoom, or with an explicit size
  // (zoom stored as 0) the ratio of that size to the picture's, never below 1.
  int32_t ScaleX() const;
  int32_t ScaleY() const;
  int32_t angle() const { return angle_; }
  bool flip_h() const { return flip_h_; }
  bool flip_v() const { return flip_v_; }

  void SetAlpha(int32_t alpha);
  void SetZoomX(int32_t zoom);
  void SetZoomY(int32_t zoom);
  void SetAngle(int32_t angle);
  void SetFlipH(bool flip);
  void SetFlipV(bool flip);

  std::optional<Point> PictureSize() const override;
  // A turned picture reaches beyond the control's rectangle: its area on screen is the union of
  // both, so repainting and clipping cover every pixel it draws.
  Rect GetBoundsRect() const override;
  TNovuControl* HitTest(Point screen, MouseModeSet accepted) override;
  int32_t Update() override;

  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }

  // Width and height follow the picture at the next update.
  void MarkSizeDirty();

 protected:
  void DrawSelf(render::TCustomDIBX& surface) override;
  // Draws the current picture (there is one; a motion film shows its cells through it).
  virtual void DrawPicture(render::TCustomDIBX& surface);
  // True when the size follows the picture (not for tiles).
  virtual bool SizeFollowsPicture() const { return true; }
  // True when the control has a picture to size itself by (a source, or a shown surface).
  virtual bool HasPictureSource() const { return shown_ != nullptr; }
  void RecomputeSize();
  // The size along one axis that PR_POSZOOMED derives from the parent's real scale, if it
  // applies.
  std::optional<int32_t> PosZoomedExtent(bool vertical) const;
  // The own surface, made on first use.
  render::TDIBX& OwnSurface();
  void DropOwnSurface() { own_.reset(); }

  // Draws `picture` unscaled at (x, y) with the alpha rule, through `mask` or with the key.
  void DrawAt(render::TCustomDIBX& surface, int32_t x, int32_t y,
              const render::TCustomDIBX& picture, const render::TCustomDIBX* mask,
              const Rect& src) const;
  static bool AlphaDraws(int32_t alpha) { return alpha >= 1 && alpha < 512; }
  // The control's mirroring; without a mask the picture's key colour is left out.
  render::DrawOptions PictureOptions() const {
    return {.flip_v = flip_v_, .flip_h = flip_h_, .use_key = true};
  }

  ImageEnvironment env_;

 private:
  void DrawRotated(render::TCustomDIBX& surface, const render::TCustomDIBX& picture,
                   const render::TCustomDIBX* mask) const;
  void DrawStretched(render::TCustomDIBX& surface, const render::TCustomDIBX& picture,
                     const render::TCustomDIBX* mask) const;
  void DrawUnscaled(render::TCustomDIBX& surface, render::TCustomDIBX& picture,
                    const render::TCustomDIBX* mask) const;
  bool MaskHits(Point screen) const;
  render::RotateGeometry Rotation(const render::TCustomDIBX& picture) const;
  void ZoomChanged();
  // An explicit size replaces the zoom along that axis.
  void SetExplicitExtent(bool vertical, int32_t extent);

  std::unique_ptr<render::TDIBX> own_;
  render::TCustomDIBX* shown_ = nullptr;
  render::TCustomDIBX* shown_mask_ = nullptr;
  int32_t alpha_ = 255;
  int32_t zoom_x_ = 256;
  int32_t zoom_y_ = 256;
  int32_t angle_ = 0;
  bool flip_h_ = false;
  bool flip_v_ = false;
  bool capture_mask_ = false;
  bool size_dirty_ = false;
};

class TNovuImage final : public TNovuCustomImage {
 public:
  using TNovuCustomImage::TNovuCustomImage;

  // Draws the first frame of `name` into the own surface, darkened for a brightness below 255,
  // and lets the cached picture go at once.
  void SetSource(std::string_view name);
  void SetBrightness(int32_t brightness);
  const std::string& source() const { return source_; }

  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }

 protected:
  bool HasPictureSource() const override;

 private:
  void Reload();

  std::string source_;
  int32_t brightness_ = 255;
};

}  // namespace novu
