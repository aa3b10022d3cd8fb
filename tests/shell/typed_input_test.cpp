// Typed text on its way in: the "text" lines of a headless input script, and the window's key
// and text events handed to a text-entry box before the game sees them.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/error.h"
#include "shell/input_script.h"
#include "shell/view.h"

namespace novu {
namespace {

using platform::InputEvent;
using Kind = InputEvent::Kind;

TEST(TypedInputScript, TheRestOfTheLineIsTheText) {
  struct Case {
    std::string line;
    int64_t tick;
    std::string text;
  };
  const Case cases[] = {
      {"4 text 山田", 4, "山田"},
      {"4 text a # not a comment", 4, "a # not a comment"},
      {"  7\ttext  two blanks", 7, " two blanks"},  // one blank ends the word
      {"2 text", 2, ""},
      {"3 text crlf\r", 3, "crlf"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    InputScript script = InputScript::Parse(c.line + "\n");
    ASSERT_EQ(script.events().size(), 1u);
    EXPECT_EQ(script.events()[0].tick, c.tick);
    EXPECT_EQ(script.events()[0].event.kind, Kind::TextInput);
    EXPECT_EQ(script.events()[0].event.text, c.text);
  }
}

TEST(TypedInputScript, TextLinesKeepTheirPlaceAmongTheOtherEvents) {
  InputScript script = InputScript::Parse("3 key 13\n# 1 text not typed\n1 text first\n");
  ASSERT_EQ(script.events().size(), 3u);  // the key, its release, the text
  std::vector<InputEvent> due;
  script.TakeDue(1, due);
  ASSERT_EQ(due.size(), 1u);
  EXPECT_EQ(due[0].text, "first");
  for (const char* bad : {"x text a", "0 text a", "1 textual a"}) {
    EXPECT_THROW(InputScript::Parse(bad), std::invalid_argument) << bad;
  }
}

struct TextHooks : GameHooks {
  bool box_takes_keys = true;
  std::vector<int> text_keys, game_keys, released;
  std::vector<std::string> typed, composed;
  bool TextKeyDown(int vk) override {
    text_keys.push_back(vk);
    return box_takes_keys;
  }
  void TextKeyUp(int vk) override { released.push_back(vk); }
  void KeyDown(int vk) override { game_keys.push_back(vk); }
  void TypeText(const std::string& utf8) override { typed.push_back(utf8); }
  void ComposeText(const std::string& utf8) override { composed.push_back(utf8); }
};

struct SilentWindow : platform::Window {
  void SetTitle(std::string_view) override {}
  void SetPanelSize(int, int) override {}
  void SetFullScreen(bool) override {}
  bool IsFullScreen() const override { return false; }
  void SetToolbarVisible(bool) override {}
  void Present(const platform::FrameView&, std::span<const platform::PixelRect>) override {}
  void PollEvents(std::vector<InputEvent>&) override {}
};

struct NoBoxes : platform::MessageBoxService {
  platform::MessageResult Show(std::string_view, std::string_view, platform::MessageButtons,
                               platform::MessageIcon) override {
    return platform::MessageResult::NotShown;
  }
};

TEST(TypedInputView, ABoxHoldingTheKeyboardHearsKeysFirst) {
  ProcessState state;
  TextHooks hooks;
  SilentWindow window;
  NoBoxes boxes;
  TFormView view(state, hooks, window, boxes);
  view.SetProjectReady(true);
  InputEvent key{Kind::KeyDown};
  key.vk = 8;
  view.HandleEvent(key, 0);
  key.repeat = true;  // repeats reach the box too
  view.HandleEvent(key, 0);
  InputEvent up{Kind::KeyUp};
  up.vk = 8;
  view.HandleEvent(up, 0);
  InputEvent typed{Kind::TextInput};
  typed.text = "山";
  view.HandleEvent(typed, 0);
  InputEvent composing{Kind::TextEditing};
  composing.text = "やま";
  view.HandleEvent(composing, 0);
  EXPECT_EQ(hooks.text_keys, (std::vector<int>{8, 8}));
  EXPECT_TRUE(hooks.game_keys.empty());
  EXPECT_EQ(hooks.released, (std::vector<int>{8}));
  EXPECT_EQ(hooks.typed, (std::vector<std::string>{"山"}));
  EXPECT_EQ(hooks.composed, (std::vector<std::string>{"やま"}));

  hooks.box_takes_keys = false;  // no box holds the keyboard: the game gets the key
  key.repeat = false;
  view.HandleEvent(key, 0);
  EXPECT_EQ(hooks.game_keys, (std::vector<int>{8}));
}

}  // namespace
}  // namespace novu
