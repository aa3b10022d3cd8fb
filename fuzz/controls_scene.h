#pragma once
// The input layout of the picture-scene fuzz target: one byte choosing the save version, then
// the object list's record for a 64 x 48 screen whose factory builds the picture controls. The
// image cache finds two small pictures: "a.fip" (two frames, one with a mask) and "b.fip".
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/control_factory.h"
#include "controls/fipo_collection.h"
#include "core/process_state.h"
#include "imagefmt/fipo_frame_list.h"
#include "objects/base_list.h"
#include "objects_stream.h"

namespace novu::fuzz {

inline std::vector<uint8_t> SmallPicture(int frames, bool mask) {
  imagefmt::TFipoFrameList list;
  for (int f = 0; f < frames; ++f) {
    imagefmt::TFipoFrame& frame = list.AddFrame();
    frame.duration = 30 * (f + 1);
    frame.picture.SetSize(6, 4, 32);
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 6; ++x) frame.picture.SetPixel(x, y, 0x102030u * (x + y + f));
    }
    if (mask && f == 0) {
      frame.picture.EnsureMask();
      for (int x = 0; x < 6; ++x) frame.picture.Mask()->SetPixel(x, 1, 0);
    }
  }
  return list.SaveToStream({});
}

struct ControlsScene {
  ControlsScene()
      : cache([](std::string_view name) -> std::optional<std::vector<uint8_t>> {
          static const std::map<std::string, std::vector<uint8_t>, std::less<>> files = {
              {"a.fip", SmallPicture(2, true)}, {"b.fip", SmallPicture(1, false)}};
          const auto it = files.find(name);
          if (it == files.end()) return std::nullopt;
          return it->second;
        }),
        list(MakeControlFactory({&cache, &state, nullptr})) {
    state.frame_delta = 15;
    list.SetSize(64, 48);
  }

  ProcessState state;
  TFipoCollection cache;
  TNovuBaseList list;
};

}  // namespace novu::fuzz
