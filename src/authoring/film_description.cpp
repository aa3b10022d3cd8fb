#include "authoring/film_description.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "authoring/description_syntax.h"
#include "core/integer_text.h"
#include "platform/error.h"

namespace novu {
namespace {

using render::FilmFile;
using render::FrameListFields;
using render::TCustomFrameList;

constexpr const char* kKindNames[render::kFrameListKindCount] = {
    "image", "label", "box", "transition", "sound", "tile", "particle", "fire"};

using Line = DescriptionSyntax::Line;
const DescriptionSyntax kSyntax("film description");

[[noreturn]] void Fail(int line, const std::string& what) {
  kSyntax.Fail(line, what);
}

void NeedWords(const Line& line, size_t count) {
  if (line.words.size() != count + 1) {
    Fail(line.number, "'" + line.words[0] + "' takes " + std::to_string(count) +
                          (count == 1 ? " value" : " values"));
  }
}

int64_t Whole(const Line& line, size_t index, int64_t low, int64_t high) {
  const std::string& w = line.words[index];
  const auto value = ParseInteger(w);
  if (!value) Fail(line.number, "'" + w + "' is not a whole number");
  if (*value < low || *value > high) Fail(line.number, "'" + w + "' is out of range");
  return *value;
}

int32_t I32(const Line& line, size_t index) {
  return static_cast<int32_t>(Whole(line, index, INT32_MIN, INT32_MAX));
}

// Reads a track's fields from the lines given for it; each line is taken once.
class TextFieldReader final : public FrameListFields {
 public:
  TextFieldReader(int version, std::map<std::string, Line>& lines)
      : version_(version), lines_(lines) {}
  int version() const override { return version_; }
  void I32(std::string_view name, int32_t& v) override {
    if (const Line* line = Take(name, 1)) v = novu::I32(*line, 1);
  }
  void U8(std::string_view name, uint8_t& v) override {
    if (const Line* line = Take(name, 1)) v = static_cast<uint8_t>(Whole(*line, 1, 0, 255));
  }
  void F64(std::string_view name, double& v) override {
    const Line* line = Take(name, 1);
    if (line == nullptr) return;
    const std::string& w = line->words[1];
    char* end = nullptr;
    v = std::strtod(w.c_str(), &end);
    if (end == w.c_str() || *end != '\0') Fail(line->number, "'" + w + "' is not a number");
  }
  void Str(std::string_view name, std::string& v) override {
    if (const Line* line = Take(name, 1)) v = DescriptionSyntax::ToCp932(line->words[1]);
  }
  void Pt(std::string_view name, Point& v) override {
    if (const Line* line = Take(name, 2)) v = {novu::I32(*line, 1), novu::I32(*line, 2)};
  }

 private:
  const Line* Take(std::string_view name, size_t count) {
    auto it = lines_.find(std::string(name));
    if (it == lines_.end()) return nullptr;
    taken_ = it->second;
    lines_.erase(it);
    NeedWords(taken_, count);
    return &taken_;
  }

