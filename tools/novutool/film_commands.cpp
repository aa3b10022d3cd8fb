// novutool film build / show: motion files (".nmt") from and to their text description.
#include <cstdio>

#include "authoring/film_description.h"
#include "platform/file_io.h"
#include "render/film_file.h"
#include "tool_command.h"

namespace novu::tool {
namespace {

int FilmBuild(const Args& given) {
  Args args = given;
  const std::string output = TakeOption(args, "-o");
  if (args.size() != 1 || output.empty()) return Usage("film build");
  const auto text = platform::ReadWholeFile(args[0]);
  if (!text) return Fail("cannot read " + args[0]);
  const render::FilmFile film = ParseFilmDescription(
      std::string_view(reinterpret_cast<const char*>(text->data()), text->size()));
  platform::WriteFileAtomically(output, film.Save());
  return 0;
}

int FilmShow(const Args& args) {
  if (args.size() != 1) return Usage("film show");
  const auto data = platform::ReadWholeFile(args[0]);
  if (!data) return Fail("cannot read " + args[0]);
  if (!render::FilmFile::HasMagic(*data)) {
    return Fail(args[0] + " is not a motion file: it begins with neither " +
                std::string(render::FilmFile::kCinemaMagic) + " nor " +
                std::string(render::FilmFile::kMotionMagic));
  }
  render::FilmFile film;
  film.Load(*data);
  const std::string text = PrintFilmDescription(film);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}

}  // namespace

NOVU_TOOL_COMMAND("film build", "DESCRIPTION -o FILE.nmt",
                  "write a motion file from its text description", FilmBuild);
NOVU_TOOL_COMMAND("film show", "FILE.nmt",
                  "print a motion file as a text description (film build reads it back)", FilmShow);

}  // namespace novu::tool
