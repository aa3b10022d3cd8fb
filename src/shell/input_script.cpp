#include "shell/input_script.h"

#include <algorithm>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "core/integer_text.h"

namespace novu {
namespace {

using platform::InputEvent;
using platform::MouseButton;
using Kind = InputEvent::Kind;

int64_t Number(const std::string& word, const std::string& where) {
  auto value = ParseInteger(word);
  if (!value) throw std::invalid_argument(where + ": '" + word + "' is not a number");
  return *value;
}

MouseButton Button(const std::string& word, const std::string& where) {
  if (word == "left") return MouseButton::Left;
  if (word == "right") return MouseButton::Right;
  throw std::invalid_argument(where + ": the button is left or right, not '" + word + "'");
}

struct TypedLine {
  std::string tick;
  std::string text;
};

// "TICK text REST": the rest of the line after one blank is the text, '#' and all (a CR left by
// a CR LF file is not part of it).
std::optional<TypedLine> ReadTypedLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  const auto is_blank = [](char c) { return c == ' ' || c == '\t'; };
  size_t at = 0;
  while (at < line.size() && is_blank(line[at])) ++at;
  const size_t tick_begin = at;
  while (at < line.size() && !is_blank(line[at])) ++at;
  const size_t tick_end = at;
  while (at < line.size() && is_blank(line[at])) ++at;
  if (tick_begin == tick_end || line.substr(tick_begin, 1) == "#" || line.substr(at, 4) != "text" ||
      (at + 4 < line.size() && !is_blank(line[at + 4]))) {
    return std::nullopt;
  }
  at += 4;
  if (at < line.size()) ++at;  // the one blank after the word
  return TypedLine{std::string(line.substr(tick_begin, tick_end - tick_begin)),
                   std::string(line.substr(at))};
}

}  // namespace

InputScript InputScript::Parse(std::string_view text) {
  InputScript script;
  std::istringstream lines{std::string(text)};
  std::string line;
  int line_number = 0;
  while (std::getline(lines, line)) {
    ++line_number;
    if (std::optional<TypedLine> typed = ReadTypedLine(line)) {
      const std::string where = "input line " + std::to_string(line_number);
      const int64_t tick = Number(typed->tick, where);
      if (tick < 1) throw std::invalid_argument(where + ": ticks count from 1");
      InputEvent e{InputEvent::Kind::TextInput};
      e.text = typed->text;
      script.events_.push_back({tick, std::move(e), false});
      continue;
    }
    line = line.substr(0, line.find('#'));
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string word; words >> word;) w.push_back(word);
    if (w.empty()) continue;
    const std::string where = "input line " + std::to_string(line_number);
    auto need = [&](size_t count) {
      if (w.size() != count) {
        throw std::invalid_argument(where + ": " + w[1] + " takes " + std::to_string(count - 2) +
                                    " argument(s)");
      }
    };
    if (w.size() < 2) throw std::invalid_argument(where + ": expected TICK EVENT ARGS");
    int64_t tick = Number(w[0], where);
    if (tick < 1) throw std::invalid_argument(where + ": ticks count from 1");
    const std::string& name = w[1];
    auto add = [&](int64_t at, InputEvent e, bool release = false) {
      script.events_.push_back({at, e, release});
    };
    InputEvent e{};
    if (name == "move") {
      need(4);
      e.kind = Kind::MouseMove;
      e.x = static_cast<int>(Number(w[2], where));
      e.y = static_cast<int>(Number(w[3], where));
      add(tick, e);
    } else if (name == "down" || name == "up" || name == "click") {
      need(5);
      e.x = static_cast<int>(Number(w[2], where));
      e.y = static_cast<int>(Number(w[3], where));
      e.button = Button(w[4], where);
      e.kind = name == "up" ? Kind::MouseUp : Kind::MouseDown;
      add(tick, e);
      if (name == "click") {
        e.kind = Kind::MouseUp;
        add(tick + 1, e, true);
      }
    } else if (name == "wheel") {
      need(3);
      if (w[2] != "up" && w[2] != "down") {
        throw std::invalid_argument(where + ": wheel takes up or down");
      }
      e.kind = w[2] == "up" ? Kind::WheelUp : Kind::WheelDown;
      add(tick, e);
    } else if (name == "keydown" || name == "keyup" || name == "key") {
      need(3);
      e.vk = static_cast<int>(Number(w[2], where));
      e.kind = name == "keyup" ? Kind::KeyUp : Kind::KeyDown;
      add(tick, e);
      if (name == "key") {
        e.kind = Kind::KeyUp;
        add(tick + 1, e, true);
      }
    } else {
      throw std::invalid_argument(where + ": unknown event '" + name + "'");
    }
  }
  std::stable_sort(script.events_.begin(), script.events_.end(),
                   [](const ScriptedEvent& a, const ScriptedEvent& b) {
                     if (a.tick != b.tick) return a.tick < b.tick;
                     return a.auto_release && !b.auto_release;
                   });
  return script;
}

void InputScript::TakeDue(int64_t tick, std::vector<platform::InputEvent>& out) {
  while (next_ < events_.size() && events_[next_].tick <= tick) {
    out.push_back(events_[next_++].event);
  }
}

}  // namespace novu
