#include "core/ini_edit.h"

#include <optional>
#include <vector>

#include "core/cp932.h"

namespace novu {
namespace {

std::string_view Trim(std::string_view s) {
  const size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string_view::npos) return {};
  const size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

// One line of the file: its content and the line end that followed it ("" for the last line
// of a file without a final line end).
struct Line {
  std::string_view content;
  std::string_view end;
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t newline = text.find('\n', start);
    if (newline == std::string_view::npos) {
      lines.push_back({text.substr(start), {}});
      break;
    }
    size_t content_end = newline;
    if (content_end > start && text[content_end - 1] == '\r') --content_end;
    lines.push_back({text.substr(start, content_end - start),
                     text.substr(content_end, newline + 1 - content_end)});
    start = newline + 1;
  }
  return lines;
}

// The section a line opens, as IniFile reads it.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  const size_t close = line.find(']');
  return line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1);
}

// The key a line sets, as IniFile reads it; with the key's text as written.
std::optional<std::string_view> KeyName(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') return std::nullopt;
  const size_t eq = trimmed.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return Trim(trimmed.substr(0, eq));
}

bool SameName(std::string_view a, std::string_view b) {
  return cp932::EqualsNoCase(Trim(a), Trim(b));
}

}  // namespace

std::string WithIniValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value) {
  std::vector<Line> lines = SplitLines(text);
  const std::string_view line_end = text.find("\r\n") != std::string_view::npos ? "\r\n"
                                    : text.find('\n') != std::string_view::npos ? "\n"
                                                                                : "\r\n";

  std::optional<size_t> key_line;      // the line that sets the key
  std::optional<size_t> insert_after;  // the last non-blank line of the first section block
  bool in_section = false;
  bool first_block_done = false;
  for (size_t i = 0; i < lines.size() && !key_line; ++i) {
    if (auto name = SectionName(lines[i].content)) {
      if (in_section) first_block_done = true;
      in_section = SameName(*name, section);
      if (in_section && !first_block_done) insert_after = i;
      continue;
    }
    if (!in_section) continue;
    if (auto name = KeyName(lines[i].content); name && SameName(*name, key)) key_line = i;
    if (!first_block_done && !Trim(lines[i].content).empty()) insert_after = i;
  }

  std::string new_line;
  std::string out;
  auto append = [&out](std::string_view content, std::string_view end) {
    out.append(content);
    out.append(end);
  };
  if (key_line) {
    const std::string_view content = lines[*key_line].content;
    const std::string_view written_key = *KeyName(content);
    const size_t indent = content.find(written_key);
    new_line = std::string(content.substr(0, indent)) + std::string(written_key) + "=" +
               std::string(value);
  } else {
    new_line = std::string(Trim(key)) + "=" + std::string(value);
  }

  for (size_t i = 0; i < lines.size(); ++i) {
    if (key_line && i == *key_line) {
      // The line keeps its own end; a last line without one stays without.
      append(new_line, lines[i].end);
      continue;
    }
    append(lines[i].content, lines[i].end);
    if (!key_line && insert_after && i == *insert_after) {
      if (lines[i].end.empty()) out.append(line_end);
      append(new_line, line_end);
    }
  }
  if (!key_line && !insert_after) {
    if (!out.empty() && out.back() != '\n') out.append(line_end);
    append("[" + std::string(Trim(section)) + "]", line_end);
    append(new_line, line_end);
  }
  return out;
}

}  // namespace novu
