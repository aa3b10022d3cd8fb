#include "transitions/reference_wipes.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

#include "core/process_random.h"
#include "render/dibx.h"
#include "render/pixel_rules.h"
#include "storage/kx_random.h"
#include "transitions/shape_fill.h"
#include "transitions/wipe_kind.h"

namespace novu::transitions {
namespace {

using render::TCustomDIBX;
namespace rules = render::rules;

constexpr double kPi = std::numbers::pi;

int64_t Round(double v) {
  return static_cast<int64_t>(std::nearbyint(v));
}

struct Frame {
  const ReferenceScene& scene;
  int64_t e, d;
  const TCustomDIBX& from;
  const TCustomDIBX& to;
  TCustomDIBX& target;
  int w, h;
  int64_t p0, p1;

  const render::PixelFormat& format() const { return target.Format(); }
  uint32_t grey(int64_t v) const {
    return static_cast<uint32_t>(target.ColorToPixel(static_cast<int32_t>(v) * 0x010101));
  }
  uint32_t add(uint32_t pixel, int64_t v) const {
    return rules::AddSaturate(format(), pixel, grey(v));
  }
  uint32_t sub(uint32_t pixel, int64_t v) const {
    return rules::SubSaturate(format(), pixel, grey(v));
  }
  uint32_t blend(uint32_t a, uint32_t b, uint32_t m) const {
    if (m == 0) return a;
    if (m == 255) return b;
    return rules::Blend(format(), a, b, m);
  }
  template <typename Fn>
  void each(Fn fn) const {
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) target.SetPixel(x, y, fn(x, y));
    }
  }
  // The mask kinds: every pixel from its mask value.
  void compose(const std::function<uint32_t(int x, int y)>& mask) const {
    each([&](int x, int y) { return blend(from.GetPixel(x, y), to.GetPixel(x, y), mask(x, y)); });
  }
  Rect all() const { return {0, 0, w, h}; }
};

uint32_t Ramp(int64_t p, int64_t threshold, int64_t softness) {
  if (p < threshold) return 0;
  return static_cast<uint32_t>(std::min<int64_t>(255, (p - threshold) * 255 / softness));
}

// DrawAlpha of a whole picture at (ox, oy), one pixel at a time: equal pixels are left alone.
void AlphaOver(const Frame& f, const TCustomDIBX& source, int64_t ox, int64_t oy, int64_t alpha) {
  if (alpha <= 0) return;
  alpha = std::min<int64_t>(alpha, 255);
  for (int y = 0; y < f.h; ++y) {
    for (int x = 0; x < f.w; ++x) {
      const int64_t sx = x - ox, sy = y - oy;
      if (sx < 0 || sy < 0 || sx >= source.Width() || sy >= source.Height()) continue;
      const uint32_t s = source.GetPixel(static_cast<int>(sx), static_cast<int>(sy));
      const uint32_t d = f.target.GetPixel(x, y);
      if (s != d)
        f.target.SetPixel(x, y, rules::Blend(f.format(), d, s, static_cast<uint32_t>(alpha)));
    }
  }
}

void Copy(const Frame& f, const TCustomDIBX& source) {
  f.each([&](int x, int y) { return source.GetPixel(x, y); });
}

// ---- colour ----

void Fade(const Frame& f) {
  const double left = static_cast<double>(f.d - f.e - 1) / f.d;
  Copy(f, f.from);
  AlphaOver(f, f.to, Round(f.p0 * left), Round(f.p1 * left), f.e * 256 / f.d);
}

void ThroughGrey(const Frame& f, bool white) {
  const int64_t v = f.e * 511 / f.d;
  f.each([&](int x, int y) {
    const uint32_t base = v < 256 ? f.from.GetPixel(x, y) : f.to.GetPixel(x, y);
    const int64_t level = v < 256 ? v : 511 - v;
    return white ? f.add(base, level) : f.sub(base, level);
  });
}

void Flash(const Frame& f) {
  const int64_t v = 255 - f.e * 255 / f.d;
  f.each([&](int x, int y) { return f.add(f.to.GetPixel(x, y), v); });
}

