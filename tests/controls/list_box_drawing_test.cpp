// What a list box puts on the screen, where its parts lie, and the input it must survive: a
// box too low for a scroll track, pictures narrower than their cells, the caption settings of
// older saves.
#include <gtest/gtest.h>

#include <string>

#include "controls/list_box_geometry.h"
#include "controls/list_box_pictures.h"
#include "controls/list_caption.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "core/serializer.h"
#include "menu_fixtures.h"

namespace novu {
namespace {

using testing::MenuScene;
using testing::Raw32;

uint32_t PixelAt(MenuScene& s, int x, int y) {
  return s.list.ScreenSurface().GetPixel(x, y);
}

ListBoxLayoutInput TenItemsInFourRows() {
  ListBoxLayoutInput in;
  in.bounds = MakeRect(0, 0, 60, 100);
  in.scroll_cell_width = 10;
  in.scroll_cell_height = 10;
  in.item_count = 10;
  in.rows = 4;
  in.row_height = 25;
  return in;
}

// The thumb moves over the track's length (the column less three cells) in proportion to the
// top item, and the pointer puts the thumb's centre where it is.
TEST(ListBoxGeometry, TheThumbFollowsTheTopItemAndThePointer) {
  ListBoxLayoutInput in = TenItemsInFourRows();
  struct Case {
    int32_t top;
    int32_t thumb_top;
  };
  for (const Case c : {Case{0, 10}, Case{3, 45}, Case{6, 80}}) {
    in.top_item = c.top;
    const ListBoxGeometry g(in);
    EXPECT_EQ(g.TrackLength(), 70);
    EXPECT_EQ(g.Thumb().top, c.thumb_top) << c.top;
    EXPECT_EQ(g.TopItemForThumbAt(c.thumb_top + 5), c.top);
  }
  const ListBoxGeometry g(in);
  EXPECT_EQ(g.PartAt({55, 5}), ListPress::kUpArrow);
  EXPECT_EQ(g.PartAt({55, 95}), ListPress::kDownArrow);
  EXPECT_EQ(g.PartAt({55, 40}), ListPress::kTrackAbove);
  EXPECT_EQ(g.PartAt({20, 40}), ListPress::kItems);
  EXPECT_EQ(g.TopItemForThumbAt(-1000), 0);
  EXPECT_EQ(g.TopItemForThumbAt(1000), 6);
}

// A box lower than its two arrows and the thumb has no track: the thumb rests at the top and
// dragging keeps the top item, with no division by a length of zero or less.
TEST(ListBoxGeometry, ABoxWithoutRoomForATrackNeverDividesByIt) {
  for (const int32_t height : {30, 20, 5}) {
    SCOPED_TRACE(height);
    ListBoxLayoutInput in = TenItemsInFourRows();
    in.bounds = MakeRect(0, 0, 60, height);
    in.top_item = 4;
    const ListBoxGeometry g(in);
    EXPECT_LE(g.TrackLength(), 0);
    EXPECT_EQ(g.Thumb().top, g.TrackTop());
    EXPECT_EQ(g.TopItemForThumbAt(1000), 4);
    EXPECT_EQ(g.TopItemForThumbAt(-1000), 4);
  }
}

TEST(ListBoxGeometry, RowsOwnHalfTheLineSpaceAboveAndBelow) {
  ListBoxLayoutInput in = TenItemsInFourRows();
  in.line_space = 6;
  in.margin_y = 2;
  in.top_item = 3;
  const ListBoxGeometry g(in);
  // Rows start at y 2, 33, 64, 95 (row height 25, pitch 31); each owns the 3 pixels above it.
  struct Case {
    int32_t y;
    int32_t item;
  };
  for (const Case c :
       {Case{-1, -1}, Case{0, 3}, Case{2, 3}, Case{29, 3}, Case{30, 4}, Case{61, 5}, Case{95, 6}}) {
    EXPECT_EQ(g.ItemAt({10, c.y}), c.item) << c.y;
  }
  EXPECT_EQ(g.ItemAt({55, 10}), -1);  // the scroll bar column is no item
}

TEST(ListBoxPictures, TheTilePhaseCentresOrEndsTheBandPicture) {
  struct Case {
    int32_t alignment, cell, picture, phase;
  };
  const Case cases[] = {
      {0, 25, 10, 0}, {1, 25, 10, -2}, {2, 25, 10, -5}, {1, 6, 10, -2},
      {2, 6, 10, -4}, {1, 25, 0, 0},   {7, 25, 10, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AlignedTilePhase(c.alignment, c.cell, c.picture), c.phase)
        << c.alignment << " " << c.cell << " " << c.picture;
  }
}

// Pictures narrower than their number of cells have cells of width 0: they take no room and
// draw nothing, instead of tiling cells of no width.
TEST(ListBoxPictures, PicturesNarrowerThanTheirCellsTakeNoRoomAndDrawNothing) {
  MenuScene s;
  s.store.files["narrow_scroll.fip"] = testing::MakeFip({testing::Solid(testing::kRed, 6, 10)});
  s.store.files["narrow_check.fip"] = testing::MakeFip({testing::Solid(testing::kRed, 1, 10)});
  TNovuMenu& menu = s.AddMenu(10, 4);
  menu.SetProperty(PR_SCROLLSOURCE, std::string("narrow_scroll.fip"));
  menu.SetProperty(PR_CHECKSOURCE, std::string("narrow_check.fip"));
  menu.SetChecked(0, true);
  s.Tick();
  EXPECT_EQ(menu.width(), 40);
  EXPECT_FALSE(menu.Geometry().ShowsScrollBar());
  s.list.base(0).InvalidateAll();
  s.list.Paint();
  for (int x = 100; x < 100 + menu.width(); ++x) {
    for (int y = 50; y < 50 + menu.height(); ++y) {
      ASSERT_NE(PixelAt(s, x, y), Raw32(testing::kRed)) << x << "," << y;
    }
  }
}

// A box colour, a border, the hovered row's highlight, the item text and the pressed cell of
// the scroll bar, each where the layout puts it.
TEST(ListBoxDrawing, TheBoxHighlightTextAndPressedArrowLandOnTheirPixels) {
  MenuScene s;
  TNovuMenu& menu = s.AddMenu(10, 4);
  menu.SetProperty(PR_SCROLLSOURCE, std::string("scroll.fip"));
  menu.SetProperty(PR_COLOR, 0x404040);
  menu.SetProperty(PR_BORDERWIDTH, 2);
  menu.SetProperty(PR_BORDERCOLOR, testing::kBlue);
  menu.SetProperty(PR_HOVERCOLOR, testing::kGreen);
  menu.SetProperty(PR_MARGINX, 4);
  menu.SetProperty(PR_FONTCOLOR, testing::kWhite);
  menu.SetProperty(PR_ANTIALIAS, false);
  menu.SetHovered(1, false);
  s.Tick();
  const ListBoxGeometry g = menu.Geometry();
  const Rect up = g.UpArrow();
  s.list.input().MouseMove(up.left + 1, up.top + 1);
  s.list.input().MouseDown(true);
  s.Tick();
  s.list.base(0).InvalidateAll();
  s.list.Paint();

  EXPECT_EQ(PixelAt(s, 100, 50), Raw32(testing::kBlue));            // border
  EXPECT_EQ(PixelAt(s, 102, 53), Raw32(0x404040));                  // box, row 0 before its text
  EXPECT_EQ(PixelAt(s, 104, 52 + 16 + 8), Raw32(testing::kGreen));  // highlight of row 1
  // Row 0's first character is a solid box from x 1 (past the margin) of ascent - 1 rows.
  // (painted through its coverage, so white to within the blend's rounding)
  const uint32_t text = PixelAt(s, 102 + 4 + 2, 52 + 5);
  for (int shift : {0, 8, 16}) EXPECT_GE((text >> shift) & 0xff, 0xf0u) << std::hex << text;
  // The up arrow shows its pressed cell (cell 1) while held under the pointer; the down
  // arrow its normal cell (cell 2).
  EXPECT_EQ(PixelAt(s, up.left + 5, up.top + 5), Raw32(0x20));
  const Rect down = g.DownArrow();
  EXPECT_EQ(PixelAt(s, down.left + 5, down.top + 5), Raw32(0x30));
}

// The corners sit at the inner box's corners, the bands between them; the top band's picture
// starts at the band's left (alignment 0) or centred by its remainder (alignment 1). The check
// picture's first cell marks a checked item, its second cell the checked item under the hover.
TEST(ListBoxDrawing, FrameCellsAndCheckCellsLandWhereTheLayoutPutsThem) {
  for (const int32_t alignment : {0, 1}) {
    SCOPED_TRACE(alignment);
    MenuScene s;
    testing::FrameSpec band = testing::Solid(testing::kGreen, 4, 3);
    band.colour = [](int x, int) { return x < 2 ? testing::kGreen : testing::kWhite; };
    s.store.files["corner.fip"] = testing::MakeFip({testing::Solid(testing::kRed, 3, 3)});
    s.store.files["band.fip"] = testing::MakeFip({band});
    testing::FrameSpec check = testing::Solid(testing::kRed, 12, 6);
    check.colour = [](int x, int) { return x < 6 ? 0x000080 : 0x800000; };
    s.store.files["check.fip"] = testing::MakeFip({check});
    TNovuMenu& menu = s.AddMenu(3, 3);
    for (PropId corner :
         {PR_BORDERSOURCETL, PR_BORDERSOURCETR, PR_BORDERSOURCEBL, PR_BORDERSOURCEBR}) {
      menu.SetProperty(corner, std::string("corner.fip"));
    }
    menu.SetProperty(PR_BORDERSOURCETC, std::string("band.fip"));
    menu.SetProperty(PR_BORDERHALIGNT, alignment);
    menu.SetProperty(PR_CHECKSOURCE, std::string("check.fip"));
    menu.SetChecked(0, true);
    menu.SetChecked(1, true);
    menu.SetHovered(1, false);
    s.Tick();
    ASSERT_EQ(menu.width(), 3 + 6 + 40 + 3);
    ASSERT_EQ(menu.height(), 3 + 3 * 16 + 3);
    s.list.base(0).InvalidateAll();
    s.list.Paint();

    const int32_t right = 100 + menu.width();
    const int32_t bottom = 50 + menu.height();
    EXPECT_EQ(PixelAt(s, 100, 50), Raw32(testing::kRed));
    EXPECT_EQ(PixelAt(s, right - 1, 50), Raw32(testing::kRed));
    EXPECT_EQ(PixelAt(s, 100, bottom - 1), Raw32(testing::kRed));
    EXPECT_EQ(PixelAt(s, right - 1, bottom - 1), Raw32(testing::kRed));
    // The top band is 46 wide: with alignment 1 its copies start 1 pixel early.
    // Columns 0-1 of the band picture are green, 2-3 white.
    EXPECT_EQ(PixelAt(s, 103, 51), Raw32(testing::kGreen));
    EXPECT_EQ(PixelAt(s, 104, 51), Raw32(alignment == 0 ? testing::kGreen : testing::kWhite));
    // The check cells are 6 x 6, centred on their 16-pixel rows, left of the item texts.
    EXPECT_EQ(PixelAt(s, 103 + 2, 53 + 8), Raw32(0x000080));       // item 0: normal cell
    EXPECT_EQ(PixelAt(s, 103 + 2, 53 + 16 + 8), Raw32(0x800000));  // item 1: hovered cell
    EXPECT_NE(PixelAt(s, 103 + 2, 53 + 32 + 8), Raw32(0x000080));  // item 2: not checked
  }
}

// A script may make an open list lower than its rows: the rows below its box are not drawn,
// as nothing there would ever be repainted.
TEST(ListBoxDrawing, NothingIsDrawnOutsideTheBoxAScriptShrank) {
  MenuScene s;
  TNovuMenu& menu = s.AddMenu(4, 4);
  menu.SetProperty(PR_FONTCOLOR, testing::kWhite);
  s.Tick();
  menu.SetProperty(PR_HEIGHT, 20);
  s.list.base(0).InvalidateAll();
  s.list.Paint();
  int inked_inside = 0;
  for (int y = 50; y < 50 + 4 * 16; ++y) {
    for (int x = 100; x < 100 + menu.width(); ++x) {
      const bool inked = PixelAt(s, x, y) != 0;
      if (y >= 70) {
        ASSERT_FALSE(inked) << x << "," << y;
      }
      inked_inside += inked ? 1 : 0;
    }
  }
  EXPECT_GT(inked_inside, 0);  // the first row still shows
}

// The caption settings of a save before version 109 keep only a smoothing flag, and those
// before version 122 have no shadow.
TEST(ListCaptionStyle, OlderSavesReadTheSmoothingFlagAndNoShadow) {
  struct Case {
    int32_t version;
    int32_t stored_level;
    int32_t level;
    bool has_shadow;
  };
  const Case cases[] = {
      {108, 1, 0, false}, {108, 2, 3, false}, {109, 2, 2, false},
      {121, 3, 3, false}, {122, 1, 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    BinaryWriter out;
    out.I32(c.stored_level);
    for (int32_t v : {2, 180, 24}) out.I32(v);  // border, alpha, size
    out.String("face");
    out.I32(0x112233);
    out.I32(0x445566);
    out.U8(3);
    out.Bytes(std::string(ListCaption::kMetricsBlockSize, '\x7f'));
    if (c.has_shadow) {
      out.I32(5);
      out.I32(0x778899);
    }
    const std::string bytes = out.TakeString();
    BinaryReader in(bytes);
    Serializer s(in, c.version);
    ListCaptionStyle style;
    style.Sync(s);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(style.anti_alias, c.level);
    EXPECT_EQ(style.font_size, 24);
    EXPECT_EQ(style.font_name, "face");
    EXPECT_EQ(style.style, 3);
    EXPECT_EQ(style.shadow_offset, c.has_shadow ? 5 : 0);
  }
}

TEST(ListCaptionStyle, SizesAndDecorationsAreCutToSaneRangesAndAnEmptyFaceFallsBack) {
  ListCaptionStyle style;
  style.font_size = 100000;
  style.border_width = -3;
  style.shadow_offset = 1 << 30;
  EXPECT_EQ(style.UsedFontSize(), kListMaxFontSize);
  EXPECT_EQ(style.UsedBorder(), 0);
  EXPECT_EQ(style.UsedShadow(), kListMaxDecoration);
  EXPECT_EQ(style.UsedFontName(), kListDefaultFontName);
  style.font_size = 0;
  EXPECT_EQ(style.UsedFontSize(), kListMinFontSize);
}

}  // namespace
}  // namespace novu
