#pragma once
// The input layout of the message-window fuzz target: one byte choosing the save version, then
// one window's saved record. The window finds the script page "p.nsb", whose commands 0 and 1
// are TextIns texts (a paced one with a link, a variable and an event, and one of two pages)
// and whose command 2 is something else; its glyphs come from the fixed test glyph source.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/control_factory.h"
#include "controls/message_text_source.h"
#include "controls/novu_history.h"
#include "controls/novu_mes.h"
#include "controls/novu_read_list.h"
#include "core/binary_writer.h"
#include "core/cp932.h"
#include "core/process_state.h"
#include "expr/param_collection.h"
#include "objects/base_list.h"
#include "objects_stream.h"
#include "platform/glyph_source.h"
#include "text/font_pixel.h"

namespace novu::fuzz {

inline std::vector<uint8_t> GlyphStream(const std::string& markup) {
  text::TKxWord word;
  word.SetSource(std::vector<std::string>{markup});
  BinaryWriter out;
  word.SaveGlyphs(out);
  return out.Take();
}

class OnePageTexts final : public MessageTextSource {
 public:
  bool PageExists(std::string_view page) override { return cp932::EqualsNoCase(page, "p.nsb"); }
  std::optional<PageTexts> Texts(std::string_view page) override {
    if (!PageExists(page)) return std::nullopt;
    PageTexts texts(3);
    texts[0] = GlyphStream(
        "<WAIT VALUE=30>a<A HREF=\"go\">bc</A><VAR NAME=\"v\"><EVENT VALUE=\"e\">d<BR>ef");
    texts[1] = GlyphStream("one<BR CLEAR>two<BR>three");
    return texts;
  }
};

struct MessageScene {
  MessageScene()
      : glyphs(std::make_unique<platform::FixedGlyphSource>()),
        list(MakeControlFactory(ImageEnvironment{nullptr, &state, &vars, nullptr, &glyphs, &texts,
                                                 &reads, &histories})) {
    state.frame_delta = 15;
    list.SetSize(64, 48);
    list.SetProcessState(&state);
    histories.SetTextSource(&texts, &vars);
  }

  ProcessState state;
  TParamCollection vars;
  text::TFontPixelManager glyphs;
  OnePageTexts texts;
  TNovuReadList reads;
  TNovuHistoryFormatManager histories;
  TNovuBaseList list;
};

}  // namespace novu::fuzz
