#pragma once
// Shell services the script functions ask for: opening a URL or folder with the desktop's
// handler, and the open-file, save-file and folder dialogs. Texts are UTF-8. The desktop
// version runs "xdg-open" and "zenity" or "kdialog" with argument vectors (never through a
// shell); the headless one answers at once: nothing opened, every dialog cancelled.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace novu::platform {

class DesktopServices {
 public:
  virtual ~DesktopServices() = default;
  // Starts the desktop's handler for `target` without waiting for it; false when it could not
  // be started.
  virtual bool OpenUrl(const std::string& target) = 0;
  // The chosen path, or none when cancelled or when no dialog can be shown. `filter` is in the
  // platform's syntax ("Pictures|*.png;*.jpg"); empty: every file.
  virtual std::optional<std::string> ChooseOpenFile(const std::string& start_folder,
                                                    const std::string& filter) = 0;
  virtual std::optional<std::string> ChooseSaveFile(const std::string& start_folder,
                                                    const std::string& filter) = 0;
  virtual std::optional<std::string> ChooseFolder() = 0;
};

std::unique_ptr<DesktopServices> CreateDesktopServices();

class HeadlessDesktopServices final : public DesktopServices {
 public:
  bool OpenUrl(const std::string&) override { return false; }
  std::optional<std::string> ChooseOpenFile(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> ChooseSaveFile(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> ChooseFolder() override { return std::nullopt; }
};

// The dialog program's argument vector for a request, exposed for tests. `tool` is "zenity"
// or "kdialog"; `kind` is "open", "save" or "folder".
std::vector<std::string> DialogArguments(std::string_view tool, std::string_view kind,
                                         const std::string& start_folder,
                                         const std::string& filter);

}  // namespace novu::platform
