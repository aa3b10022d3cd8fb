#pragma once
#include "platform/message_box.h"

namespace novu::media {

// The start-up check of the media library: a library of another version is refused with
// "novu.dllのバージョンがあいません" (caption "Error"). Returns false when the player must end.
bool CheckMediaLibrary(platform::MessageBoxService& messages, int32_t (*version)());

}  // namespace novu::media