void Blur(const Frame& f, bool white) {
  const int radius = std::min(f.w, f.h) / 20;
  render::TDIBX blurred_from, blurred_to;
  for (auto [source, out] : {std::pair{&f.from, &blurred_from}, std::pair{&f.to, &blurred_to}}) {
    out->SetSize(f.w, f.h, f.target.BitCount());
    for (int y = 0; y < f.h; ++y) {
      for (int x = 0; x < f.w; ++x) out->SetPixel(x, y, source->GetPixel(x, y));
    }
    out->Surface().Blur(radius);
  }
  const int64_t b = f.e * 639 / f.d;
  if (b < 256) {
    Copy(f, f.from);
    AlphaOver(f, blurred_from, 0, 0, b);
  } else if (b < 384) {
    const TCustomDIBX& base = b < 320 ? blurred_from : blurred_to;
    const int64_t level = b < 320 ? (b - 256) * 4 : (383 - b) * 4;
    f.each([&](int x, int y) {
      return white ? f.add(base.GetPixel(x, y), level) : f.sub(base.GetPixel(x, y), level);
    });
  } else {
    Copy(f, f.to);
    AlphaOver(f, blurred_to, 0, 0, 639 - b);
  }
}

// ---- moves ----

void Scroll(const Frame& f, bool vertical) {
  const int64_t n = vertical ? f.h : f.w;
  const int64_t a = n * f.e / f.d;
  f.each([&](int x, int y) {
    const int64_t at = vertical ? y : x;
    int64_t from_at, to_at;
    if (!f.scene.reverse) {
      from_at = at + a;  // from drawn at -a, to at n - a
      to_at = at - (n - a);
    } else {
      from_at = at - a;  // from drawn at a, to at a - n
      to_at = at - (a - n);
    }
    const bool show_from = from_at >= 0 && from_at < n;
    const TCustomDIBX& s = show_from ? f.from : f.to;
    const auto src = static_cast<int>(show_from ? from_at : to_at);
    return vertical ? s.GetPixel(x, src) : s.GetPixel(src, y);
  });
}

struct Rolled {
  const TCustomDIBX* source;
  int64_t a;
};

Rolled RollOf(const Frame& f, int64_t n) {
  int64_t a = (2 * n - 1) * f.e / f.d;
  if (a < n) return {&f.from, a};
  return {&f.to, 2 * n - a - 1};
}

void Sudare(const Frame& f, bool vertical) {
  const int64_t n = vertical ? f.h : f.w;
  const Rolled r = RollOf(f, n);
  f.each([&](int x, int y) {
    const int64_t at = vertical ? y : x;
    int64_t src = at;
    if (!f.scene.reverse && at <= r.a) src = r.a;
    if (f.scene.reverse && at >= n - r.a - 1) src = n - r.a - 1;
    return vertical ? r.source->GetPixel(x, static_cast<int>(src))
                    : r.source->GetPixel(static_cast<int>(src), y);
  });
}

void Rubber(const Frame& f, bool vertical) {
  const int64_t n = vertical ? f.h : f.w;
  const Rolled r = RollOf(f, n);
  const double half_d = f.d / 2.0;
  const double distance = std::abs(static_cast<double>(f.e) - half_d);
  int64_t g, start;
  Rect dest;
  if (!f.scene.reverse) {
    g = std::max<int64_t>(1, Round(distance * (r.a / 2.0) / half_d));
    start = std::max<int64_t>(0, r.a - g);
  } else {
    g = std::max<int64_t>(1, Round(distance * ((r.a + 1) / 2.0) / half_d));
    start = n - r.a - 1;
  }
  // The part of S that stays in place, then the strip stretched over the rolled part.
  Copy(f, *r.source);
  const auto s0 = static_cast<int32_t>(start), s1 = static_cast<int32_t>(start + g);
  const auto d0 = static_cast<int32_t>(f.scene.reverse ? n - r.a - 1 : 0);
  const auto d1 = static_cast<int32_t>(f.scene.reverse ? n : r.a + 1);
  const Rect strip = vertical ? Rect{0, s0, f.w, s1} : Rect{s0, 0, s1, f.h};
  dest = vertical ? Rect{0, d0, f.w, d1} : Rect{d0, 0, d1, f.h};
  f.target.StretchDraw(dest, *r.source, 255, {}, strip);
}

