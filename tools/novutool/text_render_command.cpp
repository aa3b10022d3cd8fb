// novutool text render: a page of message markup laid out and drawn with the player's glyph
// cache over the installed (or the game's own) fonts, written as PNG, for authors to preview.
#include <cstdio>

#include "core/integer_text.h"
#include "expr/function_text.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "platform/glyph_source.h"
#include "platform/text_encoding.h"
#include "render/dib_surface.h"
#include "render/image_codecs.h"
#include "text/font_pixel.h"
#include "text/font_pixel_painter.h"
#include "text/text_preview.h"
#include "tool_command.h"

namespace novu::tool {
namespace {

// Reads `--flag N` into `value` when present; false (after reporting) when N is not an integer
// in [low, high].
bool TakeNumber(Args& args, std::string_view flag, int low, int high, int& value) {
  const std::string text = TakeOption(args, flag);
  if (text.empty()) return true;
  const auto v = ParseInteger(text);
  if (!v || *v < low || *v > high) {
    Fail(std::string(flag) + " takes " + std::to_string(low) + " to " + std::to_string(high));
    return false;
  }
  value = static_cast<int>(*v);
  return true;
}

int RunTextRender(const Args& given) {
  Args args = given;
  const std::string output = TakeOption(args, "-o");
  const std::string fonts = TakeOption(args, "--fonts");
  const std::string face = TakeOption(args, "--font");
  const bool cp932_input = TakeFlag(args, "--cp932");
  int wrap = 480, visible = 0, size = 24, level = 3, page = 0;
  int border = 0, shadow = 0;
  if (!TakeNumber(args, "--width", 0, 4096, wrap) ||
      !TakeNumber(args, "--height", 0, 4096, visible) ||
      !TakeNumber(args, "--size", 1, 512, size) || !TakeNumber(args, "--aa", 0, 3, level) ||
      !TakeNumber(args, "--page", 0, 1 << 20, page) ||
      !TakeNumber(args, "--border", 0, 8, border) || !TakeNumber(args, "--shadow", 0, 64, shadow)) {
    return 1;
  }
  if (args.size() != 1 || output.empty()) return Usage("text render");
  try {
    const auto data = platform::ReadWholeFile(args[0]);
    if (!data) return Fail("cannot read " + args[0]);
    std::string source(data->begin(), data->end());
    if (!cp932_input) source = platform::Utf8ToCp932(source);

    text::TFontPixelManager cache(platform::MakeFreeTypeGlyphSource(fonts));
    text::FontPixelPainter painter(cache);
    text::TextPreview preview;
    text::KxWordSettings& settings = preview.word.settings;
    if (!face.empty()) settings.font_name = platform::Utf8ToCp932(face);
    settings.font_size = size;
    settings.colour = 0xFFFFFF;
    settings.wrap_width = wrap;
    settings.visible_height = visible;
    settings.anti_alias = level;
    settings.border_width = border;
    settings.shadow_offset = shadow;
    text::TextPreviewOptions options;
    options.page = page;
    preview.Render(text::SplitLines(source), painter, options);
    platform::WriteFileAtomically(output, render::EncodePng(preview.picture.Surface()));
    std::printf("%d page(s); page %d is %d x %d\n", static_cast<int>(preview.pages.size()),
                std::min(page, std::max(0, static_cast<int>(preview.pages.size()) - 1)),
                preview.PageRect().Width(), preview.PageRect().Height());
    return 0;
  } catch (const NovuError& e) {
    return Fail(e.Utf8Message());
  }
}

NOVU_TOOL_COMMAND("text render",
                  "IN.txt -o OUT.png [--cp932] [--width W] [--height H] [--size N] [--aa 0-3] "
                  "[--page N] [--font NAME] [--border N] [--shadow N] [--fonts DIR]",
                  "lay out message markup and draw one page (white text, dark margin) as PNG",
                  RunTextRender);

}  // namespace
}  // namespace novu::tool
