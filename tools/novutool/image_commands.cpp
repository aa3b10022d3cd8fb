// Layered image commands: convert between layered images and PNG files, and show what is
// inside a layered image.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/binary_reader.h"
#include "core/cp932.h"
#include "imagefmt/fipo_format.h"
#include "imagefmt/fipo_frame_list.h"
#include "imagefmt/picture_conversion.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "platform/text_encoding.h"
#include "render/image_codecs.h"
#include "tool_command.h"

namespace novu::tool {
namespace {

namespace fs = std::filesystem;
using imagefmt::Compression;
using imagefmt::TFipoFrame;
using imagefmt::TFipoFrameList;

std::optional<int64_t> ParseInt(const std::string& text) {
  if (text.empty()) return std::nullopt;
  try {
    size_t used = 0;
    const long long v = std::stoll(text, &used, 0);
    if (used != text.size()) return std::nullopt;
    return v;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

bool HasExtension(const std::string& path, std::string_view ext) {
  return cp932::EqualsNoCase(fs::path(path).extension().string(), ext);
}

std::vector<uint8_t> ReadInput(const std::string& path) {
  auto bytes = platform::ReadWholeFile(path);
  if (!bytes) throw NovuError::FromUtf8("cannot read " + path);
  return std::move(*bytes);
}

std::string Utf8(const std::string& cp932) {
  return platform::Cp932ToUtf8(cp932);
}

const char* CompressionName(Compression c) {
  switch (c) {
    case Compression::kDeflate:
      return "Default compression";
    case Compression::kNone:
      return "No compression";
    case Compression::kJpeg:
      return "Nonreversible compression";
  }
  return "?";
}

void PrintRects(const char* title, const std::vector<render::Rect>& rects) {
  if (rects.empty()) return;
  std::printf("  %s:", title);
  for (const auto& r : rects) std::printf(" (%d,%d)-(%d,%d)", r.left, r.top, r.right, r.bottom);
  std::printf("\n");
}

int PrintInfo(const std::string& path, int32_t code) {
  const std::vector<uint8_t> bytes = ReadInput(path);
  BinaryReader in(bytes);
  const imagefmt::FipoHeader header = imagefmt::ReadFipoHeader(in);
  TFipoFrameList list(code);
  list.LoadFromStream(bytes, false, true);
  std::printf("version %d, %d frames, background 0x%08X, base layer opaque %d\n", list.Version(),
              list.Count(), static_cast<uint32_t>(list.BackgroundColour()),
              list.BaseLayerOpaque() ? 1 : 0);
  if (header.version >= imagefmt::kVersionHeaderRecord) {
    std::printf("compression %d (%s), scrambled %d, blocks %d x %d, quality %d\n",
                static_cast<int>(header.compression), CompressionName(header.compression),
                header.scrambled ? 1 : 0, header.block_width, header.block_height,
                header.jpeg_quality);
  }
  for (int i = 0; i < list.Count(); ++i) {
    const TFipoFrame& f = list.Frames(i);
    std::printf("frame %d \"%s\": %d x %d x %d, duration %d, key %d, mask %s, layers %zu\n", i,
                Utf8(f.name).c_str(), f.Width(), f.Height(), f.BitCount(), f.duration, f.key_value,
                f.HasMask() ? "yes" : "no", f.layers.size());
    for (size_t j = 0; j < f.layers.size(); ++j) {
      const imagefmt::TFipoLayer& l = f.layers[j];
      std::printf("  layer %zu \"%s\": visible %d, key %d, opacity %d, mask %s%s\n", j,
                  Utf8(l.name).c_str(), l.visible ? 1 : 0, l.key_value, l.opacity,
                  l.pixels.Mask() ? "yes" : "no",
                  l.pixels.Mask() && !l.mask_enabled ? " (disabled)" : "");
    }
    PrintRects("regions", f.draw_regions);
    PrintRects("second regions", f.second_regions);
  }
  return 0;
}

int FipToPng(const std::string& in_path, const std::string& out_path, int32_t code, int64_t frame) {
  TFipoFrameList list(code);
  list.LoadFromStream(ReadInput(in_path), frame == 0);
  if (frame < 0 || frame >= list.Count()) {
    return Fail("frame " + std::to_string(frame) + " not in " + in_path + " (" +
                std::to_string(list.Count()) + " frames)");
  }
  platform::WriteFileAtomically(out_path,
                                imagefmt::EncodeFramePng(list.Frames(static_cast<int>(frame))));
  return 0;
}

std::optional<Compression> ParseCompression(const std::string& text) {
  if (text.empty() || text == "deflate" || text == "0") return Compression::kDeflate;
  if (text == "none" || text == "1") return Compression::kNone;
  if (text == "jpeg" || text == "2") return Compression::kJpeg;
  return std::nullopt;
}

int RunImage(Args args) {
  const std::string code_text = TakeOption(args, "--code");
  const std::string frame_text = TakeOption(args, "--frame");
  const std::string info = TakeOption(args, "--info");
  const std::string depth_text = TakeOption(args, "--depth");
  const std::string compression_text = TakeOption(args, "--compression");
  const std::string quality_text = TakeOption(args, "--quality");
  const std::string blocks_text = TakeOption(args, "--blocks");
  const std::string duration_text = TakeOption(args, "--duration");
  const std::string level_text = TakeOption(args, "--level");

  const auto code = code_text.empty() ? std::optional<int64_t>(0) : ParseInt(code_text);
  if (!code || *code < INT32_MIN || *code > UINT32_MAX) return Usage("image");
  const auto code32 = static_cast<int32_t>(static_cast<uint32_t>(*code));
  if (!info.empty()) return args.empty() ? PrintInfo(info, code32) : Usage("image");
  if (args.size() < 2) return Usage("image");
  const std::string out_path = args.back();
  args.pop_back();

  if (HasExtension(out_path, ".png")) {
    const auto frame = frame_text.empty() ? std::optional<int64_t>(0) : ParseInt(frame_text);
    if (!frame || args.size() != 1) return Usage("image");
    return FipToPng(args[0], out_path, code32, *frame);
  }
  if (!HasExtension(out_path, ".fip")) return Fail("the output must be a .png or a .fip file");

  const auto depth = depth_text.empty() ? std::optional<int64_t>(32) : ParseInt(depth_text);
  const auto compression = ParseCompression(compression_text);
  const auto quality = quality_text.empty() ? std::optional<int64_t>(70) : ParseInt(quality_text);
  const auto duration =
      duration_text.empty() ? std::optional<int64_t>(100) : ParseInt(duration_text);
  // Pictures made for a game are written once and loaded often: zlib's default level.
  const auto level = level_text.empty() ? std::optional<int64_t>(6) : ParseInt(level_text);
  if (!depth || !compression || !quality || !duration || !level || *quality < 1 || *quality > 100 ||
      *level < 1 || *level > 9) {
    return Usage("image");
  }
  imagefmt::SaveOptions options;
  options.compression = *compression;
  options.quality = static_cast<int>(*quality);
  options.deflate_level = static_cast<int>(*level);
  if (!blocks_text.empty()) {
    const size_t x = blocks_text.find('x');
    const auto w = ParseInt(blocks_text.substr(0, x));
    const auto h = x == std::string::npos ? w : ParseInt(blocks_text.substr(x + 1));
    if (!w || !h || *w <= 0 || *h <= 0 || *w > 16384 || *h > 16384) return Usage("image");
    options.block_width = static_cast<int32_t>(*w);
    options.block_height = static_cast<int32_t>(*h);
  }

  TFipoFrameList list(code32);
  for (const std::string& in_path : args) {
    TFipoFrame& frame = list.AddFrame();
    frame.name = platform::Utf8ToCp932(fs::path(in_path).stem().string());
    frame.duration = static_cast<int32_t>(*duration);
    frame.picture =
        imagefmt::ConvertToDepth(render::DecodePng(ReadInput(in_path)), static_cast<int>(*depth));
  }
  platform::WriteFileAtomically(out_path, list.SaveToStream(options));
  return 0;
}

}  // namespace

NOVU_TOOL_COMMAND("image",
                  "[--code N] [--frame K] IN.fip OUT.png | [--code N] [--depth D] "
                  "[--compression deflate|none|jpeg] [--quality Q] [--blocks WxH] "
                  "[--duration MS] [--level 1-9] IN.png... OUT.fip | [--code N] --info FILE",
                  "convert a layered image frame to RGBA PNG, PNG files to a layered image, "
                  "or show what a layered image holds",
                  RunImage);

}  // namespace novu::tool
