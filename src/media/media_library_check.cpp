#include "media/media_library_check.h"

#include "media/media_service.h"
#include "platform/error.h"

namespace novu::media {

bool CheckMediaLibrary(platform::MessageBoxService& messages, int32_t (*version)()) {
  if (version() == kMediaLibraryVersion) return true;
  messages.Show("Error", Jp("novu.dllのバージョンがあいません"), platform::MessageButtons::Ok,
                platform::MessageIcon::Error);
  return false;
}

}  // namespace novu::media
