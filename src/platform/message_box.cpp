#include "platform/message_box.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>

#include "platform/text_encoding.h"

namespace novu::platform {
namespace {

class DesktopMessageBoxes : public MessageBoxService {
 public:
  MessageResult Show(std::string_view caption, std::string_view text, MessageButtons buttons,
                     MessageIcon icon) override {
    std::string title = Cp932ToUtf8(caption);
    std::string message = Cp932ToUtf8(text);
    std::vector<SDL_MessageBoxButtonData> data;
    auto add = [&](MessageResult result, const char* label, Uint32 flags) {
      data.push_back({flags, static_cast<int>(result), label});
    };
    switch (buttons) {
      case MessageButtons::Ok:
        add(MessageResult::Ok, "OK",
            SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT);
        break;
      case MessageButtons::OkCancel:
        add(MessageResult::Ok, "OK", SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT);
        add(MessageResult::Cancel, "キャンセル", SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT);
        break;
      case MessageButtons::YesNo:
        add(MessageResult::Yes, "はい", SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT);
        add(MessageResult::No, "いいえ", SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT);
        break;
    }
    Uint32 flags = icon == MessageIcon::Error     ? SDL_MESSAGEBOX_ERROR
                   : icon == MessageIcon::Warning ? SDL_MESSAGEBOX_WARNING
                                                  : SDL_MESSAGEBOX_INFORMATION;
    SDL_MessageBoxData box{
        flags,       nullptr, title.c_str(), message.c_str(), static_cast<int>(data.size()),
        data.data(), nullptr};
    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0) {
      // The reader must still get the message, and the reason there was no dialog.
      std::fprintf(stderr, "%s: %s\n(no dialog could be shown: %s)\n", title.c_str(),
                   message.c_str(), SDL_GetError());
      std::fflush(stderr);
      return buttons == MessageButtons::Ok ? MessageResult::Ok : MessageResult::NotShown;
    }
    if (pressed < 0) {
      // Closed without a button: answered as Escape would.
      return buttons == MessageButtons::Ok      ? MessageResult::Ok
             : buttons == MessageButtons::YesNo ? MessageResult::No
                                                : MessageResult::Cancel;
    }
    return static_cast<MessageResult>(pressed);
  }
};

}  // namespace

std::unique_ptr<MessageBoxService> CreateDesktopMessageBoxes() {
  return std::make_unique<DesktopMessageBoxes>();
}

MessageResult HeadlessMessageBoxes::Show(std::string_view caption, std::string_view text,
                                         MessageButtons buttons, MessageIcon) {
  std::fprintf(stderr, "%s: %s\n", Cp932ToUtf8(caption).c_str(), Cp932ToUtf8(text).c_str());
  std::fflush(stderr);
  if (buttons == MessageButtons::Ok) return MessageResult::Ok;
  std::string key = std::string(caption) + '\n' + std::string(text);
  bool seen = std::find(affirmed_.begin(), affirmed_.end(), key) != affirmed_.end();
  if (seen) return buttons == MessageButtons::YesNo ? MessageResult::No : MessageResult::Cancel;
  affirmed_.push_back(key);
  return buttons == MessageButtons::YesNo ? MessageResult::Yes : MessageResult::Ok;
}

}  // namespace novu::platform
