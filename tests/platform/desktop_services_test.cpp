// The dialog programs' argument vectors, and the headless services that never block.
#include "platform/desktop_services.h"

#include <gtest/gtest.h>

namespace novu::platform {
namespace {

TEST(DesktopServices, DialogArgumentsAreVectorsWithoutAShell) {
  struct Case {
    const char* tool;
    const char* kind;
    const char* start;
    const char* filter;
    std::vector<std::string> args;
  };
  const Case cases[] = {
      {"zenity",
       "open",
       "/home/u/Desktop",
       "Pictures|*.png;*.jpg|All|*.*",
       {"--file-selection", "--filename=/home/u/Desktop/", "--file-filter=*.png *.jpg",
        "--file-filter=*.*"}},
      {"zenity", "save", "", "", {"--file-selection", "--save", "--confirm-overwrite"}},
      {"zenity", "folder", "", "", {"--file-selection", "--directory"}},
      {"kdialog", "open", "/d", "T|*.txt", {"--getopenfilename", "/d/", "*.txt"}},
      {"kdialog", "save", "", "", {"--getsavefilename", "."}},
      {"kdialog", "folder", "", "", {"--getexistingdirectory", "."}},
      // Quotes and shell characters stay inside one argument.
      {"zenity", "open", "/a b/$(x);'", "", {"--file-selection", "--filename=/a b/$(x);'/"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DialogArguments(c.tool, c.kind, c.start, c.filter), c.args)
        << c.tool << " " << c.kind;
  }
}

TEST(DesktopServices, HeadlessAnswersCancelledAtOnce) {
  HeadlessDesktopServices headless;
  EXPECT_FALSE(headless.OpenUrl("http://example.com"));
  EXPECT_FALSE(headless.ChooseOpenFile("/", ""));
  EXPECT_FALSE(headless.ChooseSaveFile("/", ""));
  EXPECT_FALSE(headless.ChooseFolder());
}

}  // namespace
}  // namespace novu::platform
