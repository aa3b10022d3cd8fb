#include "controls/mes_data_cache.h"

#include "core/binary_reader.h"
#include "core/cp932.h"
#include "platform/error.h"

namespace novu {

void TMesDataCacheList::SetSource(MessageTextSource* source) {
  source_ = source;
  pages_.clear();
}

bool TMesDataCacheList::PageExists(std::string_view page) {
  return source_ != nullptr && !page.empty() && source_->PageExists(page);
}

TMesDataCacheList::Page* TMesDataCacheList::FindPage(std::string_view name) {
  for (auto it = pages_.begin(); it != pages_.end(); ++it) {
    if (!cp932::EqualsNoCase(it->name, name)) continue;
    pages_.splice(pages_.begin(), pages_, it);
    return &pages_.front();
  }
  if (!PageExists(name)) return nullptr;
  std::optional<PageTexts> texts = source_->Texts(name);
  if (!texts) return nullptr;
  pages_.push_front(Page{std::string(name), std::move(*texts), {}});
  while (pages_.size() > kMaxPages) pages_.pop_back();
  return &pages_.front();
}

text::TKxWord* TMesDataCacheList::Find(std::string_view page_name, int32_t command_index,
                                       TParamCollection* variables) {
  Page* page = FindPage(page_name);
  if (page == nullptr || command_index < 0 ||
      static_cast<size_t>(command_index) >= page->texts.size()) {
    return nullptr;
  }
  for (auto it = page->words.begin(); it != page->words.end(); ++it) {
    if (it->command_index != command_index) continue;
    page->words.splice(page->words.begin(), page->words, it);
    return page->words.front().word.get();
  }
  const std::optional<std::vector<uint8_t>>& data = page->texts[command_index];
  if (!data) return nullptr;
  auto word = std::make_unique<text::TKxWord>();
  word->variables = variables;
  try {
    BinaryReader in(*data);
    word->LoadGlyphs(in);
  } catch (const NovuError&) {
    return nullptr;
  }
  page->words.push_front(Word{command_index, std::move(word)});
  while (page->words.size() > kMaxWords) page->words.pop_back();
  return page->words.front().word.get();
}

}  // namespace novu
