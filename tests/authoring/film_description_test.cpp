// The text form of motion files: what `film show` prints, `film build` reads back to the same
// bytes, for every version; mistakes name their line.
#include <gtest/gtest.h>

#include <string>

#include "authoring/film_description.h"
#include "platform/error.h"

namespace novu {
namespace {

std::string Description(int version, const std::string& tracks) {
  return "film NovuCinema " + std::to_string(version) + "\nscreen 320 240\nbackground 255\n" +
         tracks;
}

const char* kTracks = R"(track image
  length 30
  pos_end 100 -20
  scale_x_end 1.5
  image "pic\\logo.fip"
track image
  parent 0
  length 10
track sound
  sound "se\\bell.wav"
  volume_start 800
track label
  text "タイトル"
track box
  fill_start 255
track transition
  type 3
track tile
  spacing_x 8
track particle
  p0_end 0.25
track fire
  power 90
)";

TEST(FilmDescriptionTest, PrintedFilmsOfEveryVersionBuildToTheSameBytes) {
  for (int version = 100; version <= 108; ++version) {
    SCOPED_TRACE(version);
    const render::FilmFile film = ParseFilmDescription(Description(version, kTracks));
    ASSERT_EQ(film.lists().size(), 9u);
    EXPECT_EQ(film.lists()[1]->parent(), film.lists()[0].get());
    const std::vector<uint8_t> bytes = film.Save();
    const std::string printed = PrintFilmDescription(film);
    EXPECT_EQ(ParseFilmDescription(printed).Save(), bytes) << printed;
    render::FilmFile read;
    read.Load(bytes);
    EXPECT_EQ(PrintFilmDescription(read), printed);
  }
}

TEST(FilmDescriptionTest, MistakesNameTheirLine) {
  struct Case {
    std::string text;
    const char* says;
  };
  const Case cases[] = {
      {"screen 1 2\n", "line 1: a film description begins"},
      {"film NovuFilm 108\n", "line 1: the tag is"},
      {Description(105, "loop_start 3\n"), "line 4: 'loop_start' is not in files of version 105"},
      {Description(104, "track image\n  scale_y_end 2\n"),
       "line 5: a track of kind image in version 104 files has no field 'scale_y_end'"},
      {Description(108, "track sprite\n"), "line 4: unknown track kind 'sprite'"},
      {Description(108, "track box\n  length 1 2\n"), "line 5: 'length' takes 1 value"},
      {Description(108, "track box\n  mode_x 256\n"), "line 5: '256' is out of range"},
      {Description(108, "track box\n  length 1\n  length 2\n"), "line 6: 'length' given twice"},
  };
  for (const Case& c : cases) {
    try {
      ParseFilmDescription(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const NovuError& e) {
      EXPECT_NE(e.Utf8Message().find(c.says), std::string::npos) << e.Utf8Message();
    }
  }
}

}  // namespace
}  // namespace novu
