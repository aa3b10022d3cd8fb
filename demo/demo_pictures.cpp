// Paints the demo's pictures as PNG files into the folder given as the only argument: the sky
// background, four frames of a pulsing star with soft edges, a floor tile, the normal,
// background, four frames of a pulsing star with soft edges, a floor tile, the normal,
// volume slider. novutool turns them into layered images when the demo is built.
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

// The face of a choice button: a bar with a light rim, brighter when hovered, darker and with
// the rim at the bottom-right when pressed.
TDIBSurface ButtonFace(int state) {
  constexpr int kWidth = 140;
  constexpr int kHeight = 36;
  const int fill[3][3] = {{40, 60, 120}, {70, 110, 200}, {25, 35, 80}};
  TDIBSurface face(kWidth, kHeight, 32);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const bool rim = x < 2 || y < 2 || x >= kWidth - 2 || y >= kHeight - 2;
      const bool lit = state == 2 ? (x >= kWidth - 2 || y >= kHeight - 2) : (x < 2 || y < 2);
      const int* c = fill[state];
      const int shade = y * 30 / kHeight;
      face.SetPixel(x, y,
                    rim ? (lit ? Rgb(230, 230, 250) : Rgb(10, 10, 30))
                        : Rgb(c[0] + shade, c[1] + shade, c[2] + shade));
    }
  }
  return face;
}

// The settings screen's volume slider: the bar's two 8 x 8 halves (the track beyond the thumb,
// the part up to it), the thumb's three 12 x 16 cells (normal, hover, pressed) and the six
// 12 x 12 cells of its two buttons (minus, then plus, each normal, hover, pressed).
TDIBSurface SliderBar() {
  TDIBSurface bar(16, 8, 32);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 16; ++x) {
      const bool edge = y == 2 || y == 5;
      const bool inside = y > 2 && y < 5;
      const uint32_t track = x < 8 ? Rgb(70, 60, 50) : Rgb(240, 170, 70);
      bar.SetPixel(x, y, inside ? track : edge ? Rgb(30, 20, 10) : Rgb(64, 32, 16));
    }
  }
  return bar;
}

TDIBSurface SliderThumb() {
  const uint32_t faces[3] = {Rgb(200, 200, 210), Rgb(255, 255, 255), Rgb(255, 220, 120)};
  TDIBSurface thumb(36, 16, 32);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 36; ++x) {
      const bool rim = x % 12 == 0 || x % 12 == 11 || y == 0 || y == 15;
      thumb.SetPixel(x, y, rim ? Rgb(40, 40, 50) : faces[x / 12]);
    }
  }
  return thumb;
}

TDIBSurface SliderButtons() {
  const uint32_t faces[3] = {Rgb(120, 90, 60), Rgb(170, 130, 80), Rgb(240, 170, 70)};
  TDIBSurface buttons(72, 12, 32);
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 72; ++x) {
      const int cell = x / 12;
      const int u = x % 12;
      const bool minus = y == 6 && u >= 3 && u <= 8;
      const bool plus = cell >= 3 && u == 6 && y >= 3 && y <= 8;
      buttons.SetPixel(x, y, minus || plus ? Rgb(255, 255, 255) : faces[cell % 3]);
    }
  }
  return buttons;
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
    const char* const faces[3] = {"button.png", "button_hover.png", "button_pressed.png"};
    for (int state = 0; state < 3; ++state) Write(folder / faces[state], ButtonFace(state));
    Write(folder / "slider_bar.png", SliderBar());
    Write(folder / "slider_thumb.png", SliderThumb());
    Write(folder / "slider_buttons.png", SliderButtons());
    Write(folder / "flake.png", Flake());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "demo_pictures: %s\n", e.what());
    return 1;
  }
  return 0;
}
