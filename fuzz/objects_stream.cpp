// Fuzzes the saved-object reader: a base's record with nested children, read at any version.
// Whatever loads must save again and load back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "objects/base_list.h"
#include "objects/plain_objects.h"
#include "objects_stream.h"
#include "platform/error.h"

namespace {

std::string SaveBase(novu::TNovuBaseList& list) {
  novu::BinaryWriter out;
  list.base(0).SaveToStream(out);
  return out.TakeString();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace novu;
  if (size < 1) return 0;
  const int32_t version = fuzz::ObjectVersionFromByte(data[0]);
  std::string saved;
  {
    TNovuBaseList list(MakePlainObject);
    BinaryReader in(std::span<const uint8_t>(data + 1, size - 1));
    try {
      list.base(0).LoadFromStream(in, {version});
    } catch (const NovuError&) {
      return 0;
    }
    saved = SaveBase(list);
  }
  TNovuBaseList again(MakePlainObject);
  BinaryReader in(saved);
  again.base(0).LoadFromStream(in, {kObjectLayoutVersion});  // must not throw
  if (!in.AtEnd() || SaveBase(again) != saved) __builtin_trap();
  return 0;
}
