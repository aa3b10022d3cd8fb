// Fuzz target: message markup (CP932 bytes) is parsed into a document, whose glyph stream reads
// back into the same glyphs and writes again byte for byte; the document is laid out at a few
// wrap widths and visible heights, and every page is hit-tested.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "platform/error.h"
#include "text/kx_word.h"
#include "text_layout_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace novu;
  text::TKxWord word;
  try {
    word.SetSource(
        std::vector<std::string>{std::string(reinterpret_cast<const char*>(data), size)});
  } catch (const NovuError&) {
    return 0;
  }
  BinaryWriter first;
  word.SaveGlyphs(first);
  text::TKxWord again;
  BinaryReader in{std::span<const uint8_t>(first.bytes())};
  again.LoadGlyphs(in);
  if (again.Count() != word.Count() || again.Text() != word.Text()) std::abort();
  BinaryWriter second;
  again.SaveGlyphs(second);
  if (first.bytes() != second.bytes()) std::abort();
  word.ExpandVariables();
  word.CollapseVariables();
  fuzz::LayOutEveryWay(word);
  return 0;
}
