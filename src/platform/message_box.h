#pragma once
// Message boxes with a caption, a text, a button set and an icon; texts are CP932.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace novu::platform {

enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageIcon { None, Information, Warning, Error, Question };
// NotShown: no dialog could be put on the screen (the desktop offers none); the question and
// the reason went to standard error, and callers treat it as the negative answer unless they
// have a safer one (the quit question quits, as the window's close box does).
enum class MessageResult { Ok, Cancel, Yes, No, NotShown };

class MessageBoxService {
 public:
  virtual ~MessageBoxService() = default;
  virtual MessageResult Show(std::string_view caption, std::string_view text,
                             MessageButtons buttons, MessageIcon icon) = 0;
};

// Desktop dialogs (SDL2).
std::unique_ptr<MessageBoxService> CreateDesktopMessageBoxes();

// Prints "CAPTION: TEXT" in UTF-8 on standard error and answers without blocking: the
// affirmative button (OK, Yes), except for a box whose exact caption and text it already
// answered affirmatively, which gets the negative one (Cancel, No). A prompt that repeats after
// OK (a disc request, say) is thereby cancelled, and the question that follows is confirmed, so
// no question loop can run forever.
class HeadlessMessageBoxes : public MessageBoxService {
 public:
  MessageResult Show(std::string_view caption, std::string_view text, MessageButtons buttons,
                     MessageIcon icon) override;

 private:
  std::vector<std::string> affirmed_;
};

}  // namespace novu::platform
