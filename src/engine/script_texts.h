#pragma once
// The compiled texts of the game's script pages for message windows and histories: a page file
// is read and decoded, and the text data of each of its TextIns commands is handed out by
// command index.
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "controls/message_text_source.h"

namespace novu {

class ScriptTexts final : public MessageTextSource {
 public:
  using Exists = std::function<bool(std::string_view)>;
  // Raises NovuError when the file cannot be read.
  using Load = std::function<std::vector<uint8_t>(std::string_view)>;

  ScriptTexts(Exists exists, Load load) : exists_(std::move(exists)), load_(std::move(load)) {}

  bool PageExists(std::string_view page) override;
  std::optional<PageTexts> Texts(std::string_view page) override;

 private:
  Exists exists_;
  Load load_;
};

}  // namespace novu