  int version_;
  std::map<std::string, Line>& lines_;
  Line taken_;
};

std::string FormatReal(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

// Prints a track's fields, each name once (tiles store their clip block twice).
class TextFieldWriter final : public FrameListFields {
 public:
  TextFieldWriter(int version, std::ostringstream& out) : version_(version), out_(out) {}
  int version() const override { return version_; }
  void I32(std::string_view name, int32_t& v) override { Put(name, std::to_string(v)); }
  void U8(std::string_view name, uint8_t& v) override { Put(name, std::to_string(v)); }
  void F64(std::string_view name, double& v) override { Put(name, FormatReal(v)); }
  void Str(std::string_view name, std::string& v) override {
    Put(name, DescriptionSyntax::Quote(v));
  }
  void Pt(std::string_view name, Point& v) override {
    Put(name, std::to_string(v.x) + " " + std::to_string(v.y));
  }

 private:
  void Put(std::string_view name, const std::string& value) {
    if (!printed_.insert(std::string(name)).second) return;
    out_ << "  " << name << " " << value << "\n";
  }

  int version_;
  std::ostringstream& out_;
  std::set<std::string> printed_;
};

struct TrackLines {
  int number = 0;
  uint8_t kind = 0;
  std::map<std::string, Line> fields;
};

void ReadHeaderLine(FilmFile& film, const Line& line) {
  const std::string& key = line.words[0];
  auto gate = [&](int since) {
    if (film.version < since) {
      Fail(line.number, "'" + key + "' is not in files of version " + std::to_string(film.version));
    }
  };
  if (key == "screen") {
    NeedWords(line, 2);
    film.screen = {I32(line, 1), I32(line, 2)};
  } else if (key == "background") {
    NeedWords(line, 1);
    film.background = I32(line, 1);
  } else if (key == "relative") {
    gate(102);
    NeedWords(line, 1);
    film.relative = static_cast<uint8_t>(Whole(line, 1, 0, 255));
  } else if (key == "reference") {
    gate(104);
    NeedWords(line, 2);
    film.reference = {I32(line, 1), I32(line, 2)};
  } else if (key == "loop_start") {
    gate(106);
    NeedWords(line, 1);
    film.loop_start = I32(line, 1);
  } else {
    Fail(line.number, "unknown field '" + key + "'");
  }
}

uint8_t KindOf(const Line& line) {
  NeedWords(line, 1);
  for (int kind = 0; kind < render::kFrameListKindCount; ++kind) {
    if (line.words[1] == kKindNames[kind]) return static_cast<uint8_t>(kind);
  }
  Fail(line.number, "unknown track kind '" + line.words[1] + "'");
}

}  // namespace

FilmFile ParseFilmDescription(std::string_view text) {
  FilmFile film;
  std::istringstream in{std::string(text)};
  std::string raw;
  int number = 0;
  bool headed = false;
  std::vector<TrackLines> tracks;
  while (std::getline(in, raw)) {
    ++number;
    Line line{number, kSyntax.SplitWords(raw, number)};
    if (line.words.empty() || line.words[0].starts_with("#")) continue;
    const std::string& key = line.words[0];
    if (!headed) {
      if (key != "film") Fail(number, "a film description begins with 'film MAGIC VERSION'");
      NeedWords(line, 2);
      if (line.words[1] != FilmFile::kCinemaMagic && line.words[1] != FilmFile::kMotionMagic) {
        Fail(number, "the tag is NovuCinema or NovuMotion");
      }
      film.magic = line.words[1];
      film.version = static_cast<int>(Whole(line, 2, 0, 999));
      headed = true;
    } else if (key == "track") {
      tracks.push_back({number, KindOf(line), {}});
    } else if (tracks.empty()) {
      ReadHeaderLine(film, line);
    } else if (!tracks.back().fields.emplace(key, line).second) {
      Fail(number, "'" + key + "' given twice in one track");
    }
  }
  if (!headed) Fail(number, "a film description begins with 'film MAGIC VERSION'");
  for (TrackLines& track : tracks) {
    std::unique_ptr<TCustomFrameList> list = TCustomFrameList::Create(track.kind);
    TextFieldReader fields(film.version, track.fields);
    list->VisitRecord(fields);
    if (!track.fields.empty()) {
      const Line& left = track.fields.begin()->second;
      Fail(left.number, "a track of kind " + std::string(kKindNames[track.kind]) + " in version " +
                            std::to_string(film.version) + " files has no field '" + left.words[0] +
                            "'");
    }
    film.lists().push_back(std::move(list));
  }
  film.Link();
  return film;
}

std::string PrintFilmDescription(const FilmFile& film) {
  std::ostringstream out;
  out << "film " << film.magic << " " << film.version << "\n";
  out << "# " << film.Length() << " film frames of 1/60 s, loop start " << film.LoopStart() << "\n";
  out << "screen " << film.screen.x << " " << film.screen.y << "\n";
  out << "background " << film.background << "\n";
  if (film.version >= 102) out << "relative " << int{film.relative} << "\n";
  if (film.version >= 104)
    out << "reference " << film.reference.x << " " << film.reference.y << "\n";
  if (film.version >= 106) out << "loop_start " << film.loop_start << "\n";
  for (size_t i = 0; i < film.lists().size(); ++i) {
    TCustomFrameList& list = *film.lists()[i];
    out << "track " << kKindNames[list.Kind()] << "\n";
    out << "  # list " << i << ": film frames " << list.AbsoluteStart() << " to "
        << list.AbsoluteEnd() - 1 << (list.parent() != nullptr ? ", continues its parent" : "")
        << "\n";
    TextFieldWriter fields(film.version, out);
    list.VisitRecord(fields);
  }
  return out.str();
}

}  // namespace novu
