#include "authoring/region_map_text.h"

#include <cctype>
#include <charconv>

#include "platform/error.h"
#include "platform/text_encoding.h"

namespace novu::authoring {
namespace {

class LineReader {
 public:
  LineReader(std::string_view line, int number) : rest_(line), number_(number) {}

  [[noreturn]] void Fail(std::string_view what) const {
    throw NovuError::FromUtf8("line " + std::to_string(number_) + ": " + std::string(what));
  }
  void SkipBlanks() {
    while (!rest_.empty() && std::isspace(static_cast<unsigned char>(rest_.front())))
      rest_.remove_prefix(1);
  }
  bool AtEnd() {
    SkipBlanks();
    return rest_.empty();
  }
  std::string_view Word() {
    SkipBlanks();
    size_t n = 0;
    while (n < rest_.size() && !std::isspace(static_cast<unsigned char>(rest_[n]))) ++n;
    const std::string_view word = rest_.substr(0, n);
    rest_.remove_prefix(n);
    return word;
  }
  std::string Quoted() {
    SkipBlanks();
    if (rest_.empty() || rest_.front() != '"') Fail("a region name in double quotes expected");
    rest_.remove_prefix(1);
    std::string text;
    while (!rest_.empty() && rest_.front() != '"') {
      if (rest_.front() == '\\' && rest_.size() > 1) rest_.remove_prefix(1);
      text += rest_.front();
      rest_.remove_prefix(1);
    }
    if (rest_.empty()) Fail("the region name has no closing quote");
    rest_.remove_prefix(1);
    return text;
  }
  int32_t Number(std::string_view text) const {
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
      Fail("\"" + std::string(text) + "\" is not a 32-bit integer");
    }
    return value;
  }

 private:
  std::string_view rest_;
  int number_;
};

MapRegion ParseLine(LineReader& in) {
  MapRegion region;
  const std::string_view kind = in.Word();
  region.name = platform::Utf8ToCp932(in.Quoted());
  if (kind == "rect" || kind == "ellipse") {
    region.kind = kind == "rect" ? MapRegion::kRectangle : MapRegion::kEllipse;
    for (int32_t* v :
         {&region.bounds.left, &region.bounds.top, &region.bounds.right, &region.bounds.bottom}) {
      if (in.AtEnd()) in.Fail("four bounds expected: left top right bottom");
      *v = in.Number(in.Word());
    }
  } else if (kind == "polygon" || kind.starts_with("polygon/")) {
    region.kind = MapRegion::kPolygon;
    if (kind != "polygon") {
      const int32_t code = in.Number(kind.substr(8));
      if (code < 2 || code > 255) in.Fail("a polygon's kind is 2 .. 255");
      region.kind = static_cast<uint8_t>(code);
    }
    while (!in.AtEnd()) {
      const std::string_view point = in.Word();
      const size_t comma = point.find(',');
      if (comma == std::string_view::npos) in.Fail("a point is written X,Y");
      region.points.push_back(
          {in.Number(point.substr(0, comma)), in.Number(point.substr(comma + 1))});
    }
  } else {
    in.Fail("\"" + std::string(kind) + "\": rect, ellipse or polygon expected");
  }
  if (!in.AtEnd()) in.Fail("more than the region holds");
  return region;
}

std::string QuotedName(std::string_view cp932) {
  std::string out = "\"";
  for (const char c : platform::Cp932ToUtf8(cp932)) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

// A '#' outside a quoted name starts a comment.
std::string_view WithoutComment(std::string_view line) {
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (quoted && line[i] == '\\') {
      ++i;
    } else if (line[i] == '"') {
      quoted = !quoted;
    } else if (line[i] == '#' && !quoted) {
      return line.substr(0, i);
    }
  }
  return line;
}

}  // namespace

RegionMap ParseRegionMapText(std::string_view utf8) {
  RegionMap map;
  int number = 0;
  while (!utf8.empty()) {
    const size_t end = utf8.find('\n');
    std::string_view line = utf8.substr(0, end);
    utf8.remove_prefix(end == std::string_view::npos ? utf8.size() : end + 1);
    ++number;
    line = WithoutComment(line);
    LineReader in(line, number);
    if (in.AtEnd()) continue;
    map.regions().push_back(ParseLine(in));
  }
  return map;
}

std::string RegionMapToText(const RegionMap& map) {
  std::string text;
  for (const MapRegion& r : map.regions()) {
    if (r.IsPolygon()) {
      text +=
          r.kind == MapRegion::kPolygon ? "polygon " : "polygon/" + std::to_string(r.kind) + " ";
      text += QuotedName(r.name);
      for (const Point& p : r.points) text += " " + std::to_string(p.x) + "," + std::to_string(p.y);
    } else {
      text += r.kind == MapRegion::kRectangle ? "rect " : "ellipse ";
      text += QuotedName(r.name);
      for (int32_t v : {r.bounds.left, r.bounds.top, r.bounds.right, r.bounds.bottom}) {
        text += " " + std::to_string(v);
      }
    }
    text += "\n";
  }
  return text;
}

}  // namespace novu::authoring
