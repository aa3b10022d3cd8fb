// Fuzz target: a glyph stream is read, written at its own version and read again; the second
// writing is identical to the first. The document is laid out (pictures may float here).
#include <cstdint>
#include <cstdlib>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "platform/error.h"
#include "text/kx_word.h"
#include "text_layout_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace novu;
  text::TKxWord word;
  try {
    BinaryReader in(std::span<const uint8_t>(data, size));
    word.LoadGlyphs(in);
  } catch (const NovuError&) {
    if (word.Count() != 0) std::abort();
    return 0;
  }
  BinaryWriter first;
  word.SaveGlyphs(first, word.loaded_version());
  text::TKxWord again;
  BinaryReader reread{std::span<const uint8_t>(first.bytes())};
  again.LoadGlyphs(reread);
  BinaryWriter second;
  again.SaveGlyphs(second, again.loaded_version());
  if (first.bytes() != second.bytes()) std::abort();
  fuzz::LayOutEveryWay(word);
  return 0;
}
