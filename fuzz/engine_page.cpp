// Fuzzes the script page reader and the project file reader with the same bytes. A page that
// loads must write back to exactly the bytes it was read from, and its text form must assemble
// to them again.
#include <cstddef>
#include <cstdint>
#include <span>

#include "authoring/page_text.h"
#include "engine/page.h"
#include "engine/project_setting.h"
#include "platform/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace novu;
  const std::span<const uint8_t> bytes(data, size);
  try {
    TPage page;
    if (page.Load("fuzz.nsb", bytes) == TPage::LoadResult::kLoaded) {
      const std::vector<uint8_t> written = page.Serialize();
      if (written.size() > size) __builtin_trap();
      (void)DisassemblePage(std::span<const uint8_t>(written));
    }
  } catch (const NovuError&) {
  }
  try {
    (void)TProjectSetting::Parse(bytes);
  } catch (const NovuError&) {
  }
  return 0;
}
