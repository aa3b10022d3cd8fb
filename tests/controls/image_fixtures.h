#pragma once
// Small pictures and a scene for the picture-control tests: layered image files made in memory
// by the writer, a game-file store the image cache reads from, and an 800 x 600 object list
// whose factory builds the real controls.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "controls/control_factory.h"
#include "controls/fipo_collection.h"
#include "core/process_state.h"
#include "expr/param_collection.h"
#include "imagefmt/fipo_frame_list.h"
#include "objects/base_list.h"
#include "render/custom_dibx.h"

namespace novu::testing {

// 0x00BBGGRR
inline constexpr int32_t kRed = 0x0000ff;
inline constexpr int32_t kGreen = 0x00ff00;
inline constexpr int32_t kBlue = 0xff0000;
inline constexpr int32_t kWhite = 0xffffff;

struct FrameSpec {
  int32_t width = 4;
  int32_t height = 4;
  // The colour of pixel (x, y), 0x00BBGGRR.
  std::function<int32_t(int, int)> colour = [](int, int) { return kRed; };
  int32_t duration = 100;
  int32_t key_colour = -1;
  // The mask value of pixel (x, y); none: the frame has no alpha layer.
  std::function<uint8_t(int, int)> mask;
  // The only parts of the frame that are drawn; none: all of it.
  std::vector<Rect> regions;
};

inline FrameSpec Solid(int32_t colour, int32_t w = 4, int32_t h = 4, int32_t duration = 100) {
  FrameSpec f;
  f.width = w;
  f.height = h;
  f.colour = [colour](int, int) { return colour; };
  f.duration = duration;
  return f;
}

inline uint32_t Raw32(int32_t colour) {
  return static_cast<uint32_t>((colour & 0xff) << 16 | (colour & 0xff00) | (colour >> 16 & 0xff));
}

inline std::vector<uint8_t> MakeFip(const std::vector<FrameSpec>& specs) {
  imagefmt::TFipoFrameList list;
  for (const FrameSpec& frame_spec : specs) {
    imagefmt::TFipoFrame& frame = list.AddFrame();
    frame.duration = frame_spec.duration;
    frame.picture.SetSize(frame_spec.width, frame_spec.height, 32);
    for (int y = 0; y < frame_spec.height; ++y) {
      for (int x = 0; x < frame_spec.width; ++x)
        frame.picture.SetPixel(x, y, Raw32(frame_spec.colour(x, y)));
    }
    frame.draw_regions = frame_spec.regions;
    if (frame_spec.key_colour >= 0) {
      frame.key_colour = frame_spec.key_colour;
      frame.key_value = static_cast<int32_t>(Raw32(frame_spec.key_colour));
    }
    if (frame_spec.mask) {
      frame.picture.EnsureMask();
      for (int y = 0; y < frame_spec.height; ++y) {
        for (int x = 0; x < frame_spec.width; ++x)
          frame.picture.Mask()->SetPixel(x, y, frame_spec.mask(x, y));
      }
    }
  }
  imagefmt::SaveOptions options;
  options.compression = imagefmt::Compression::kNone;
  return list.SaveToStream(options);
}

// Game files by name, as the image cache's loader sees them; counts the reads.
struct FileStore {
  std::map<std::string, std::vector<uint8_t>> files;
  int reads = 0;

  TFipoCollection::FileLoader Loader() {
    return [this](std::string_view name) -> std::optional<std::vector<uint8_t>> {
      ++reads;
      const auto it = files.find(std::string(name));
      if (it == files.end()) return std::nullopt;
      return it->second;
    };
  }
};

struct ImageScene {
  explicit ImageScene(int32_t background = 0x000000)
      : cache(store.Loader()), list(MakeControlFactory(Env())) {
    list.SetSize(800, 600);
    list.base(0).SetColor(background);
  }

  ImageEnvironment Env() { return ImageEnvironment{&cache, &state, &vars}; }

  // A control of `type` on base 0 (or under `parent`).
  template <typename T>
  T& Add(ComponentType type, const std::string& name, TNovuControl* parent = nullptr) {
    std::unique_ptr<TNovuObject> object = list.CreateByType(type);
    T& control = dynamic_cast<T&>(*object);
    (parent != nullptr ? *parent : static_cast<TNovuControl&>(list.base(0)))
        .AddChild(std::move(object));
    control.SetName(name);
    return control;
  }

  // One update pass after `elapsed_ms`.
  void Tick(int32_t elapsed_ms) {
    state.frame_delta = elapsed_ms;
    list.Update();
  }
  // Repaints the whole screen and returns it.
  render::TCustomDIBX& Draw() {
    list.base(0).InvalidateAll();
    list.Paint();
    return list.ScreenSurface();
  }
  uint32_t PixelAt(int x, int y) { return list.ScreenSurface().GetPixel(x, y); }

  ProcessState state;
  FileStore store;
  TFipoCollection cache;
  TParamCollection vars;
  TNovuBaseList list;
};

}  // namespace novu::testing
