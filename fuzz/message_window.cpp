// Fuzzes the saved record of a message window. Whatever loads must reveal, turn its pages and
// draw; once saved, the window must load back and save to the same bytes again.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "message_window.h"
#include "platform/error.h"

namespace {

using namespace novu;

TNovuMes& AddWindow(fuzz::MessageScene& scene) {
  auto& mes = static_cast<TNovuMes&>(scene.list.base(0).AddChild(scene.list.CreateByType(LT_MES)));
  mes.SetName("m");
  return mes;
}

std::vector<uint8_t> Resave(const std::vector<uint8_t>& bytes) {
  fuzz::MessageScene scene;
  TNovuMes& mes = AddWindow(scene);
  BinaryReader in(bytes);
  mes.LoadFromStream(in, ObjectLoadContext{kObjectLayoutVersion});
  if (!in.AtEnd()) __builtin_trap();
  BinaryWriter out;
  mes.SaveToStream(out);
  return out.Take();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int32_t version = fuzz::ObjectVersionFromByte(data[0]);
  BinaryWriter saved;
  {
    fuzz::MessageScene scene;
    TNovuMes& mes = AddWindow(scene);
    BinaryReader in(std::span<const uint8_t>(data + 1, size - 1));
    try {
      mes.LoadFromStream(in, ObjectLoadContext{version});
    } catch (const NovuError&) {
      return 0;
    }
    if (mes.page_index() < -1 || mes.page_index() >= std::max(mes.PageCount(), 1)) {
      __builtin_trap();
    }
    for (int tick = 0; tick < 4; ++tick) {
      scene.state.game_clock += 15;
      scene.list.Update();
    }
    mes.SetPageIndex(mes.page_index() + 1);
    scene.list.Update();
    scene.list.base(0).InvalidateAll();
    scene.list.Paint();
    mes.SaveToStream(saved);
  }
  const std::vector<uint8_t> once = Resave(saved.Take());
  if (Resave(once) != once) __builtin_trap();
  return 0;
}
