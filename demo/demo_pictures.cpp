// Paints the demo's pictures as PNG files into the folder given as the only argument: the sky
// background, four frames of a pulsing star with soft edges, and a floor tile. novutool turns
// them into layered images when the demo is built.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/error.h"
#include "platform/file_io.h"
#include "render/dib_surface.h"
#include "render/image_codecs.h"

namespace {

namespace fs = std::filesystem;
using novu::render::TDIBSurface;

uint32_t Rgb(int r, int g, int b) {
  return static_cast<uint32_t>(r << 16 | g << 8 | b);
}

void Write(const fs::path& path, const TDIBSurface& picture) {
  novu::platform::WriteFileAtomically(path, novu::render::EncodePng(picture));
}

TDIBSurface Sky() {
  TDIBSurface sky(640, 480, 32);
  for (int y = 0; y < 480; ++y) {
    const int t = y * 255 / 479;
    for (int x = 0; x < 640; ++x) sky.SetPixel(x, y, Rgb(20 + t / 3, 30 + t / 2, 90 + t / 2));
  }
  return sky;
}

// A disc of radius r with a soft rim, in the frame's colour.
TDIBSurface Star(int frame) {
  constexpr int kSide = 48;
  const int colours[4][3] = {{255, 230, 90}, {255, 180, 60}, {250, 120, 60}, {255, 180, 60}};
  const double radius = 14.0 + 3.0 * std::sin(frame * 3.14159265 / 2);
  TDIBSurface star(kSide, kSide, 32);
  star.EnsureMask();
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const double d = std::hypot(x + 0.5 - kSide / 2.0, y + 0.5 - kSide / 2.0);
      const double cover = std::clamp(radius - d + 0.5, 0.0, 1.0);
      const int* c = colours[frame];
      star.SetPixel(x, y, Rgb(c[0], c[1], c[2]));
      star.Mask()->SetPixel(x, y, static_cast<uint32_t>(std::lround(cover * 255)));
    }
  }
  return star;
}

TDIBSurface Tile() {
  TDIBSurface tile(16, 16, 32);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      tile.SetPixel(x, y, (x / 8 + y / 8) % 2 == 0 ? Rgb(120, 80, 40) : Rgb(90, 60, 30));
    }
  }
  return tile;
}

// A soft white snow flake for the title film.
TDIBSurface Flake() {
  constexpr int kSide = 6;
  TDIBSurface flake(kSide, kSide, 32);
  flake.EnsureMask();
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const double d = std::hypot(x + 0.5 - kSide / 2.0, y + 0.5 - kSide / 2.0);
      flake.SetPixel(x, y, Rgb(255, 255, 255));
      flake.Mask()->SetPixel(
          x, y, static_cast<uint32_t>(std::lround(std::clamp(3.0 - d, 0.0, 1.0) * 255)));
    }
  }
  return flake;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: demo_pictures FOLDER\n");
    return 2;
  }
  try {
    const fs::path folder = argv[1];
    fs::create_directories(folder);
    Write(folder / "sky.png", Sky());
    for (int frame = 0; frame < 4; ++frame) {
      Write(folder / ("star_" + std::to_string(frame) + ".png"), Star(frame));
    }
    Write(folder / "floor.png", Tile());
    Write(folder / "flake.png", Flake());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "demo_pictures: %s\n", e.what());
    return 1;
  }
  return 0;
}
