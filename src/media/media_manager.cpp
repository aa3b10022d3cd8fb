#include "media/media_manager.h"

#include <algorithm>

namespace novu::media {

TDMediaItem* TMediaManager::CreateItem(std::string_view name) {
  items_.push_back(MakeItem(name));
  return items_.back().get();
}

void TMediaManager::RemoveItem(TDMediaItem* item) {
  std::erase_if(items_, [item](const auto& owned) { return owned.get() == item; });
}

void TMediaManager::Suspend() {
  if (!enabled_ || suspended_) return;
  suspended_ = true;
  for (const auto& item : items_) {
    const bool running = item->IsPlaying() && !item->IsPaused() && !item->IsEnd();
    if (running) item->Pause();
    item->set_suspended(running);
  }
}

void TMediaManager::Resume() {
  if (!enabled_ || !suspended_) return;
  suspended_ = false;
  for (const auto& item : items_) {
    if (!item->suspended()) continue;
    item->Play();
    item->set_suspended(false);
  }
}

void TMediaManager::SetEnabled(bool on) {
  if (on == enabled_) return;
  if (!on) {
    Suspend();
    enabled_ = false;
  } else {
    enabled_ = true;
    Resume();
  }
}

}  // namespace novu::media
