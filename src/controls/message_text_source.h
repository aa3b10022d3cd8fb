#pragma once
// Where message windows and histories find the compiled text of TextIns commands: the script
// pages of the running game. The engine implements it over the project's pages; controls only
// see the text data by page name and command index.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace novu {

// The text data of each command of one script page, by command index: the glyph stream of a
// TextIns, none for every other command.
using PageTexts = std::vector<std::optional<std::vector<uint8_t>>>;

class MessageTextSource {
 public:
  virtual ~MessageTextSource() = default;
  // True when the game has a script page of that name.
  virtual bool PageExists(std::string_view page) = 0;
  // The texts of the page; none when it cannot be had (missing or damaged).
  virtual std::optional<PageTexts> Texts(std::string_view page) = 0;
};

}  // namespace novu
