// GetDisplayMode reads the screen manager's list of full-screen modes.
#include <gtest/gtest.h>

#include "expr/expr_test_support.h"
#include "platform/headless_window.h"
#include "shell/runtime.h"

namespace novu {
namespace {

class ModeWindow final : public platform::HeadlessWindow {
 public:
  std::vector<platform::DisplayModeInfo> DisplayModes() const override {
    return {{640, 480, 32, 60}, {320, 200, 32, 60}, {800, 600, 16, 75}};
  }
};

TEST(DisplayModeFunction, StoresTheModeOrAnswersFalse) {
  Runtime runtime;
  runtime.window = std::make_unique<ModeWindow>();
  runtime.messages = std::make_unique<platform::HeadlessMessageBoxes>();
  runtime.files = std::make_unique<TVrFileManager>();
  runtime.vars = std::make_unique<TParamCollection>();
  runtime.objects = std::make_unique<TNovuBaseList>();
  runtime.CreateScreens(640, 480, 640, 480);
  runtime.InstallFunctions();
  TParamCollection& table = *runtime.vars;
  for (const char* name : {"w", "h", "b", "r"}) test::Var(table, name, PT_INT);
  ASSERT_EQ(runtime.screens->ModeCount(), 2);  // 320 x 200 is smaller than the screen
  struct Case {
    int index;
    const char* result;
    const char* mode;
  };
  const Case cases[] = {
      {0, "TRUE", "640x480x32@60"},
      {1, "TRUE", "800x600x16@75"},
      {2, "FALSE", "800x600x16@75"},  // out of range: the variables keep their values
      {-1, "FALSE", "800x600x16@75"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(
        test::Evaluate(table, "GetDisplayMode(" + std::to_string(c.index) + ", w, h, b, r)").text,
        c.result)
        << c.index;
    EXPECT_EQ(test::Evaluate(table,
                             "IntToStr(w) ++ \"x\" ++ IntToStr(h) ++ \"x\" ++ "
                             "IntToStr(b) ++ \"@\" ++ IntToStr(r)")
                  .text,
              c.mode)
        << c.index;
  }
}

}  // namespace
}  // namespace novu
