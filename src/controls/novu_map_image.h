#pragma once
// TNovuMapImage (LT_MAPIMG): a selection image. A base picture, a hover picture and a region
// map: the region under the pointer shows the hover picture, and a click, Enter or Space selects
// it (@SelStr, @SelIndex and PR_ONSELECT with [name, index]). The arrow keys move between the
// regions; Escape or a right click closes the image when right-click-scrap is set.
//
// Each frame of both pictures gets an 8-bit mask of this control's own, built for the current
// region: the base picture shows everywhere but the region, the hover picture only inside it.
// The cached frames' masks are never touched, so two selection images on one picture keep out
// of each other's way.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "controls/image_environment.h"
#include "controls/image_list.h"
#include "controls/region_map.h"
#include "objects/input_router.h"
#include "objects/novu_control.h"

namespace novu {

class TNovuMapImage final : public TNovuControl, public RightClickCloser {
 public:
  TNovuMapImage(ObjectList* owner, ImageEnvironment env);
  ~TNovuMapImage() override;

  void Create() override;
  ComponentType GetType() const override { return LT_MAPIMG; }

  const RegionMap& regions() const { return regions_; }
  int32_t current_region() const { return current_; }
  bool finished() const { return finished_; }
  // The mask the base picture's current frame was last drawn through (null before a paint).
  const render::TDIBX* BaseMask() const;

  void SetSource(std::string_view name);
  void SetHoverSource(std::string_view name);
  // A map that is missing or cannot be read leaves the image without regions.
  void SetMapSource(std::string_view name);
  void SetAlpha(int32_t alpha);
  void SetBrightness(int32_t brightness);

  bool IsInputDisabled() const override { return finished_; }
  bool CloseByRightClick() override;
  void LButtonDown() override;
  void MouseMove() override;
  void MouseOut() override;
  void KeyDown(std::span<const int32_t> keys) override;
  void KeyRepeat(std::span<const int32_t> keys) override;
  int32_t Update() override;

  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }

 protected:
  void DrawSelf(render::TCustomDIBX& surface) override;
  void AfterLoad() override;

 private:
  // The control's own mask of one frame and the region it was built for.
  static constexpr int32_t kNotBuilt = INT32_MIN;
  struct RegionMask {
    std::unique_ptr<render::TDIBX> mask;
    int32_t built_for = kNotBuilt;  // the region, or -1 for none
  };

  void LoadList(TNovuImageList& list, std::vector<RegionMask>& masks, std::string_view name);
  void ChangeRegion(int32_t index);
  void InvalidateRegion(int32_t index);
  void Select();
  void Cancel();
  std::vector<std::string> RegionArguments(int32_t index) const;
  std::optional<Point> PointerInControl() const;
  // The frame's mask for the current region: inside it (hover) or everywhere else (base).
  const render::TDIBX* BuiltMask(TNovuImageList& list, std::vector<RegionMask>& masks,
                                 bool outside_region);
  void DrawFrame(render::TCustomDIBX& surface, const render::TCustomDIBX& picture,
                 const render::TCustomDIBX& mask) const;
  // The sync of a name that is applied through its setter once read.
  static void SyncName(TNovuMapImage& m, std::string TNovuMapImage::*name, Serializer& s);

  ImageEnvironment env_;
  TNovuImageList base_;
  TNovuImageList hover_;
  std::vector<RegionMask> base_masks_;
  std::vector<RegionMask> hover_masks_;
  RegionMap regions_;
  std::string source_, hover_source_, map_source_;
  int32_t alpha_ = 255;
  int32_t brightness_ = 0;
  std::string on_map_in_, on_map_out_, on_idle_, on_select_;
  bool auto_scrap_ = false;
  bool rclick_scrap_ = false;
  bool paused_ = false;
  int32_t close_state_ = 0;  // 100: closing, 101: closed, deleted at the next update
  int32_t current_ = -1;
  bool finished_ = false;
};

}  // namespace novu