void Twist(const Frame& f, bool vertical) {
  const double phi = static_cast<double>(f.e) * 3 * kPi / 2 / f.d;
  const int lines = vertical ? f.w : f.h;
  const int length = vertical ? f.h : f.w;
  for (int i = 0; i < lines; ++i) {
    const int at = f.scene.reverse ? lines - 1 - i : i;
    const double theta = phi - (static_cast<double>(at) / lines) * kPi / 2;
    if (theta < 0) continue;
    const Rect line = vertical ? Rect{i, 0, i + 1, f.h} : Rect{0, i, f.w, i + 1};
    for (int k = 0; k < length; ++k) {
      const int x = vertical ? i : k, y = vertical ? k : i;
      f.target.SetPixel(x, y, theta >= kPi ? f.to.GetPixel(x, y) : 0u);
    }
    if (theta >= kPi) continue;
    const int64_t size = Round(std::cos(theta) * length);
    if (size == 0) continue;
    const auto s = static_cast<int32_t>(std::abs(size));
    const int32_t offset = (length - s) / 2;
    const Rect dest =
        vertical ? Rect{i, offset, i + 1, offset + s} : Rect{offset, i, offset + s, i + 1};
    f.target.StretchDraw(dest, size > 0 ? f.from : f.to, 255, {}, line);
  }
}

void Crack(const Frame& f) {
  const int64_t t = std::max<int64_t>(f.p0, 16);
  const int64_t interval = std::max<int64_t>(f.p1, 0);
  const int64_t cols = (f.w + t - 1) / t, rows = (f.h + t - 1) / t;
  ProcessRandom random(f.scene.random_seed);
  struct Tile {
    int64_t col, row, start, drift;
  };
  std::vector<int64_t> left;
  for (int64_t i = 0; i < cols * rows; ++i) left.push_back(i);
  std::vector<Tile> tiles;
  while (!left.empty()) {
    const auto pick = static_cast<size_t>(random.Below(static_cast<int32_t>(left.size())));
    const int64_t cell = left[pick];
    left.erase(left.begin() + static_cast<ptrdiff_t>(pick));
    const int64_t drift = random.Below(200) - 100;
    tiles.push_back(
        {cell % cols, cell / cols, static_cast<int64_t>(tiles.size()) * interval, drift});
  }
  auto fall = [](int64_t tau) { return (5 * tau * tau - 1500 * tau) / 1000; };
  int64_t fall_time = 0;
  while (fall(fall_time) < f.h) ++fall_time;
  const int64_t span = tiles.empty() ? 0 : static_cast<int64_t>(tiles.size() - 1) * interval;
  const auto p = static_cast<int64_t>(static_cast<__int128>(f.e) * (fall_time + span) / f.d);
  Copy(f, f.to);
  auto cell = [&](const Tile& tile) {
    const auto x = static_cast<int32_t>(tile.col * t), y = static_cast<int32_t>(tile.row * t);
    return Rect{x, y, static_cast<int32_t>(std::min<int64_t>(x + t, f.w)),
                static_cast<int32_t>(std::min<int64_t>(y + t, f.h))};
  };
  auto put = [&](const Rect& src, int64_t x, int64_t y) {
    for (int sy = src.top; sy < src.bottom; ++sy) {
      for (int sx = src.left; sx < src.right; ++sx) {
        const int64_t dx = x + (sx - src.left), dy = y + (sy - src.top);
        if (dx >= 0 && dx < f.w && dy >= 0 && dy < f.h) {
          f.target.SetPixel(static_cast<int>(dx), static_cast<int>(dy), f.from.GetPixel(sx, sy));
        }
      }
    }
  };
  for (const Tile& tile : tiles) {
    if (p < tile.start) put(cell(tile), cell(tile).left, cell(tile).top);
  }
  for (auto it = tiles.rbegin(); it != tiles.rend(); ++it) {
    if (p < it->start) continue;
    const int64_t tau = p - it->start;
    if (tau >= fall_time) continue;
    const Rect home = cell(*it);
    const int64_t y = home.top + fall(tau);
    if (y >= f.h) continue;
    put(home, home.left + tau * it->drift / 100, y);
  }
}

// ---- scaled and rotated ----

