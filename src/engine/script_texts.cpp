#include "engine/script_texts.h"

#include "engine/page.h"
#include "platform/error.h"

namespace novu {

bool ScriptTexts::PageExists(std::string_view page) {
  return !page.empty() && exists_ && exists_(page);
}

std::optional<PageTexts> ScriptTexts::Texts(std::string_view name) {
  if (!PageExists(name) || !load_) return std::nullopt;
  TPage page;
  try {
    const std::vector<uint8_t> data = load_(name);
    if (page.Load(name, data) != TPage::LoadResult::kLoaded) return std::nullopt;
  } catch (const NovuError&) {
    return std::nullopt;
  }
  PageTexts texts(static_cast<size_t>(page.Count()));
  for (int32_t i = 0; i < page.Count(); ++i) {
    const TCommand& command = page.Command(i);
    if (command.GetCode() != kOpTextIns || command.fields().empty()) continue;
    const std::string& data = command.fields().front().text;
    texts[static_cast<size_t>(i)].emplace(data.begin(), data.end());
  }
  return texts;
}

}  // namespace novu
