#pragma once
// Small classes and a scene for the object tests: a picture-like control that answers the
// properties the common code consults (zoom, flips, pause, auto-scrap, play end) and appends a
// field of its own to its saved record.
#include <memory>
#include <optional>
#include <vector>

#include "objects/base_list.h"
#include "objects/novu_motion.h"
#include "objects/plain_objects.h"
#include "render/custom_dibx.h"

namespace novu::testing {

class TestPicture : public TNovuControl {
 public:
  explicit TestPicture(ObjectList* owner) : TNovuControl(owner) {}

  ComponentType GetType() const override { return LT_BOX; }
  std::optional<Point> PictureSize() const override { return picture; }

  // The test fields answer as properties; the alpha is written by scripts and saved after the
  // control's record.
  static const PropertyTable& Table() {
    using R = PropertyRows<TestPicture>;
    static const PropertyTable table(
        &TNovuControl::Table(),
        {
            R::Field(PR_ZOOMX, &TestPicture::zoom_x).NotSaved(),
            R::Answer(PR_ZOOMY, [](const TestPicture& p) { return p.zoom_y; }),
            R::Answer(PR_FLIPH, [](const TestPicture& p) { return p.flip_h; }),
            R::Field(PR_PAUSED, &TestPicture::paused).NotSaved(),
            R::Answer(PR_AUTOSCRAP, [](const TestPicture& p) { return p.auto_scrap; }),
            R::Answer(PR_ONPLAYEND, [](const TestPicture& p) { return p.on_play_end; }),
            R::Field(PR_ALPHA, &TestPicture::alpha),
            R::Answer(PR_SCROLLX, [](const TestPicture& p) { return p.scroll_x; }),
        });
    return table;
  }
  const PropertyTable& Properties() const override { return Table(); }

  int32_t zoom_x = 256;
  int32_t zoom_y = 256;
  bool flip_h = false;
  bool paused = false;
  bool auto_scrap = false;
  std::string on_play_end;
  int32_t alpha = 255;
  int32_t scroll_x = 0;
  std::optional<Point> picture;
  // The surface clip at each DrawSelf (none when no clip was set).
  std::vector<std::optional<render::Rect>> clips_seen;

 protected:
  void DrawSelf(render::TCustomDIBX& surface) override {
    clips_seen.push_back(surface.HasClip() ? std::optional(surface.ClipRect()) : std::nullopt);
  }
};

// A motion that reports its end after a given number of frames.
class CountdownMotion : public TNovuMotion {
 public:
  explicit CountdownMotion(int frames) : frames_(frames) {}
  bool Advance() override { return --frames_ == 0; }

 private:
  int frames_;
};

inline std::unique_ptr<TNovuObject> MakeTestObject(ObjectList& list, uint8_t type) {
  if (type == LT_BOX) return MakeObject<TestPicture>(&list);
  return MakePlainObject(list, type);
}

// The player's object list with the test classes behind its factory and base 0 sized
// 640 x 480 (the screen surfaces keep their small initial size: these tests draw into surfaces
// of their own). `invalidated` collects every rectangle reported to base 0, clamped but not
// merged.
struct Scene {
  Scene() : list(MakeTestObject) {
    list.base(0).SetBounds(0, 0, 640, 480);
    list.base(0).WatchInvalidation([this](const render::Rect& r) { invalidated.push_back(r); });
  }

  TestPicture& Picture(TNovuControl& parent, int32_t left, int32_t top, int32_t width,
                       int32_t height) {
    TestPicture& p = list.AddTo<TestPicture>(parent);
    p.SetBounds(left, top, width, height);
    return p;
  }
  TNovuBase& base() { return list.base(0); }
  const std::vector<MemoryEventQueue::Entry>& events() { return list.queue().entries(); }

  std::vector<render::Rect> invalidated;
  TNovuBaseList list;
};

}  // namespace novu::testing
