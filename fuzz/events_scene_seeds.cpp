// Writes the seed corpus of the timed-scene fuzz target into the folder given as argument:
// scenes with timers, property motions and queued events, saved by the object list itself.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

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

// A scene whose property motion renamed base 0 in its first frame, so that the second save
// differed from the first (found by fuzzing); kept byte for byte.
constexpr const char* kRenamedBaseScene =
    "1E4000000030000000000000000600000001C802000000000000000000000000000000000000000000000040"
    "0000003000000000000000000000000000000000000000000000000000000000000000000000000008000000"
    "3F00000000010000000000000000000000000100000001000000000000000000000000000000000000000000"
    "0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
    "010000000203000000626F780000000000000000000000000000000000000000000000000000000000000000"
    "0000000000000000000000000000000000000000000000000000000000000000000000000000010000000000"
    "0000000000000001000000010000000000000000000000000000000000000000000000000000000000000000"
    "0000000000000000000000000000000000000000000000000000000000000000000000000006000000014241"
    "5345300000000000000000000000000000000000000000400000003000000000000000000000000000000000"
    "0000000000000000000000000000000000000000000000000000000000010000000000000000000000000100"
    "0000010000000000000000000000000000000000000000000000000000000000000000000000000000000000"
    "00000000000000000000000000000000000000000000000000000000020000000F05000000636C6F636B0000"
    "000000000000000000000D000000706167652E6E73623A7469636B640000000001001A05000000736C696465"
    "0000000000000000000000000000000000000000000000010000000203000000626F78000000000000000000"
    "0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
    "0000000000000000000000000000000000010000000000000000000000000100000001000000000000000000"
    "0000000000000000";

void WriteHexSeed(const std::filesystem::path& folder, const std::string& name,
                  std::string_view hex) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
  }
  platform::WriteFileAtomically(folder / name, bytes);
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

  // A motion that would rename the active base: bases keep their names.
  fuzz::TimedScene renaming;
  auto& rename = Add<TNovuPropMotion>(renaming.list, LT_PROPMOTION, "rename");
  rename.SetTargetName("");
  rename.SetPropertyId(PR_NAME);
  rename.SetTargetValue(7);
  rename.SetDuration(30);
  WriteSeed(folder, "motion-renames-base", renaming.list, kObjectLayoutVersion);
  WriteHexSeed(folder, "resave-renamed-base", kRenamedBaseScene);
  return 0;
}