void Mosaic(const Frame& f) {
  const int64_t b = f.e * 1023 / f.d;
  const int64_t factor = b <= 511 ? 263 - (b / 2) * 15 / 16 : ((b - 512) / 2) * 15 / 16 + 24;
  const auto w = static_cast<int32_t>(std::max<int64_t>(1, ((f.w / 4) * factor) >> 8));
  const auto h = static_cast<int32_t>(std::max<int64_t>(1, (factor * (f.h / 4)) >> 8));
  render::TDIBX small;
  small.SetSize(f.w, f.h, f.target.BitCount());
  const Rect box{0, 0, w, h};
  if (b <= 767) small.StretchDraw(box, f.from, 255, {}, f.all());
  int64_t alpha = 0;
  if (b >= 256 && b <= 511) alpha = (b - 256) / 4;
  if (b >= 512 && b <= 767) alpha = (b - 256) / 2;
  if (b > 767) alpha = 255;
  if (alpha > 0) small.StretchDraw(box, f.to, static_cast<int>(alpha), {}, f.all());
  f.target.StretchDraw(f.all(), small, 255, {}, box);
}

void Turn(const Frame& f, bool shrink) {
  const double left = static_cast<double>(f.d - f.e - 1) / f.d;
  const double done = static_cast<double>(f.e) / f.d;
  const int64_t turn = f.scene.reverse ? -f.p0 : f.p0;
  const auto z = static_cast<int>(Round((shrink ? left : done) * 255));
  const auto angle = static_cast<int>(shrink ? Round(static_cast<double>(turn) * f.e / f.d)
                                             : Round(static_cast<double>(turn) * left));
  const TCustomDIBX& moving = shrink ? f.from : f.to;
  Copy(f, shrink ? f.to : f.from);
  f.target.DrawRotate(f.w / 2, f.h / 2, z, {}, angle, moving.Height() / 2, moving.Width() / 2,
                      f.all(), moving, z, z);
}

void Zoomin(const Frame& f) {
  const double c = 2.0 * f.e / f.d;
  const TCustomDIBX& s = c <= 1 ? f.from : f.to;
  const double scale = c <= 1 ? 1 - c : c - 1;
  const double t = c <= 1 ? c : 2 - c;
  const int64_t w = std::max<int64_t>(1, Round(f.w * scale));
  const int64_t h = std::max<int64_t>(1, Round(f.h * scale));
  int64_t x = Round((f.p0 - f.w / 2) * t) + f.w / 2 - w / 2;
  int64_t y = Round((f.p1 - f.h / 2) * t) + f.h / 2 - h / 2;
  x = x < 0 ? 0 : (x + w > f.w ? f.w - w : x);
  y = y < 0 ? 0 : (y + h > f.h ? f.h - h : y);
  f.target.StretchDraw(f.all(), s, 255, {},
                       MakeRect(static_cast<int32_t>(x), static_cast<int32_t>(y),
                                static_cast<int32_t>(w), static_cast<int32_t>(h)));
}

// ---- masks ----

void Blinds(const Frame& f, bool vertical) {
  const int64_t w = std::max<int64_t>(f.p0, 2), s = std::max<int64_t>(f.p1, 1);
  const int64_t p = (s + 2 * w - 2) * f.e / f.d;
  f.compose([&](int x, int y) {
    const int64_t in_slat = vertical ? y % w : x % w;
    return Ramp(p, 2 * (f.scene.reverse ? w - in_slat - 1 : in_slat), s);
  });
}

void Curtains(const Frame& f, bool vertical) {
  const int64_t w = std::max<int64_t>(f.p0, 1), s = std::max<int64_t>(f.p1, 1);
  const int64_t n = vertical ? f.h : f.w;
  const int64_t p = (((n + w - 1) / w + w - 2) * 16 + s) * f.e / f.d;
  f.compose([&](int x, int y) {
    const int64_t i = vertical ? y : x;
    const int64_t at = f.scene.reverse ? n - i - 1 : i;
    return Ramp(p, (at / w + at % w) * 16, s);
  });
}

