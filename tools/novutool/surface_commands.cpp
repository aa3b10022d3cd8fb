// Pictures: what a bitmap or PNG file holds, and conversion to a 24-bit bitmap.
#include <cstdio>
#include <string>

#include "platform/error.h"
#include "platform/file_io.h"
#include "render/image_codecs.h"
#include "tool_command.h"

namespace novu::tool {
namespace {

render::TDIBSurface LoadPicture(const std::string& path) {
  const auto bytes = platform::ReadWholeFile(path);
  if (!bytes) throw NovuError::FromUtf8("cannot read " + path);
  if (bytes->size() >= 2 && (*bytes)[0] == 'B' && (*bytes)[1] == 'M') {
    return render::DecodeBmp(*bytes);
  }
  if (bytes->size() >= 4 && (*bytes)[1] == 'P' && (*bytes)[2] == 'N' && (*bytes)[3] == 'G') {
    return render::DecodePng(*bytes);
  }
  throw NovuError::FromUtf8(path + ": neither a bitmap nor a PNG image");
}

int RunPictureInfo(const Args& args) {
  if (args.size() != 1) return Usage("picture info");
  const render::TDIBSurface picture = LoadPicture(args[0]);
  std::printf("width %d\nheight %d\ndepth %d\nmask %s\n", picture.Width(), picture.Height(),
              picture.BitCount(), picture.Mask() ? "yes" : "no");
  return 0;
}

int RunPictureToBmp(const Args& arguments) {
  Args args = arguments;
  const std::string output = TakeOption(args, "-o");
  if (args.size() != 1 || output.empty()) return Usage("picture tobmp");
  const render::TDIBSurface picture = LoadPicture(args[0]);
  platform::WriteFileAtomically(output, render::EncodeBmp24(picture));
  return 0;
}

}  // namespace

NOVU_TOOL_COMMAND("picture info", "FILE", "size, depth and mask of a bitmap or PNG picture",
                  RunPictureInfo);
NOVU_TOOL_COMMAND("picture tobmp", "FILE -o OUT.bmp",
                  "convert a bitmap or PNG picture to a 24-bit bitmap", RunPictureToBmp);

}  // namespace novu::tool
