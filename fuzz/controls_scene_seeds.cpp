// Writes the seed corpus of the picture-scene fuzz target into the folder given as argument:
// small scenes of pictures, animations, tiles and boxes saved by the object list itself.
#include <cstdio>
#include <filesystem>
#include <string>

#include "controls_scene.h"
#include "core/binary_writer.h"
#include "platform/file_io.h"

namespace {

using namespace novu;

void WriteSeed(const std::filesystem::path& folder, const std::string& name,
               const TNovuBaseList& list, int32_t version) {
  BinaryWriter out;
  out.U8(fuzz::ObjectVersionByte(version));
  list.SaveToStream(out);
  platform::WriteFileAtomically(folder / name, out.bytes());
}

TNovuControl& Add(TNovuBaseList& list, TNovuControl& parent, ComponentType type, const char* name) {
  auto& control = static_cast<TNovuControl&>(parent.AddChild(list.CreateByType(type)));
  control.SetName(name);
  control.SetBounds(4, 6, 20, 10);
  return control;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: controls_scene_seeds CORPUS_FOLDER\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);

  fuzz::ControlsScene s;
  TNovuBaseList& list = s.list;
  TNovuControl& anim = Add(list, list.base(0), LT_IMAGES, "anim");
  anim.SetProperty(PR_SOURCE, std::string("a.fip"));
  anim.SetProperty(PR_REPEAT, true);
  anim.SetProperty(PR_ZOOMX, 300);
  anim.SetProperty(PR_CAPTUREMASK, true);
  TNovuControl& turned = Add(list, anim, LT_IMAGES, "turned");
  turned.SetProperty(PR_SOURCE, std::string("b.fip"));
  turned.SetProperty(PR_ANGLE, 40);
  turned.SetProperty(PR_ALPHA, 300);
  turned.SetProperty(PR_WIDTH, 9);
  TNovuControl& tile = Add(list, list.base(1), LT_TILE, "tile");
  tile.SetProperty(PR_SOURCE, std::string("a.fip"));
  tile.SetProperty(PR_DISTANCEX, 8);
  tile.SetProperty(PR_SCROLLY, -3);
  TNovuControl& box = Add(list, list.base(0), LT_BOX, "box");
  box.SetProperty(PR_BORDERWIDTH, 2);
  box.SetProperty(PR_BORDERCOLOR, 0x00FF00);
  box.SetProperty(PR_ALPHA, 100);
  list.Update();
  WriteSeed(folder, "scene", list, kObjectLayoutVersion);
  WriteSeed(folder, "scene-as-v103", list, 103);
  WriteSeed(folder, "scene-as-v113", list, 113);
  return 0;
}