void Grids(const Frame& f) {
  const int64_t c = std::max<int64_t>(f.p0, 2), s = std::max<int64_t>(f.p1, 1);
  const int64_t mask_h = f.scene.kind == WP_GRIDH ? std::min<int64_t>(c, f.h) : f.h;
  const int64_t cols = (f.w + c - 1) / c, rows = (mask_h + c - 1) / c;
  const bool r = f.scene.reverse;
  auto order = [&](int64_t i, int64_t j) -> int64_t {
    switch (f.scene.kind) {
      case WP_GRIDH:
        return r ? cols - i - 1 : i;
      case WP_GRIDV:
        return r ? rows - j - 1 : j;
      default:
        return r ? Round(std::hypot(rows - j - 1, cols - i - 1)) : Round(std::hypot(j, i));
    }
  };
  const int64_t top = f.scene.kind == WP_GRIDH   ? cols
                      : f.scene.kind == WP_GRIDV ? rows
                                                 : Round(std::hypot(rows - 1, cols - 1));
  const int64_t p = (s + 4 * top - 4) * f.e / f.d;
  f.compose([&](int x, int y0) {
    const int64_t y = y0 % mask_h;
    const int64_t i = x / c, j = y / c;
    const int64_t h = 4 * order(i, j);
    const uint32_t v = Ramp(p, h, s);
    if (v == 0) return 0u;
    const int64_t a = std::min(c, c * (p - h) / s);
    const int64_t inset = (c - a) / 2;
    const int64_t u = x - i * c - inset, t = y - j * c - inset;
    return u >= 0 && u < a && t >= 0 && t < a ? v : 0u;
  });
}

void Dither(const Frame& f) {
  TKxRandom random(12341);
  random.Reset(4096);
  std::vector<int64_t> rank(4096);
  for (int64_t k = 0; k < 4096; ++k) rank[static_cast<size_t>(random.NextIndex())] = k;
  const int64_t n = f.e * 4096 / f.d;
  f.compose([&](int x, int y) {
    return rank[static_cast<size_t>((y % 64) * 64 + x % 64)] < n ? 255u : 0u;
  });
}

// The grey level of every screen pixel from the rule image (white without one).
std::vector<int64_t> RuleLevels(const Frame& f) {
  std::vector<int64_t> levels(static_cast<size_t>(f.w) * f.h, 255);
  if (f.scene.rule == nullptr || f.scene.rule->IsEmpty()) return levels;
  render::TDIBSurface rule;
  rule.AssignFrom(*f.scene.rule);
  if (f.scene.reverse) rule.Negative();
  for (int y = 0; y < f.h; ++y) {
    for (int x = 0; x < f.w; ++x) {
      uint8_t r, g, b;
      rule.Rgb8Of(rule.GetPixel(x % rule.Width(), y % rule.Height()), r, g, b);
      // The nearest grey (v, v, v) to (r, g, b) is the mean of the channels, rounded.
      const double mean = (r + g + b) / 3.0;
      levels[static_cast<size_t>(y) * f.w + x] = static_cast<int64_t>(std::floor(mean + 0.5));
    }
  }
  return levels;
}

void MaskFade(const Frame& f) {
  const auto levels = RuleLevels(f);
  const int64_t p = f.e * 512 / f.d + 255;
  f.compose([&](int x, int y) {
    const int64_t g = levels[static_cast<size_t>(y) * f.w + x] - 255;
    return static_cast<uint32_t>(std::clamp<int64_t>(p + g - 256, 0, 255));
  });
}

void MaskFlash(const Frame& f, bool white) {
  const auto levels = RuleLevels(f);
  const int64_t p = f.e * 768 / f.d + 255;
  f.each([&](int x, int y) {
    const int64_t i = p + levels[static_cast<size_t>(y) * f.w + x] - 255;
    const int64_t v = i <= 255 ? 0 : (i <= 767 ? i - 256 : 511);
    const uint32_t base = v <= 255 ? f.from.GetPixel(x, y) : f.to.GetPixel(x, y);
    const int64_t level = v <= 255 ? v : 511 - v;
    return white ? f.add(base, level) : f.sub(base, level);
  });
}

