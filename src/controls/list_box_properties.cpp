// The properties of a list box and its saved record.
#include <algorithm>

#include "controls/novu_custom_list_box.h"
#include "core/serializer.h"

namespace novu {
namespace {

// The saved record gained a byte-free layout with version 104, PR_ONIDLE after 130 and the
// map-in and map-out labels after 133.
constexpr int32_t kNoSpareByteVersion = 104;
constexpr int32_t kIdleLabelVersion = 131;
constexpr int32_t kMapLabelsVersion = 134;

// The frame cells whose horizontal alignment one band property sets (top, centre, bottom
// rows), and whose vertical alignment (left, centre, right columns).
constexpr int kBandCells[3][3] = {{0, 1, 2}, {3, 4, 5}, {6, 7, 8}};
constexpr int kColumnCells[3][3] = {{0, 3, 6}, {1, 4, 7}, {2, 5, 8}};

}  // namespace

void TNovuCustomListBox::SetHoverColour(int32_t colour) {
  hover_colour_follows_ = false;
  hover_style_.colour = colour;
  MarkLayout();
}

void TNovuCustomListBox::SetHoverStyle(int32_t style) {
  hover_style_follows_ = false;
  hover_style_.style = static_cast<uint8_t>(style & 0xff);
  MarkLayout();
}

void TNovuCustomListBox::SyncStyles(Serializer& s) {
  normal_style_.Sync(s);
  hover_style_.Sync(s);
  if (s.loading()) hover_colour_follows_ = hover_style_follows_ = false;
}

void TNovuCustomListBox::SyncFrames(Serializer& s) {
  for (int i = 0; i < kFrameCells; ++i) {
    ListFramePictures::Cell& cell = frame_.cell(i);
    std::string name = cell.name;
    s.String(name);
    if (s.loading()) SetFrameSource(i, name);
    s.U8(cell.h_align);
    s.U8(cell.v_align);
  }
}

void TNovuCustomListBox::SyncChecks(Serializer& s) {
  for (Item& item : items_) s.U8(item.checked);
}

const PropertyTable& TNovuCustomListBox::Table() {
  using L = TNovuCustomListBox;
  using R = PropertyRows<L>;
  const auto layout_int = [](int32_t L::*field) {
    return [field](L& l, const PropValue& v) { l.SetLayoutField(l.*field, PropAsInt(v)); };
  };
  const auto drawn_int = [](int32_t L::*field) {
    return [field](L& l, const PropValue& v) {
      l.*field = PropAsInt(v);
      l.Invalidate();
    };
  };
  const auto normal_int = [](int32_t ListCaptionStyle::*field) {
    return [field](L& l, const PropValue& v) {
      l.normal_style_.*field = PropAsInt(v);
      l.MarkLayout();
    };
  };
  const auto hover_int = [](int32_t ListCaptionStyle::*field) {
    return [field](L& l, const PropValue& v) {
      l.hover_style_.*field = PropAsInt(v);
      l.MarkLayout();
    };
  };
  const auto band_align = [](int band) {
    return R::Answer(
               static_cast<PropId>(PR_BORDERHALIGNT + band),
               [band](const L& l) { return int32_t{l.frame_.cell(kBandCells[band][1]).h_align}; })
        .Set([band](L& l, const PropValue& v) {
          for (int i : kBandCells[band])
            l.frame_.cell(i).h_align = static_cast<uint8_t>(PropAsInt(v));
          l.Invalidate();
        });
  };
  const auto column_align = [](int column) {
    return R::Answer(static_cast<PropId>(PR_BORDERVALIGNL + column),
                     [column](const L& l) {
                       return int32_t{l.frame_.cell(kColumnCells[column][1]).v_align};
                     })
        .Set([column](L& l, const PropValue& v) {
          for (int i : kColumnCells[column]) {
            l.frame_.cell(i).v_align = static_cast<uint8_t>(PropAsInt(v));
          }
          l.Invalidate();
        });
  };
  const auto frame_source = [](int cell) {
    return R::Answer(static_cast<PropId>(PR_BORDERSOURCETL + cell),
                     [cell](const L& l) { return l.frame_.cell(cell).name; })
        .Set([cell](L& l, const PropValue& v) { l.SetFrameSource(cell, PropAsStr(v)); });
  };
  static const PropertyTable table(
      &TNovuControl::Table(),
      {
          R::Saved([](L& l, Serializer& s) { l.SyncStyles(s); }),
          R::Field(PR_TEXT, &L::text_).Set(&L::SetText).Save([](L& l, Serializer& s) {
            std::string text = l.text_;
            s.String(text);
            if (s.loading()) l.SetText(text);
          }),
          R::Field(PR_LINESPACE, &L::line_space_).Set(layout_int(&L::line_space_)),
          R::Field(PR_ALPHA, &L::alpha_).Set([](L& l, const PropValue& v) {
            l.alpha_ = l.normal_style_.alpha = l.hover_style_.alpha = PropAsInt(v);
            l.Invalidate();
          }),
          R::Field(PR_MARGINX, &L::margin_x_).Set(layout_int(&L::margin_x_)),
          R::Field(PR_MARGINY, &L::margin_y_).Set(layout_int(&L::margin_y_)),
          R::Field(PR_BORDERWIDTH, &L::border_width_).Set(layout_int(&L::border_width_)),
          R::Field(PR_BORDERCOLOR, &L::border_colour_).Set(drawn_int(&L::border_colour_)),
          R::Field(PR_ROWCOUNT, &L::rows_).Set(&L::SetRows).Save([](L& l, Serializer& s) {
            s.I32(l.rows_);
            if (s.loading()) l.rows_ = std::max(l.rows_, 0);
          }),
          R::Saved([](L& l, Serializer& s) { l.SyncFrames(s); }),
          R::Answer(PR_SCROLLSOURCE, [](const L& l) { return l.scroll_.name(); })
              .Set(&L::SetScrollSource)
              .Save([](L& l, Serializer& s) {
                std::string name = l.scroll_.name();
                s.String(name);
                if (s.loading()) l.SetScrollSource(name);
              }),
          R::Answer(PR_CHECKSOURCE, [](const L& l) { return l.check_.name(); })
              .Set(&L::SetCheckSource)
              .Save([](L& l, Serializer& s) {
                std::string name = l.check_.name();
                s.String(name);
                if (s.loading()) l.SetCheckSource(name);
              }),
          R::Field(PR_TOPINDEX, &L::top_item_).Set(&L::SetTopItem).Save([](L& l, Serializer& s) {
            s.I32(l.top_item_);
            // A saved top item beyond the items would show empty rows.
            if (s.loading()) {
              l.top_item_ = std::clamp(l.top_item_, 0, std::max(0, l.ItemCount() - l.rows_));
            }
          }),
          R::Saved([](L&, Serializer& s) {
            if (s.loading() && !s.Has(kNoSpareByteVersion)) s.reader().U8();
          }),
          R::Field(PR_HALIGN, &L::h_align_).Set([](L& l, const PropValue& v) {
            l.h_align_ = static_cast<uint8_t>(PropAsInt(v));
            l.Invalidate();
          }),
          R::Saved([](L& l, Serializer& s) { l.SyncChecks(s); }),
          R::Field(PR_ONSELECT, &L::on_select_),
          R::Field(PR_PAUSED, &L::paused_),
          R::Field(PR_INDEX, &L::index_).Set([](L& l, const PropValue& v) {
            l.index_ = std::clamp(PropAsInt(v), -1, l.ItemCount() - 1);
          }),
          R::SavedField(&L::phase_),
          R::Field(PR_ONIDLE, &L::on_idle_).Since(kIdleLabelVersion),
          R::Field(PR_ONMAPIN, &L::on_map_in_).Since(kMapLabelsVersion),
          R::Field(PR_ONMAPOUT, &L::on_map_out_).Since(kMapLabelsVersion),

          // Kept inside the saved parts above.
          R::Answer(PR_COUNT, [](const L& l) { return l.ItemCount(); }),
          R::Answer(PR_FONTNAME, [](const L& l) { return l.normal_style_.font_name; })
              .Set([](L& l, const PropValue& v) {
                l.SetSharedStyle(&ListCaptionStyle::font_name, PropAsStr(v));
              }),
          R::Answer(PR_FONTHEIGHT, [](const L& l) { return l.normal_style_.font_size; })
              .Set([](L& l, const PropValue& v) {
                l.SetSharedStyle(&ListCaptionStyle::font_size, PropAsInt(v));
              }),
          R::Answer(PR_ANTIALIAS, [](const L& l) { return l.normal_style_.anti_alias > 0; })
              .Set([](L& l, const PropValue& v) {
                l.SetSharedStyle(&ListCaptionStyle::anti_alias, PropAsBool(v) ? 3 : 0);
              }),
          R::Answer(PR_FONTSTYLE, [](const L& l) { return int32_t{l.normal_style_.style}; })
              .Set([](L& l, const PropValue& v) {
                l.normal_style_.style = static_cast<uint8_t>(PropAsInt(v) & 0xff);
                if (l.hover_style_follows_) l.hover_style_.style = l.normal_style_.style;
                l.MarkLayout();
              }),
          R::Answer(PR_FONTCOLOR, [](const L& l) { return l.normal_style_.colour; })
              .Set([](L& l, const PropValue& v) {
                l.normal_style_.colour = PropAsInt(v);
                if (l.hover_colour_follows_) l.hover_style_.colour = l.normal_style_.colour;
                l.MarkLayout();
              }),
          R::Answer(PR_FONTBORDER, [](const L& l) { return l.normal_style_.border_width; })
              .Set(normal_int(&ListCaptionStyle::border_width)),
          R::Answer(PR_FONTBORDERCOLOR, [](const L& l) { return l.normal_style_.border_colour; })
              .Set(normal_int(&ListCaptionStyle::border_colour)),
          R::Answer(PR_FONTSHADOW, [](const L& l) { return l.normal_style_.shadow_offset; })
              .Set(normal_int(&ListCaptionStyle::shadow_offset)),
          R::Answer(PR_FONTSHADOWCOLOR, [](const L& l) { return l.normal_style_.shadow_colour; })
              .Set(normal_int(&ListCaptionStyle::shadow_colour)),
          R::Answer(PR_FONTHOVERBORDER, [](const L& l) { return l.hover_style_.border_width; })
              .Set(hover_int(&ListCaptionStyle::border_width)),
          R::Answer(PR_FONTHOVERBORDERCOLOR,
                    [](const L& l) { return l.hover_style_.border_colour; })
              .Set(hover_int(&ListCaptionStyle::border_colour)),
          R::Answer(PR_FONTHOVERSHADOW, [](const L& l) { return l.hover_style_.shadow_offset; })
              .Set(hover_int(&ListCaptionStyle::shadow_offset)),
          R::Answer(PR_FONTHOVERSHADOWCOLOR,
                    [](const L& l) { return l.hover_style_.shadow_colour; })
              .Set(hover_int(&ListCaptionStyle::shadow_colour)),
          frame_source(0),
          frame_source(1),
          frame_source(2),
          frame_source(3),
          frame_source(4),
          frame_source(5),
          frame_source(6),
          frame_source(7),
          frame_source(8),
          band_align(0),
          band_align(1),
          band_align(2),
          column_align(0),
          column_align(1),
          column_align(2),
      });
  return table;
}

}  // namespace novu
