#pragma once
// A scene for the text controls: the picture scene's parts plus a glyph cache over the fixed
// glyph source (plain boxes of known size), so every text size and pixel follows from the box
// sizes documented in platform/glyph_source.h, and the keyboard focus of the edit boxes.
#include <memory>
#include <string>

#include "controls/text_entry_focus.h"
#include "image_fixtures.h"
#include "platform/glyph_source.h"
#include "text/font_pixel.h"

namespace novu::testing {

struct LabelScene {
  explicit LabelScene(int32_t background = 0x000000)
      : cache(store.Loader()),
        glyphs(std::make_unique<platform::FixedGlyphSource>()),
        list(MakeControlFactory(Env())) {
    list.SetSize(800, 600);
    list.base(0).SetColor(background);
    list.SetProcessState(&state);
  }

  ImageEnvironment Env() {
    ImageEnvironment env{&cache, &state, &vars};
    env.glyphs = &glyphs;
    env.text_entry = &focus;
    return env;
  }

  template <typename T>
  T& Add(ComponentType type, const std::string& name, TNovuControl* parent = nullptr) {
    std::unique_ptr<TNovuObject> object = list.CreateByType(type);
    T& control = dynamic_cast<T&>(*object);
    (parent != nullptr ? *parent : static_cast<TNovuControl&>(list.base(0)))
        .AddChild(std::move(object));
    control.SetName(name);
    return control;
  }

  void Tick(int32_t elapsed_ms) {
    state.frame_delta = elapsed_ms;
    list.Update();
  }
  render::TCustomDIBX& Draw() {
    list.base(0).InvalidateAll();
    list.Paint();
    return list.ScreenSurface();
  }
  uint32_t PixelAt(int x, int y) { return list.ScreenSurface().GetPixel(x, y); }

  ProcessState state;
  FileStore store;
  TFipoCollection cache;
  TParamCollection vars;
  text::TFontPixelManager glyphs;
  TextEntryFocus focus;
  TNovuBaseList list;
};

}  // namespace novu::testing