void Pies(const Frame& f) {
  const double a0 = f.p0 * 2 * kPi / 360 - kPi / 2;
  const double share = static_cast<double>(f.e) / f.d;
  std::vector<PieShape> pies;
  const int cx = f.w / 2, cy = f.h / 2;
  switch (f.scene.kind) {
    case WP_CLOCKHAND: {
      const double sweep = share * 2 * kPi;
      pies.emplace_back(cx, cy, f.scene.reverse ? a0 - sweep : a0, sweep);
      break;
    }
    case WP_FAN:
      pies.emplace_back(cx, cy, a0 - share * kPi, 2 * share * kPi);
      break;
    default:
      pies.emplace_back(cx, cy, a0 - share * kPi / 2, share * kPi);
      pies.emplace_back(cx, cy, a0 + kPi - share * kPi / 2, share * kPi);
  }
  f.compose([&](int x, int y) {
    for (const PieShape& pie : pies) {
      if (pie.Contains(x, y)) return 255u;
    }
    return 0u;
  });
}

void Circle(const Frame& f) {
  const int cx = f.w / 2, cy = f.h / 2;
  const double r = std::hypot(cx, cy);
  const int64_t radius = Round(r * (f.scene.reverse ? f.d - f.e : f.e) / f.d);
  f.compose([&](int x, int y) {
    const bool in = radius > 0 && DiscContains(cx, cy, radius, x, y);
    return (in != f.scene.reverse) ? 255u : 0u;
  });
}

// The clockwise spiral over the blocks by walking: turn right at a wall or a visited block.
std::vector<int64_t> Spiral(int64_t across, int64_t down) {
  std::vector<int64_t> order;
  std::vector<bool> seen(static_cast<size_t>(across * down), false);
  const int64_t steps[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
  int64_t x = 0, y = 0, dir = 0;
  for (int64_t k = 0; k < across * down; ++k) {
    order.push_back(y * across + x);
    seen[static_cast<size_t>(y * across + x)] = true;
    for (int turn = 0; turn < 4; ++turn) {
      const int64_t nx = x + steps[dir][0], ny = y + steps[dir][1];
      if (nx >= 0 && nx < across && ny >= 0 && ny < down &&
          !seen[static_cast<size_t>(ny * across + nx)]) {
        x = nx;
        y = ny;
        break;
      }
      dir = (dir + 1) % 4;
    }
  }
  return order;
}

void Blocks(const Frame& f) {
  const int64_t side =
      std::max<int64_t>(1, std::min<int64_t>({std::max<int64_t>(f.p0, 10), f.w, f.h}));
  const int64_t across = (f.w + side - 1) / side, down = (f.h + side - 1) / side;
  std::vector<int64_t> order;
  const bool coil = f.scene.kind == WP_BLOCKCOIL;
  if (coil) {
    order = Spiral(across, down);
  } else {
    ProcessRandom random(f.scene.random_seed);
    std::vector<int64_t> left;
    for (int64_t i = 0; i < across * down; ++i) left.push_back(i);
    while (!left.empty()) {
      const auto pick = static_cast<size_t>(random.Below(static_cast<int32_t>(left.size())));
      order.push_back(left[pick]);
      left.erase(left.begin() + static_cast<ptrdiff_t>(pick));
    }
  }
  std::vector<int64_t> position(order.size());
  for (size_t k = 0; k < order.size(); ++k)
    position[static_cast<size_t>(order[k])] = static_cast<int64_t>(k);
  const auto n = static_cast<int64_t>(order.size());
  const bool reversed = coil && f.scene.reverse;
  const int64_t k = (n - 1) * (reversed ? f.d - f.e : f.e) / f.d;
  f.compose([&](int x, int y) {
    const int64_t at = position[static_cast<size_t>((y / side) * across + x / side)];
    return (reversed ? at >= k : at <= k) ? 255u : 0u;
  });
}

// ---- per pixel ----

void Spot(const Frame& f) {
  const int cx = f.w / 2, cy = f.h / 2;
  const int64_t reach = Round(std::hypot(cy, cx));
  const int64_t p = f.e * (reach + 512) / f.d;
  f.each([&](int x, int y) {
    int64_t n = Round(std::hypot(y - cy, x - cx));
    if (f.scene.reverse) n = reach - n;
    const uint32_t base = p < n + 256 ? f.from.GetPixel(x, y) : f.to.GetPixel(x, y);
    if (p < n || p >= n + 512) return base;
    return f.add(base, p < n + 256 ? p - n : n - p + 511);
  });
}

void Ripple(const Frame& f) {
  const int64_t length = (std::min(f.w / 2, f.h / 2) * 2) / 3;
  const int64_t tooth = length / 4;
  auto profile = [&](int64_t i) { return tooth == 0 ? 0 : ((i % tooth) * f.p0) / tooth; };
  const int64_t p = f.e * (Round(std::hypot(f.h / 2, f.w / 2)) + length) / f.d;
  const double cx = (f.w - 1) / 2.0, cy = (f.h - 1) / 2.0;
  f.each([&](int x, int y) {
    const double dx = x - cx, dy = y - cy;
    const double distance = std::hypot(dx, dy);
    const int64_t d = Round(distance);
    const int64_t k = d + (length - 1) - p;
    if (k > length - 1) return f.from.GetPixel(x, y);
    if (k < 0) return f.to.GetPixel(x, y);
    const int64_t c16 = distance > 0 ? Round(dx / distance * 65536) : 0;
    const int64_t s16 = distance > 0 ? Round(dy / distance * 65536) : 0;
    const int64_t radius = d + profile(k);
    // The centre in 16.16 is ((w - 1) / 2) × 65536; positions round to the nearest pixel.
    const int64_t sx =
        static_cast<int64_t>(std::floor((cx * 65536 + radius * c16 + 32768) / 65536.0));
    const int64_t sy =
        static_cast<int64_t>(std::floor((cy * 65536 + radius * s16 + 32768) / 65536.0));
    if (sx < 0 || sx >= f.w || sy < 0 || sy >= f.h) return f.to.GetPixel(x, y);
    return f.to.GetPixel(static_cast<int>(sx), static_cast<int>(sy));
  });
}

}  // namespace

