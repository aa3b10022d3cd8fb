#include <gtest/gtest.h>

#include "shell/command_line.h"
#include "shell/game_ini.h"
#include "shell/input_script.h"
#include "shell/instance_key.h"

namespace novu {
namespace {

TEST(GameIni, DelayTimeIsTruncatedAndClamped) {
  const std::pair<int, int> cases[] = {{950, 500}, {50, 100},  {260, 200}, {500, 500},
                                       {-20, 100}, {100, 100}, {399, 300}};
  for (auto [in, out] : cases) EXPECT_EQ(NormalizeDelayTime(in), out) << in;
  GameIniSettings s = GameIniSettings::FromIni(
      IniFile::Parse("[Sound]\nDirectSound=0\nDelayTime=260\n[Video]\nUseWMP=1\n"
                     "[Screen]\nIntegerScaling=1\n"));
  EXPECT_FALSE(s.direct_sound);
  EXPECT_EQ(s.delay_time, 200);
  EXPECT_TRUE(s.use_wmp);
  EXPECT_TRUE(s.integer_scaling);
  GameIniSettings defaults = GameIniSettings::FromIni(IniFile());
  EXPECT_TRUE(defaults.direct_sound);
  EXPECT_EQ(defaults.delay_time, 500);
  EXPECT_FALSE(defaults.use_wmp);
  EXPECT_FALSE(defaults.integer_scaling);
}

TEST(InstanceKey, UpperCasedWithSeparatorsReplaced) {
  const std::pair<std::string, std::string> cases[] = {
      {"/games/My Game", "-GAMES-MY GAME-"},
      {"/games/My Game/", "-GAMES-MY GAME-"},
      {"C:\\Games\\demo", "C:-GAMES-DEMO-"},
      // "表" is 0x95 0x5C: its trail byte is not a separator.
      {"/g/\x95\x5C", "-G-\x95\x5C-"},
  };
  for (const auto& [folder, key] : cases) EXPECT_EQ(InstanceKey(folder), key) << folder;
}

std::variant<CommandLine, std::string> Parse(std::vector<std::string> args) {
  return ParseCommandLine(args);
}

TEST(CommandLine, HeadlessContract) {
  auto parsed =
      Parse({"--headless", "--ticks", "100", "--trace", "-", "--dump-vars", "v.json",
             "--screenshot", "s.png", "--input", "in.txt", "--seed", "42", "game", "extra.dat"});
  const auto* cl = std::get_if<CommandLine>(&parsed);
  ASSERT_NE(cl, nullptr);
  EXPECT_TRUE(cl->headless);
  EXPECT_FALSE(cl->integer_scaling);
  EXPECT_TRUE(std::get<CommandLine>(Parse({"--integer-scaling"})).integer_scaling);
  EXPECT_EQ(cl->ticks, 100);
  EXPECT_EQ(cl->trace_file, "-");
  EXPECT_EQ(cl->dump_vars_file, "v.json");
  EXPECT_EQ(cl->screenshot_file, "s.png");
  EXPECT_EQ(cl->input_file, "in.txt");
  EXPECT_EQ(cl->seed, 42u);
  EXPECT_EQ(cl->sources, (std::vector<std::string>{"game", "extra.dat"}));
  EXPECT_EQ(std::get<CommandLine>(Parse({"--seed", "-1"})).seed, 0xFFFFFFFFu);
}

TEST(CommandLine, ConfigSwitchAndErrors) {
  EXPECT_TRUE(std::get<CommandLine>(Parse({"/CONFIG"})).show_config);
  EXPECT_FALSE(std::get<CommandLine>(Parse({"/config", "x"})).show_config);
  // Options around it do not turn it into a game folder.
  const CommandLine headless = std::get<CommandLine>(Parse({"--headless", "/Config"}));
  EXPECT_TRUE(headless.show_config);
  EXPECT_TRUE(headless.sources.empty());
  for (auto bad : std::vector<std::vector<std::string>>{{"--ticks"},
                                                        {"--ticks", "-1"},
                                                        {"--ticks", "ten"},
                                                        {"--seed", "99999999999"},
                                                        {"--frobnicate"}}) {
    EXPECT_TRUE(std::holds_alternative<std::string>(Parse(bad))) << bad[0];
  }
}

TEST(InputScript, EventsAreDueBeforeTheirTick) {
  InputScript script = InputScript::Parse(
      "# a comment\n"
      "3 click 10 20 left\n"
      "1 move 5 6   # trailing comment\n"
      "2 key 0x20\n"
      "2 wheel down\n"
      "5 down 1 2 right\n");
  std::vector<platform::InputEvent> due;
  script.TakeDue(1, due);
  ASSERT_EQ(due.size(), 1u);
  EXPECT_EQ(due[0].kind, platform::InputEvent::Kind::MouseMove);
  EXPECT_EQ(due[0].x, 5);
  due.clear();
  script.TakeDue(2, due);
  ASSERT_EQ(due.size(), 2u);
  EXPECT_EQ(due[0].kind, platform::InputEvent::Kind::KeyDown);
  EXPECT_EQ(due[0].vk, 0x20);
  EXPECT_EQ(due[1].kind, platform::InputEvent::Kind::WheelDown);
  due.clear();
  script.TakeDue(3, due);
  ASSERT_EQ(due.size(), 2u);
  EXPECT_EQ(due[0].kind, platform::InputEvent::Kind::KeyUp) << "key releases before tick+1";
  EXPECT_EQ(due[1].kind, platform::InputEvent::Kind::MouseDown);
  due.clear();
  script.TakeDue(4, due);
  ASSERT_EQ(due.size(), 1u);
  EXPECT_EQ(due[0].kind, platform::InputEvent::Kind::MouseUp);
  EXPECT_EQ(due[0].button, platform::MouseButton::Left);
}

TEST(InputScript, MalformedLinesNameTheLine) {
  for (const char* bad : {"x move 1 2", "0 move 1 2", "1 move 1", "1 click 1 2 middle",
                          "1 wheel sideways", "1 jump", "1 key A"}) {
    try {
      InputScript::Parse(std::string("\n") + bad);
      ADD_FAILURE() << bad;
    } catch (const std::invalid_argument& e) {
      EXPECT_NE(std::string(e.what()).find("line 2"), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace novu
