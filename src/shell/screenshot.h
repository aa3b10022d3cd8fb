#pragma once
// The composed frame written out at the end of a run (--screenshot).
#include <filesystem>

#include "render/custom_dibx.h"

namespace novu {

// Writes the surface as an 8-bit RGB PNG file, crash-safe. Throws NovuError on failure.
void WriteScreenshotPng(const render::TCustomDIBX& surface, const std::filesystem::path& path);

}  // namespace novu