void ReferenceFrame(const ReferenceScene& scene, int32_t elapsed, const TCustomDIBX& from,
                    const TCustomDIBX& to, TCustomDIBX& target) {
  const int64_t d = scene.duration > 0 ? scene.duration : 1;
  const int64_t e = std::max(elapsed, 0);
  if (e >= d) return;
  const Frame f{scene,        e,           d, from, to, target, target.Width(), target.Height(),
                scene.param0, scene.param1};
  switch (scene.kind) {
    case WP_FADE:
      return Fade(f);
    case WP_BLINDH:
      return Blinds(f, false);
    case WP_BLINDV:
      return Blinds(f, true);
    case WP_CURTAINH:
      return Curtains(f, false);
    case WP_CURTAINV:
      return Curtains(f, true);
    case WP_SCROLLH:
      return Scroll(f, false);
    case WP_SCROLLV:
      return Scroll(f, true);
    case WP_GRID:
    case WP_GRIDH:
    case WP_GRIDV:
      return Grids(f);
    case WP_DITHER:
      return Dither(f);
    case WP_WHITE:
      return ThroughGrey(f, true);
    case WP_BLACK:
      return ThroughGrey(f, false);
    case WP_FLASH:
      return Flash(f);
    case WP_MOSAIC:
      return Mosaic(f);
    case WP_SUDAREH:
      return Sudare(f, false);
    case WP_SUDAREV:
      return Sudare(f, true);
    case WP_SPOT:
      return Spot(f);
    case WP_MASKFADE:
      return MaskFade(f);
    case WP_MASKWHITE:
      return MaskFlash(f, true);
    case WP_MASKBLACK:
      return MaskFlash(f, false);
    case WP_SMALL:
      return Turn(f, true);
    case WP_BIG:
      return Turn(f, false);
    case WP_RIPPLE:
      return Ripple(f);
    case WP_BLURWHITE:
      return Blur(f, true);
    case WP_BLURBLACK:
      return Blur(f, false);
    case WP_TWISTH:
      return Twist(f, false);
    case WP_TWISTV:
      return Twist(f, true);
    case WP_CRACK:
      return Crack(f);
    case WP_ZOOMIN:
      return Zoomin(f);
    case WP_CLOCKHAND:
    case WP_FAN:
    case WP_WFAN:
      return Pies(f);
    case WP_RUBBERH:
      return Rubber(f, false);
    case WP_RUBBERV:
      return Rubber(f, true);
    case WP_CIRCLE:
      return Circle(f);
    case WP_BLOCKCOIL:
    case WP_BLOCKRANDOM:
      return Blocks(f);
    default:
      return;
  }
}

}  // namespace novu::transitions
