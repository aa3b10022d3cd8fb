#pragma once
// A scene for the list box and menu tests: the picture scene's files and cache, a glyph cache
// of plain boxes (a 16-pixel font is 16 high and 8 wide per single-byte character), and an
// object list whose input, update and clock run one frame at a time.
#include <memory>
#include <string>

#include "controls/control_factory.h"
#include "controls/novu_menu.h"
#include "core/process_state.h"
#include "expr/param_collection.h"
#include "image_fixtures.h"
#include "objects/base_list.h"
#include "platform/glyph_source.h"
#include "text/font_pixel.h"

namespace novu::testing {

// A scroll picture of seven 10 x 10 cells; cell i is coloured 0x10 * (i + 1) in red.
inline std::vector<uint8_t> ScrollPicture(int32_t cell_width = 10, int32_t cell_height = 10) {
  FrameSpec f;
  f.width = 7 * cell_width;
  f.height = cell_height;
  f.colour = [cell_width](int x, int) { return 0x10 * (x / std::max(cell_width, 1) + 1); };
  return MakeFip({f});
}

struct MenuScene {
  MenuScene()
      : glyphs(std::make_unique<platform::FixedGlyphSource>()),
        cache(store.Loader()),
        list(MakeControlFactory(Env())) {
    list.SetSize(800, 600);
    list.SetProcessState(&state);
    store.files["scroll.fip"] = ScrollPicture();
  }

  ImageEnvironment Env() {
    ImageEnvironment env{&cache, &state, &vars};
    env.glyphs = &glyphs;
    return env;
  }

  // A menu of `items` lines "item0", "item1", ... showing `rows` rows, open at (100, 50).
  TNovuMenu& AddMenu(int items, int rows, const std::string& name = "menu") {
    std::unique_ptr<TNovuObject> object = list.CreateByType(LT_MENU);
    auto& menu = dynamic_cast<TNovuMenu&>(*object);
    list.base(0).AddChild(std::move(object));
    menu.SetName(name);
    std::string text;
    for (int i = 0; i < items; ++i) text += (i > 0 ? "\r\n" : "") + ("item" + std::to_string(i));
    menu.SetProperty(PR_TEXT, text);
    menu.SetProperty(PR_ROWCOUNT, rows);
    menu.SetProperty(PR_FONTHEIGHT, 16);
    menu.SetBounds(100, 50, 0, 0);
    menu.SetPlayMode(LP_PLAY);
    return menu;
  }

  // One frame of `elapsed_ms`: the clock runs, input is routed, objects update.
  void Tick(int32_t elapsed_ms = 10) {
    state.game_clock += elapsed_ms;
    state.frame_delta = elapsed_ms;
    list.input().ProcessInput(elapsed_ms);
    list.Update();
  }

  // The queued entries of `sender` with `event_id`.
  int Queued(const TNovuObject& sender, PropId event_id) const {
    int n = 0;
    for (const auto& e : const_cast<TNovuBaseList&>(list).queue().entries()) {
      n += e.sender == &sender && e.event_id == event_id ? 1 : 0;
    }
    return n;
  }

  FileStore store;
  ProcessState state;
  TParamCollection vars;
  text::TFontPixelManager glyphs;
  TFipoCollection cache;
  TNovuBaseList list;
};

}  // namespace novu::testing
