// Resampling and whole-picture filters of TDIBSurface.
#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "render/dib_surface.h"

namespace novu::render {
namespace {

struct Rgb {
  double r = 0, g = 0, b = 0;
};

// A picture's colours as 8-bit channels, with a flag for key pixels.
struct ColourGrid {
  int width = 0, height = 0;
  std::vector<Rgb> colours;
  std::vector<uint8_t> is_key;
  const Rgb& At(int x, int y) const { return colours[static_cast<size_t>(y) * width + x]; }
  bool Key(int x, int y) const { return is_key[static_cast<size_t>(y) * width + x] != 0; }
};

ColourGrid GridOf(const TDIBSurface& s, int64_t key) {
  ColourGrid g;
  g.width = s.Width();
  g.height = s.Height();
  g.colours.resize(static_cast<size_t>(g.width) * g.height);
  g.is_key.resize(g.colours.size());
  for (int y = 0; y < g.height; ++y) {
    for (int x = 0; x < g.width; ++x) {
      const uint32_t raw = s.GetPixel(x, y);
      uint8_t r, gr, b;
      s.Rgb8Of(raw, r, gr, b);
      const size_t i = static_cast<size_t>(y) * g.width + x;
      g.colours[i] = {static_cast<double>(r), static_cast<double>(gr), static_cast<double>(b)};
      g.is_key[i] = key >= 0 && raw == static_cast<uint64_t>(key);
    }
  }
  return g;
}

uint8_t Channel(double v) {
  return static_cast<uint8_t>(std::clamp(std::nearbyint(v), 0.0, 255.0));
}

// One destination pixel of a shrink: the covered source area, each source pixel weighted by its
// covered fraction; nothing when every covered pixel is key.
std::optional<Rgb> AreaAverage(const ColourGrid& g, double x0, double x1, double y0, double y1) {
  Rgb sum;
  double total = 0;
  for (int sy = static_cast<int>(y0); sy < g.height && sy <= static_cast<int>(y1); ++sy) {
    const double wy = std::min(y1, sy + 1.0) - std::max(y0, double(sy));
    if (wy <= 0) continue;
    for (int sx = static_cast<int>(x0); sx < g.width && sx <= static_cast<int>(x1); ++sx) {
      const double wx = std::min(x1, sx + 1.0) - std::max(x0, double(sx));
      if (wx <= 0 || g.Key(sx, sy)) continue;
      const Rgb& c = g.At(sx, sy);
      const double w = wx * wy;
      sum.r += c.r * w;
      sum.g += c.g * w;
      sum.b += c.b * w;
      total += w;
    }
  }
  if (total <= 0) return std::nullopt;
  return Rgb{sum.r / total, sum.g / total, sum.b / total};
}

// One destination pixel of an enlargement: bilinear between the four neighbours, a key
// neighbour standing in for a non-key one of its row or column.
std::optional<Rgb> Bilinear(const ColourGrid& g, double u, double v) {
  const int x0 = std::min(static_cast<int>(u), g.width - 1),
            y0 = std::min(static_cast<int>(v), g.height - 1);
  const int x1 = std::min(x0 + 1, g.width - 1), y1 = std::min(y0 + 1, g.height - 1);
  const double fx = u - x0, fy = v - y0;
  struct Corner {
    int x, y;
  };
  Corner a{x0, y0}, b{x1, y0}, c{x0, y1}, d{x1, y1};
  auto key = [&](Corner k) { return g.Key(k.x, k.y); };
  if (key(a) && key(b) && key(c) && key(d)) return std::nullopt;
  auto stand_in = [&](Corner self, Corner row, Corner column, Corner diagonal) {
    if (!key(self)) return self;
    if (!key(row)) return row;
    if (!key(column)) return column;
    return diagonal;
  };
  const Corner ra = stand_in(a, b, c, d), rb = stand_in(b, a, d, c), rc = stand_in(c, d, a, b),
               rd = stand_in(d, c, b, a);
  auto mix = [&](double Rgb::*channel) {
    const double va = g.At(ra.x, ra.y).*channel, vb = g.At(rb.x, rb.y).*channel,
                 vc = g.At(rc.x, rc.y).*channel, vd = g.At(rd.x, rd.y).*channel;
    return va + (vb - va) * fx + (vc - va) * fy + (vd - vb - vc + va) * fx * fy;
  };
  return Rgb{mix(&Rgb::r), mix(&Rgb::g), mix(&Rgb::b)};
}

TDIBSurface Resampled(const TDIBSurface& s, int width, int height, int64_t key) {
  const ColourGrid g = GridOf(s, key);
  uint8_t kr = 0, kg = 0, kb = 0;
  if (key >= 0) s.Rgb8Of(static_cast<uint32_t>(key), kr, kg, kb);
  const uint32_t key_rgb = (uint32_t{kr} << 16) | (uint32_t{kg} << 8) | kb;
  TDIBSurface out(width, height, 24);
  const double sx = static_cast<double>(g.width) / width,
               sy = static_cast<double>(g.height) / height;
  const bool shrink = width <= g.width && height <= g.height;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const auto c =
          shrink ? AreaAverage(g, x * sx, (x + 1) * sx - 1e-10, y * sy, (y + 1) * sy - 1e-10)
                 : Bilinear(g, x * sx, y * sy);
      out.SetPixel(
          x, y,
          c ? (uint32_t{Channel(c->r)} << 16) | (uint32_t{Channel(c->g)} << 8) | Channel(c->b)
            : key_rgb);
    }
  }
  return out;
}

}  // namespace

