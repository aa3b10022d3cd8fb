#include "platform/desktop_services.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

extern char** environ;

namespace novu::platform {
namespace {

namespace fs = std::filesystem;

std::optional<fs::path> FindProgram(std::string_view name) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return std::nullopt;
  std::string_view rest(path);
  while (!rest.empty()) {
    const size_t colon = rest.find(':');
    const std::string_view dir = rest.substr(0, colon);
    rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    if (dir.empty()) continue;
    fs::path candidate = fs::path(dir) / name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return std::nullopt;
}

std::vector<char*> Argv(std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  return argv;
}

// Runs `program` with `args` and gives its standard output when it exits with status 0.
std::optional<std::string> RunForOutput(const fs::path& program, std::vector<std::string> args) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  args.insert(args.begin(), program.string());
  std::vector<char*> argv = Argv(args);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[1]);
  std::string out;
  if (spawned == 0) {
    char buffer[4096];
    for (;;) {
      const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
      if (n <= 0) break;
      if (out.size() < 65536) out.append(buffer, static_cast<size_t>(n));
    }
  }
  ::close(fds[0]);
  if (spawned != 0) return std::nullopt;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  if (out.empty()) return std::nullopt;
  return out;
}

class SystemDesktopServices final : public DesktopServices {
 public:
  bool OpenUrl(const std::string& target) override {
    const std::optional<fs::path> program = FindProgram("xdg-open");
    if (!program) return false;
    std::vector<std::string> args = {program->string(), target};
    std::vector<char*> argv = Argv(args);
    ReapFinished();
    pid_t pid = 0;
    if (posix_spawn(&pid, program->c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
      return false;
    }
    // The handler may run as long as the browser it starts: never wait for it here; it is
    // reaped by a later call or when the player exits.
    running_.push_back(pid);
    return true;
  }
  ~SystemDesktopServices() override { ReapFinished(); }

  std::optional<std::string> ChooseOpenFile(const std::string& start,
                                            const std::string& filter) override {
    return Ask("open", start, filter);
  }
  std::optional<std::string> ChooseSaveFile(const std::string& start,
                                            const std::string& filter) override {
    return Ask("save", start, filter);
  }
  std::optional<std::string> ChooseFolder() override { return Ask("folder", {}, {}); }

 private:
  void ReapFinished() {
    std::erase_if(running_, [](pid_t pid) {
      int status = 0;
      return ::waitpid(pid, &status, WNOHANG) != 0;
    });
  }

  std::vector<pid_t> running_;

  static std::optional<std::string> Ask(std::string_view kind, const std::string& start,
                                        const std::string& filter) {
    for (std::string_view tool : {"zenity", "kdialog"}) {
      if (std::optional<fs::path> program = FindProgram(tool)) {
        return RunForOutput(*program, DialogArguments(tool, kind, start, filter));
      }
    }
    return std::nullopt;
  }
};

// "Pictures|*.png;*.jpg|All|*.*" -> ["*.png *.jpg", "*.*"]: the patterns of each pair.
std::vector<std::string> FilterPatterns(const std::string& filter) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t bar = filter.find('|', start);
    parts.push_back(filter.substr(start, bar == std::string::npos ? bar : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  std::vector<std::string> patterns;
  for (size_t i = 1; i < parts.size(); i += 2) {
    std::string p = parts[i];
    for (char& ch : p) {
      if (ch == ';') ch = ' ';
    }
    if (!p.empty()) patterns.push_back(p);
  }
  return patterns;
}

}  // namespace

std::vector<std::string> DialogArguments(std::string_view tool, std::string_view kind,
                                         const std::string& start_folder,
                                         const std::string& filter) {
  std::vector<std::string> args;
  const std::vector<std::string> patterns = FilterPatterns(filter);
  std::string start = start_folder;
  if (!start.empty() && start.back() != '/') start += '/';
  if (tool == "zenity") {
    args.push_back("--file-selection");
    if (kind == "save") {
      args.push_back("--save");
      args.push_back("--confirm-overwrite");
    }
    if (kind == "folder") args.push_back("--directory");
    if (!start.empty()) args.push_back("--filename=" + start);
    for (const std::string& p : patterns) args.push_back("--file-filter=" + p);
  } else {
    std::string joined;
    for (const std::string& p : patterns) joined += (joined.empty() ? "" : " ") + p;
    if (kind == "folder") {
      args.push_back("--getexistingdirectory");
      args.push_back(start.empty() ? "." : start);
    } else {
      args.push_back(kind == "save" ? "--getsavefilename" : "--getopenfilename");
      args.push_back(start.empty() ? "." : start);
      if (!joined.empty()) args.push_back(joined);
    }
  }
  return args;
}

std::unique_ptr<DesktopServices> CreateDesktopServices() {
  return std::make_unique<SystemDesktopServices>();
}

}  // namespace novu::platform
