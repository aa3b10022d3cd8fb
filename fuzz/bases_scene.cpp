// Fuzzes the reader of the saved object list. Whatever loads must save again and load back to
// the same bytes; whatever is refused must leave an empty scene.
#include <cstddef>
#include <cstdint>

#include "bases_scene.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "platform/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace novu;
  if (size < 1) return 0;
  const int32_t version = fuzz::ObjectVersionFromByte(data[0]);
  BinaryWriter saved;
  {
    auto scene = fuzz::MakeScene();
    BinaryReader in(std::span<const uint8_t>(data + 1, size - 1));
    try {
      scene->LoadFromStream(in, version);
    } catch (const NovuError&) {
      if (scene->registry().size() != 2) __builtin_trap();  // only the fresh bases remain
      return 0;
    }
    scene->Update();
    scene->Paint();
    scene->SaveToStream(saved);
  }
  auto again = fuzz::MakeScene();
  BinaryReader in(saved.bytes());
  again->LoadFromStream(in, kObjectLayoutVersion);  // must not throw
  BinaryWriter resaved;
  again->SaveToStream(resaved);
  if (!in.AtEnd() || resaved.bytes() != saved.bytes()) __builtin_trap();
  return 0;
}
