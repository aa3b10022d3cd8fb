// Writes the seed corpus of the timed-scene fuzz target into the folder given as argument:
// scenes with timers, property motions and queued events, saved by the object list itself.
#include <cstdio>
#include <filesystem>
#include <string>

#include "events_scene.h"
#include "objects/novu_timer.h"
#include "objects/prop_motion.h"
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

template <typename T>
T& Add(TNovuBaseList& list, ComponentType type, const char* name) {
  std::unique_ptr<TNovuObject> object = list.CreateByType(type);
  T& typed = dynamic_cast<T&>(*object);
  list.AdoptRoot(std::move(object));
  typed.SetName(name);
  return typed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: events_scene_seeds CORPUS_FOLDER\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);

  fuzz::TimedScene scene;
  auto box = scene.list.CreateByType(LT_BOX);
  TNovuObject& target = scene.list.base(0).AddChild(std::move(box));
  target.SetName("box");
  auto& timer = Add<TNovuTimer>(scene.list, LT_TIMER, "clock");
  timer.SetProperty(PR_ONNOTIFY, std::string("page.nsb:tick"));
  timer.SetProperty(PR_DELAY, 100);
  timer.SetProperty(PR_AUTOSCRAP, true);
  auto& motion = Add<TNovuPropMotion>(scene.list, LT_PROPMOTION, "slide");
  motion.SetTargetName("box");
  motion.SetPropertyId(PR_LEFT);
  motion.SetTargetValue(40);
  motion.SetDuration(500);
  motion.SetMotionType(MT_DEC);
  const std::string args[] = {"3", "4"};
  timer.PostEvent("page.nsb:tick", args, PR_ONNOTIFY);
  scene.events.FirstPending()->level = 1;
  timer.PostEvent("other.nsb", {}, PR_ONIDLE);
  scene.state.game_clock = 200;
  scene.list.Update();
  WriteSeed(folder, "scene", scene.list, kObjectLayoutVersion);
  WriteSeed(folder, "scene-as-v113", scene.list, 113);
  WriteSeed(folder, "scene-as-v103", scene.list, 103);
  return 0;
}
