#include "shell/screenshot.h"

#include "platform/error.h"
#include "platform/file_io.h"
#include "render/dibx.h"
#include "render/image_codecs.h"

namespace novu {

void WriteScreenshotPng(const render::TCustomDIBX& surface, const std::filesystem::path& path) {
  // Every surface the player composes into is a TDIBX; anything else is copied into one.
  render::TDIBX copy;
  const auto* dibx = dynamic_cast<const render::TDIBX*>(&surface);
  if (dibx == nullptr) {
    copy.SetSize(surface.Width(), surface.Height(), 32);
    copy.Draw(0, 0, false, false, false, {0, 0, surface.Width(), surface.Height()}, surface);
    dibx = &copy;
  }
  platform::WriteFileAtomically(path, render::EncodePng(dibx->Surface()));
}

}  // namespace novu
