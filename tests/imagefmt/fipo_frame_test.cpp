#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/binary_writer.h"
#include "imagefmt/fipo_frame_list.h"
#include "imagefmt/layered_image_decoder.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "render/dibx.h"
#include "render/image_codecs.h"

namespace novu::imagefmt {
namespace {

using render::Rect;
using render::TDIBSurface;

class TempDir {
 public:
  TempDir() {
    path_ = std::filesystem::temp_directory_path() /
            ("fipo_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(path_);
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// An 8-bit frame of key pixels (index 2) with content at the given points.
TFipoFrame KeyedFrame(int width, int height, std::vector<std::pair<int, int>> content) {
  TFipoFrame f;
  f.picture.SetSize(width, height, 8);
  f.picture.FillRect(f.picture.Bounds(), 2);
  for (auto [x, y] : content) f.picture.SetPixel(x, y, 9);
  f.key_value = 2;
  f.key_colour = 0;
  return f;
}

TEST(FipoFrame, MakeMaskClearsKeyPixels) {
  TFipoFrame f = KeyedFrame(4, 3, {{1, 1}, {3, 2}});
  f.MakeMask();
  ASSERT_TRUE(f.HasMask());
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) {
      const bool content = (x == 1 && y == 1) || (x == 3 && y == 2);
      EXPECT_EQ(f.picture.Mask()->GetPixel(x, y), content ? 255u : 0u);
    }
  }
  // Without key: all opaque. With a mask already: unchanged.
  TFipoFrame plain = KeyedFrame(2, 2, {});
  plain.key_value = -1;
  plain.MakeMask();
  EXPECT_EQ(plain.picture.Mask()->GetPixel(1, 1), 255u);
  plain.picture.Mask()->SetPixel(0, 0, 7);
  plain.MakeMask();
  EXPECT_EQ(plain.picture.Mask()->GetPixel(0, 0), 7u);
}

TEST(FipoFrame, TrimCropsToContentAndMovesRegions) {
  TFipoFrame f = KeyedFrame(10, 10, {{5, 7}});
  f.draw_regions = {{4, 6, 7, 9}, {0, 0, 2, 2}};
  f.second_regions = {{5, 7, 10, 10}};
  const auto box = f.Trim();
  ASSERT_TRUE(box);
  EXPECT_EQ(*box, (Rect{5, 7, 6, 8}));
  EXPECT_EQ(f.Width(), 1);
  EXPECT_EQ(f.Height(), 1);
  EXPECT_EQ(f.picture.GetPixel(0, 0), 9u);
  EXPECT_EQ(f.draw_regions, (std::vector<Rect>{{0, 0, 1, 1}}));  // the other one fell out
  EXPECT_EQ(f.second_regions, (std::vector<Rect>{{0, 0, 1, 1}}));
}

TEST(FipoFrame, TrimLeavesFramesWithNothingToCut) {
  struct Case {
    const char* what;
    TFipoFrame frame;
  };
  std::vector<Case> cases;
  cases.push_back({"all key", KeyedFrame(4, 4, {})});
  cases.push_back({"content to every edge", KeyedFrame(4, 4, {{0, 0}, {3, 3}})});
  TFipoFrame no_key = KeyedFrame(4, 4, {{1, 1}});
  no_key.key_value = -1;
  no_key.key_colour = -1;
  cases.push_back({"neither key nor mask", std::move(no_key)});
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(c.frame.Trim());
    EXPECT_EQ(c.frame.Width(), 4);
  }
}

TEST(FipoFrame, TrimByMaskKeepsNonZeroMaskValues) {
  TFipoFrame f;
  f.picture.SetSize(6, 5, 32);
  f.picture.EnsureMask();
  std::fill(f.picture.Mask()->Bits().begin(), f.picture.Mask()->Bits().end(), uint8_t{0});
  f.picture.Mask()->SetPixel(1, 2, 1);
  f.picture.Mask()->SetPixel(3, 3, 200);
  f.picture.SetPixel(3, 3, 0x00ABCDEF);
  const auto box = f.Trim();
  ASSERT_TRUE(box);
  EXPECT_EQ(*box, (Rect{1, 2, 4, 4}));
  EXPECT_EQ(f.picture.Mask()->GetPixel(2, 1), 200u);
  EXPECT_EQ(f.picture.GetPixel(2, 1), 0x00ABCDEFu);
}

TEST(FipoFrame, CopyToConvertsToTheTargetDepth) {
  struct Case {
    int from;
    uint32_t pixel;
    int to;
    uint32_t want;
  };
  const Case cases[] = {
      {24, 0x00FF8040, 32, 0x00FF8040}, {32, 0xAB123456, 32, 0x00123456},  // top byte cleared
      {32, 0x00FF8040, 16, 0xFC08},     {24, 0x00FF8040, 15, 0x7E08},
      {8, 1, 32, 0x00A0B0C0},  // through the palette
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.from << " -> " << c.to);
    TFipoFrame f;
    f.picture.SetSize(3, 2, c.from);
    f.picture.Palette()[1] = 0x00A0B0C0;
    f.picture.FillRect(f.picture.Bounds(), c.pixel);
    f.draw_regions = {{0, 0, 1, 1}};
    render::TDIBX target;
    target.SetSize(1, 1, c.to);
    f.CopyTo(target);
    EXPECT_EQ(target.Width(), 3);
    EXPECT_EQ(target.BitCount(), c.to);
    EXPECT_EQ(target.GetPixel(2, 1), c.want);
    EXPECT_EQ(target.DrawRegions(), f.draw_regions);
  }
}

TEST(FipoFrame, CopyMaskToGivesOpaqueWithoutMask) {
  TFipoFrame f;
  f.picture.SetSize(5, 2, 24);
  TDIBSurface mask;
  f.CopyMaskTo(mask);
  EXPECT_EQ(mask.BitCount(), 8);
  EXPECT_EQ(mask.GetPixel(4, 1), 255u);
  f.picture.EnsureMask();
  f.picture.Mask()->FillRect(f.picture.Bounds(), 77);
  f.CopyMaskTo(mask);
  EXPECT_EQ(mask.GetPixel(4, 1), 77u);
}

// A 2 × 1 bottom-up 32-bit bitmap file with the given fourth bytes.
std::vector<uint8_t> Bitmap32(uint8_t alpha0, uint8_t alpha1) {
  BinaryWriter w;
  w.Bytes("BM");
  w.U32(14 + 40 + 8);
  w.U32(0);
  w.U32(14 + 40);
  w.U32(40);
  w.I32(2);
  w.I32(1);
  w.U16(1);
  w.U16(32);
  w.U32(0);
  w.U32(8);
  w.I32(0);
  w.I32(0);
  w.U32(0);
  w.U32(0);
  for (uint8_t a : {alpha0, alpha1}) {
    w.U8(0x30);
    w.U8(0x20);
    w.U8(0x10);
    w.U8(a);
  }
  return w.Take();
}

TEST(FipoFrameList, LoadFromFileChoosesByExtension) {
  TempDir dir;
  TDIBSurface rgba(3, 2, 32);
  rgba.FillRect(rgba.Bounds(), 0x00112233);
  rgba.EnsureMask();
  rgba.Mask()->FillRect(rgba.Bounds(), 128);
  platform::WriteFileAtomically(dir / "a.PNG", render::EncodePng(rgba));
  platform::WriteFileAtomically(dir / "b.bmp", Bitmap32(0, 0));
  platform::WriteFileAtomically(dir / "c.Dib", Bitmap32(10, 255));
  platform::WriteFileAtomically(dir / "d.txt", Bitmap32(0, 0));
  TFipoFrameList fip_source;
  fip_source.AddFrame().picture.SetSize(4, 4, 16);
  fip_source.SaveToFile(dir / "e.fip");

  struct Case {
    const char* name;
    int frames;
    int bits;
    int mask_of_pixel_0;  // -1: no mask
  };
  const Case cases[] = {
      {"a.PNG", 1, 32, 128}, {"b.bmp", 1, 24, -1},  // fourth bytes all 0: no mask, not invisible
      {"c.Dib", 1, 24, 10},  {"d.txt", 0, 0, -1},  {"e.fip", 1, 16, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TFipoFrameList list;
    list.LoadFromFile(dir / c.name);
    ASSERT_EQ(list.Count(), c.frames);
    if (c.frames == 0) continue;
    const TFipoFrame& f = list.Frames(0);
    EXPECT_EQ(f.BitCount(), c.bits);
    EXPECT_EQ(f.HasMask(), c.mask_of_pixel_0 >= 0);
    if (f.HasMask()) {
      EXPECT_EQ(static_cast<int>(f.picture.Mask()->GetPixel(0, 0)), c.mask_of_pixel_0);
    }
  }
  TFipoFrameList list;
  EXPECT_THROW(list.LoadFromFile(dir / "missing.fip"), NovuError);
}

TEST(FipoFrameList, SurfacesLoadFrameZeroThroughTheDecoderHandedIn) {
  TFipoFrameList list(77);
  for (uint32_t colour : {0x00FF0000u, 0x0000FF00u}) {
    TDIBSurface& p = list.AddFrame().picture;
    p.SetSize(3, 2, 32);
    p.FillRect(p.Bounds(), colour);
  }
  const std::vector<uint8_t> file = list.SaveToStream({});
  render::TDIBX surface;
  surface.SetSize(1, 1, 16);
  EXPECT_THROW(surface.LoadFromStream(file, 77), NovuError);  // no decoder: refused, unchanged
  EXPECT_EQ(surface.Width(), 1);
  const FrameZeroDecoder decoder;
  surface.LoadFromStream(file, 77, &decoder);
  EXPECT_EQ(surface.Width(), 3);
  EXPECT_EQ(surface.BitCount(), 16);
  EXPECT_EQ(surface.GetPixel(2, 1), 0xF800u);  // red of frame 0, at the surface's depth
}

}  // namespace
}  // namespace novu::imagefmt
