#include "shell/config_dialog.h"

#include <cstdio>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/desktop_window.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "platform/headless_window.h"
#include "platform/message_box.h"
#include "platform/virtual_keys.h"
#include "render/dibx.h"
#include "shell/loop_timer.h"
#include "shell/screenshot.h"
#include "shell/sound_settings_form.h"
#include "shell/sound_settings_painter.h"

namespace novu {
namespace {

namespace fs = std::filesystem;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;

void Complain(const std::string& utf8) {
  std::fprintf(stderr, "novuplay: %s\n", utf8.c_str());
}

std::string ReadText(const fs::path& path) {
  const auto bytes = platform::ReadWholeFile(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

void Deliver(SoundSettingsForm& form, const platform::InputEvent& e) {
  using Kind = platform::InputEvent::Kind;
  const bool left = e.button == platform::MouseButton::Left;
  switch (e.kind) {
    case Kind::KeyDown:
      form.KeyDown(e.vk);
      break;
    case Kind::KeyUp:
      form.KeyUp(e.vk);
      break;
    case Kind::MouseDown:
      if (left) form.MouseDown(e.x, e.y);
      break;
    case Kind::MouseUp:
      if (left) form.MouseUp(e.x, e.y);
      break;
    case Kind::MouseMove:
      form.MouseMove(e.x, e.y);
      break;
    case Kind::FocusLost:
      form.KeyUp(platform::kVkShift);
      break;
    case Kind::CloseRequested:
    case Kind::QuitButton:
      form.Close();
      break;
    default:
      break;
  }
}

// The dialog on a window: shown, fed its input, painted every tick until it closes.
class ConfigDialog {
 public:
  ConfigDialog(const CommandLine& cl, fs::path ini_path, InputScript input)
      : cl_(cl),
        ini_path_(std::move(ini_path)),
        input_(std::move(input)),
        form_(ReadSoundSettings(IniFile::Load(ini_path_))),
        glyphs_(platform::MakeFreeTypeGlyphSource()),
        painter_(glyphs_) {}

  int Run() {
    messages_ = cl_.headless ? std::make_unique<platform::HeadlessMessageBoxes>()
                             : platform::CreateDesktopMessageBoxes();
    if (!OpenWindow()) return kExitFailed;
    if (cl_.headless) {
      HeadlessLoop();
    } else {
      WindowLoop();
    }
    const bool shot = WriteScreenshot();
    const bool saved = form_.outcome() != ConfigOutcome::kOk || Save();
    return shot && saved ? kExitOk : kExitFailed;
  }

 private:
  bool OpenWindow() {
    try {
      window_ = cl_.headless ? platform::CreateHeadlessWindow()
                             : platform::CreateDesktopWindow({.require_display = true});
    } catch (const NovuError& e) {
      Complain(e.Utf8Message());
      return false;
    }
    window_->SetToolbarVisible(false);
    window_->SetTitle(Jp("動作設定"));
    window_->SetPanelSize(kConfigClientWidth, kConfigClientHeight);
    Show();
    return true;
  }

  void Show() {
    painter_.Paint(form_, surface_);
    window_->Present(surface_.PresentView(), {});
  }

  void Handle(const std::vector<platform::InputEvent>& events) {
    for (const platform::InputEvent& e : events) Deliver(form_, e);
    Show();
  }

  // Tick k delivers the events scripted for it. Without a tick limit the dialog closes once
  // every scripted event (and the release a click or key adds) has been handled.
  void HeadlessLoop() {
    const int64_t last_scripted = input_.events().empty() ? 0 : input_.events().back().tick + 1;
    const int64_t limit = cl_.ticks ? *cl_.ticks : last_scripted;
    std::vector<platform::InputEvent> events;
    for (int64_t tick = 1; tick <= limit && form_.outcome() == ConfigOutcome::kOpen; ++tick) {
      events.clear();
      input_.TakeDue(tick, events);
      Handle(events);
    }
  }

  void WindowLoop() {
    const auto clock = platform::CreateSystemClock();
    std::vector<platform::InputEvent> events;
    int64_t ticks = 0;
    while (form_.outcome() == ConfigOutcome::kOpen && !(cl_.ticks && ticks >= *cl_.ticks)) {
      events.clear();
      window_->PollEvents(events);
      input_.TakeDue(++ticks, events);
      Handle(events);
      clock->SleepMs(TLoopTimer::kTargetMs);
    }
  }

  bool Save() {
    try {
      const std::string text = WriteSoundSettings(ReadText(ini_path_), form_.settings());
      platform::WriteFileAtomically(ini_path_,
                                    {reinterpret_cast<const uint8_t*>(text.data()), text.size()});
      return true;
    } catch (const NovuError& e) {
      messages_->Show(Jp("警告"), e.message(), platform::MessageButtons::Ok,
                      platform::MessageIcon::Warning);
      return false;
    }
  }

  bool WriteScreenshot() {
    if (cl_.screenshot_file.empty()) return true;
    try {
      WriteScreenshotPng(surface_, cl_.screenshot_file);
      return true;
    } catch (const NovuError& e) {
      Complain("cannot write the screenshot " + cl_.screenshot_file + ": " + e.Utf8Message());
      return false;
    }
  }

  const CommandLine& cl_;
  fs::path ini_path_;
  InputScript input_;
  SoundSettingsForm form_;
  text::TFontPixelManager glyphs_;
  SoundSettingsPainter painter_;
  render::TDIBX surface_;
  std::unique_ptr<platform::MessageBoxService> messages_;
  std::unique_ptr<platform::Window> window_;
};

}  // namespace

int RunConfigDialog(const CommandLine& cl, const fs::path& program_folder, InputScript input) {
  return ConfigDialog(cl, program_folder / "game.ini", std::move(input)).Run();
}

}  // namespace novu
