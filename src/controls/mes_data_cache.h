#pragma once
// TMesDataCacheList: the documents of TextIns commands a message window (or a history) shows,
// decoded once. It keeps the texts of the four script pages used last (names compared without
// regard to case), each with up to sixteen decoded documents; a lookup moves its hit to the
// front and the least recently used page or document goes when a limit is passed.
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>

#include "controls/message_text_source.h"
#include "text/kx_word.h"

namespace novu {

class TParamCollection;

class TMesDataCacheList {
 public:
  static constexpr size_t kMaxPages = 4;
  static constexpr size_t kMaxWords = 16;

  explicit TMesDataCacheList(MessageTextSource* source = nullptr) : source_(source) {}

  void SetSource(MessageTextSource* source);
  // The document of the TextIns at `command_index` of `page`; none when the page cannot be had,
  // the index is out of range, the command is no TextIns or its text cannot be decoded.
  text::TKxWord* Find(std::string_view page, int32_t command_index, TParamCollection* variables);
  bool PageExists(std::string_view page);
  void Clear() { pages_.clear(); }

 private:
  struct Word {
    int32_t command_index = 0;
    std::unique_ptr<text::TKxWord> word;
  };
  struct Page {
    std::string name;
    PageTexts texts;
    std::list<Word> words;  // most recently used first
  };
  Page* FindPage(std::string_view name);

  MessageTextSource* source_;
  std::list<Page> pages_;  // most recently used first
};

}  // namespace novu