void TDIBSurface::Resize(int width, int height, int64_t key, bool keep_depth) {
  if (width <= 0 || height <= 0 || IsEmpty()) return;
  if (width == width_ && height == height_) return;
  TDIBSurface colour = Resampled(*this, width, height, key);
  std::unique_ptr<TDIBSurface> mask;
  if (mask_) {
    // Mask values are levels, not palette indices: read them through a grey ramp.
    TDIBSurface levels;
    levels.AssignFrom(*mask_);
    for (uint32_t i = 0; i < 256; ++i) levels.palette_[i] = i * 0x010101u;
    TDIBSurface grey = Resampled(levels, width, height, -1);
    mask = std::make_unique<TDIBSurface>(width, height, 8);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) mask->SetPixel(x, y, grey.GetPixel(x, y) & 0xFF);
    }
  }
  if (keep_depth && format_.bit_count != 24) {
    TDIBSurface converted(width, height, format_.bit_count);
    converted.palette_ = palette_;
    converted.Copy(0, 0, colour.Bounds(), colour);
    colour = std::move(converted);
  }
  AssignFrom(colour);
  mask_ = std::move(mask);
}

void TDIBSurface::ToGrey(int depth) {
  TDIBSurface out(width_, height_, depth);
  const int levels = depth <= 8 ? (1 << depth) : 0;
  for (int i = 0; i < levels; ++i) {
    const uint32_t v = static_cast<uint32_t>(i * 255 / (levels - 1));
    out.palette_[static_cast<size_t>(i)] = (v << 16) | (v << 8) | v;
  }
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      uint8_t r, g, b;
      Rgb8Of(GetPixel(x, y), r, g, b);
      const int grey = std::min(255, static_cast<int>(0.3588 * r) + static_cast<int>(0.402 * g) +
                                         static_cast<int>(0.2392 * b));
      const uint32_t raw =
          levels ? static_cast<uint32_t>(grey * (levels - 1) / 255)
                 : out.NearestPixel(static_cast<uint8_t>(grey), static_cast<uint8_t>(grey),
                                    static_cast<uint8_t>(grey));
      out.SetPixel(x, y, raw);
    }
  }
  auto mask = std::move(mask_);
  AssignFrom(out);
  mask_ = std::move(mask);
}

void TDIBSurface::Negative() {
  const uint32_t all = format_.storage_bits >= 32 ? 0xFFFFFFFFu : (1u << format_.storage_bits) - 1;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) SetPixel(x, y, ~GetPixel(x, y) & all);
  }
}

void TDIBSurface::Blur(int radius) {
  if (radius <= 0 || !format_.HasChannels() || IsEmpty()) return;
  radius = std::min(radius, std::max(width_, height_));
  const ChannelLayout* channels[] = {&format_.red, &format_.green, &format_.blue};
  std::vector<uint32_t> plane(static_cast<size_t>(width_) * height_), line;
  for (const ChannelLayout* ch : channels) {
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x)
        plane[static_cast<size_t>(y) * width_ + x] = ch->Get(GetPixel(x, y));
    }
    // Horizontal then vertical running sums; edges average over the pixels that exist.
    auto pass = [&](int count, int lines, auto index) {
      line.resize(static_cast<size_t>(count));
      for (int l = 0; l < lines; ++l) {
        for (int i = 0; i < count; ++i) {
          uint64_t sum = 0;
          int n = 0;
          for (int k = std::max(0, i - radius); k <= std::min(count - 1, i + radius); ++k, ++n) {
            sum += plane[index(l, k)];
          }
          line[static_cast<size_t>(i)] = static_cast<uint32_t>(sum / static_cast<uint64_t>(n));
        }
        for (int i = 0; i < count; ++i) plane[index(l, i)] = line[static_cast<size_t>(i)];
      }
    };
    pass(width_, height_, [&](int l, int k) { return static_cast<size_t>(l) * width_ + k; });
    pass(height_, width_, [&](int l, int k) { return static_cast<size_t>(k) * width_ + l; });
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        const uint32_t old = GetPixel(x, y) & ~ch->mask;
        SetPixel(x, y, old | (plane[static_cast<size_t>(y) * width_ + x] << ch->shift));
      }
    }
  }
}

}  // namespace novu::render
