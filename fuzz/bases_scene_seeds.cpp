// Writes the seed corpus of the saved-scene fuzz target into the folder given as argument:
// small scenes saved by the object list itself.
#include <cstdio>
#include <filesystem>
#include <string>

#include "bases_scene.h"
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
  auto object = list.CreateByType(type);
  auto& control = static_cast<TNovuControl&>(parent.AddChild(std::move(object)));
  control.SetName(name);
  control.SetBounds(4, 6, 20, 10);
  return control;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: bases_scene_seeds CORPUS_FOLDER\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);

  auto empty = fuzz::MakeScene();
  WriteSeed(folder, "empty", *empty, kObjectLayoutVersion);

  auto scene = fuzz::MakeScene();
  TNovuControl& field = Add(*scene, scene->base(1), LT_EDIT, "field");
  field.SetHandleKey(true);
  Add(*scene, field, LT_LABEL, "caption");
  Add(*scene, scene->base(0), LT_CABINET, "store");
  auto timer = scene->CreateByType(LT_TIMER);
  timer->SetName("clock");
  const std::string args[] = {"3", "4"};
  timer->PostEvent("page.nsb:tick", args, PR_ONNOTIFY);
  scene->AdoptRoot(std::move(timer));
  scene->SetActiveBase(1);
  scene->input().ProcessInput(15);  // the focus goes to the field
  WriteSeed(folder, "scene", *scene, kObjectLayoutVersion);
  WriteSeed(folder, "scene-as-v113", *scene, 113);
  WriteSeed(folder, "scene-as-v118", *scene, 118);
  return 0;
}
