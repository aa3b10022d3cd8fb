// Writes the seed corpus of the saved-object fuzz target into the folder given as argument:
// small object trees saved by the object classes themselves.
#include <cstdio>
#include <filesystem>
#include <string>

#include "core/binary_writer.h"
#include "objects/base_list.h"
#include "objects/plain_objects.h"
#include "objects_stream.h"
#include "platform/file_io.h"

namespace {

using namespace novu;

void WriteSeed(const std::filesystem::path& folder, const std::string& name,
               const TNovuBaseList& list, int32_t version) {
  BinaryWriter out;
  out.U8(fuzz::ObjectVersionByte(version));
  list.base(0).SaveToStream(out);
  platform::WriteFileAtomically(folder / name, out.bytes());
}

TNovuControl& Label(TNovuBaseList& list, TNovuControl& parent, const char* name) {
  auto& label = list.AddTo<TPlainControl>(parent, LT_LABEL);
  label.SetName(name);
  label.SetBounds(10, 20, 100, 30);
  label.SetEventLabel(PR_ONLBTNDOWN, "page.nsb:click");
  return label;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: objects_stream_seeds CORPUS_FOLDER\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);

  TNovuBaseList empty;
  WriteSeed(folder, "empty-base", empty, kObjectLayoutVersion);

  TNovuBaseList flat(MakePlainObject);
  Label(flat, flat.base(0), "caption");
  auto& button = flat.AddTo<TPlainControl>(flat.base(0), LT_BUTTON);
  button.SetTag("start");
  button.SetClip(0, 0, 20, 20);
  button.SetHandleKey(true);
  button.SetEventLabel(PR_ONKEYDOWN, "page.nsb:key");
  flat.AddTo<TPlainComponent>(flat.base(0), LT_SOUND).SetName("voice");
  WriteSeed(folder, "flat", flat, kObjectLayoutVersion);
  WriteSeed(folder, "flat-as-v117", flat, 117);

  TNovuBaseList nested(MakePlainObject);
  TNovuControl* parent = &nested.base(0);
  for (int i = 0; i < 4; ++i)
    parent = &Label(nested, *parent, ("level" + std::to_string(i)).c_str());
  WriteSeed(folder, "nested", nested, kObjectLayoutVersion);
  WriteSeed(folder, "nested-as-v101", nested, 101);
  return 0;
}
