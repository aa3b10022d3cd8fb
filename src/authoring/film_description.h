#pragma once
// A readable text form of motion files (".nmt"), for authors and tests (UTF-8 text; strings are
// converted to CP932). One field a line, `key value...`; "#" starts a comment line. The first
// line names the tag and version; each `track KIND` starts a track whose fields follow, named
// as `novutool film show` prints them (values as the file stores them: files of version 106 and
// older count 1/30-second frames, sound volumes of version 107 and older are stored v with
// v / 10 + 1000 played):
//
//   film NovuMotion 108
//   screen 640 480
//   background -1
//   loop_start 0
//   track image
//     length 60
//     pos_start 0 0
//     pos_end 100 0
//     image "pic\\logo.fip"
//   track transition
//     start 30
//     length 40
//     type 1
//
// KIND is image, label, box, transition, sound, tile, particle or fire. Points are two whole
// numbers, reals are decimal numbers. Fields left out keep their defaults; a field the kind or
// the version does not have is an error naming the line.
#include <string>
#include <string_view>

#include "render/film_file.h"

namespace novu {

// Raises NovuError naming the line for a malformed description.
render::FilmFile ParseFilmDescription(std::string_view utf8_text);
std::string PrintFilmDescription(const render::FilmFile& film);

}  // namespace novu
