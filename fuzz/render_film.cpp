// Fuzzes the motion-file reader: the input is a whole ".nmt" file. What it reads is linked,
// every track's values are computed at its window's edges, and the film is written and read
// again.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/error.h"
#include "render/film_file.h"

namespace {

void Touch(const novu::render::TCustomFrameList& list, int32_t frame) {
  using namespace novu::render;
  if (const auto* image = dynamic_cast<const TCustomImageFrameList*>(&list)) {
    (void)image->PlacementAt(frame);
  }
  if (const auto* tile = dynamic_cast<const TTileFrameList*>(&list)) (void)tile->TileAt(frame);
  if (const auto* box = dynamic_cast<const TBoxFrameList*>(&list)) (void)box->BoxAt(frame);
  if (const auto* p = dynamic_cast<const TParticleFrameList*>(&list)) (void)p->EmitterAt(frame);
  if (const auto* fire = dynamic_cast<const TFireFrameList*>(&list)) (void)fire->FireAt(frame);
  if (const auto* sound = dynamic_cast<const TSoundFrameList*>(&list)) {
    (void)sound->VolumeAt(frame);
    (void)sound->PanAt(frame);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace novu;
  render::FilmFile film;
  try {
    film.Load(std::span<const uint8_t>(data, size));
  } catch (const NovuError&) {
    return 0;
  }
  for (const auto& list : film.lists()) {
    const int32_t start = list->AbsoluteStart();
    for (const int64_t frame : {int64_t{start}, list->AbsoluteEnd() - 1, int64_t{start} + 1}) {
      if (frame >= INT32_MIN && frame <= INT32_MAX) Touch(*list, static_cast<int32_t>(frame));
    }
  }
  render::FilmFile again;
  again.Load(film.Save());
  return 0;
}
