#include "shell/player.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "controls/control_factory.h"
#include "core/ini_file.h"
#include "engine/variable_dump.h"
#include "media/media_library_check.h"
#include "media/media_service.h"
#include "platform/audio_output.h"
#include "platform/desktop_window.h"
#include "platform/error.h"
#include "platform/instance_lock.h"
#include "platform/text_encoding.h"
#include "shell/config_dialog.h"
#include "shell/headless_audio.h"
#include "shell/input_script.h"
#include "shell/instance_key.h"
#include "shell/runtime.h"
#include "shell/screenshot.h"
#include "shell/view.h"
#include "transitions/screen_wipe.h"

namespace novu {
namespace {

namespace fs = std::filesystem;

constexpr int kExitOk = 0;
constexpr int kExitStartupFailed = 1;
constexpr int kExitBadCommandLine = 2;

void Complain(const std::string& utf8) {
  std::fprintf(stderr, "novuplay: %s\n", utf8.c_str());
}

// How to go on when no window can be shown.
std::string NoDisplayAdvice() {
  const char* display = std::getenv("DISPLAY");
  return std::string("\nthere is no usable display (DISPLAY=") + (display ? display : "") +
         "); start the player from a desktop session, or play without a window: "
         "novuplay --headless [GAME_FOLDER]";
}

fs::path GameFolder(const CommandLine& cl, const fs::path& program_folder) {
  if (cl.sources.empty()) return program_folder;
  std::error_code ec;
  fs::path folder = fs::weakly_canonical(fs::absolute(cl.sources.front(), ec), ec);
  return folder.empty() ? fs::path(cl.sources.front()) : folder;
}

uint32_t SeedFromClock() {
  auto now = std::chrono::system_clock::now();
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
  int64_t of_day = ms % (24LL * 60 * 60 * 1000);
  return ProcessRandom::SeedFromTimeOfDay(
      static_cast<int>(of_day / 3600000), static_cast<int>(of_day / 60000 % 60),
      static_cast<int>(of_day / 1000 % 60), static_cast<int>(of_day % 1000));
}

std::optional<InputScript> LoadInputScript(const std::string& path, int& status) {
  if (path.empty()) return InputScript();
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    Complain("cannot read the input file " + path);
    status = kExitBadCommandLine;
    return std::nullopt;
  }
  std::stringstream text;
  text << in.rdbuf();
  try {
    return InputScript::Parse(text.str());
  } catch (const std::invalid_argument& e) {
    Complain(e.what());
    status = kExitBadCommandLine;
    return std::nullopt;
  }
}

// Opens a report file for writing; false (with the reason said) when it cannot be.
bool OpenReportFile(std::ofstream& out, const std::string& path, const char* what) {
  out.open(path, std::ios::binary | std::ios::trunc);
  if (out.is_open()) return true;
  Complain(std::string("cannot write the ") + what + " " + path + ": " + std::strerror(errno));
  return false;
}

// The headless clock: the time of the last tick on the virtual 15 ms clock.
class TickClock final : public platform::Clock {
 public:
  explicit TickClock(const ProcessState& state) : state_(state) {}
  uint32_t NowMs() override { return state_.last_tick_time; }
  void SleepMs(uint32_t) override {}

 private:
  const ProcessState& state_;
};

// The interpreter's trace lines, to a file or standard output.
class TraceWriter {
 public:
  // False when the file cannot be written (the reason is said).
  bool Open(const std::string& target) {
    if (target.empty() || target == "-") return true;
    return OpenReportFile(file_, target, "trace file");
  }
  // Each line is handed on at once: a trace shows how far a run got while it waits for the
  // reader, and keeps its last lines when the run is stopped from outside.
  void Write(std::string_view cp932_line) {
    const std::string line = platform::Cp932ToUtf8(cp932_line) + "\n";
    if (file_.is_open()) {
      file_ << line << std::flush;
    } else {
      std::fwrite(line.data(), 1, line.size(), stdout);
      std::fflush(stdout);
    }
  }

 private:
  std::ofstream file_;
};

class Player final : private ProjectHost {
 public:
  Player(const CommandLine& cl, fs::path program_file)
      : cl_(cl),
        program_file_(std::move(program_file)),
        program_folder_(program_file_.parent_path()),
        hooks_(runtime_) {}
  // The project goes first: its exit page may still trace and ask the view to close.
  ~Player() {
    runtime_.state.terminate = true;
    runtime_.FreeProject();
  }

  int Run() {
    int status = kExitOk;
    auto input = LoadInputScript(cl_.input_file, status);
    if (!input) return status;
    input_ = std::move(*input);
    // Report files are opened before the first tick: a run whose reports cannot be written fails
    // at once rather than after it played.
    if (!cl_.trace_file.empty() && !trace_.Open(cl_.trace_file)) return kExitStartupFailed;
    if (!cl_.dump_vars_file.empty() &&
        !OpenReportFile(dump_vars_, cl_.dump_vars_file, "variable dump")) {
      return kExitStartupFailed;
    }

    runtime_.messages = cl_.headless ? std::make_unique<platform::HeadlessMessageBoxes>()
                                     : platform::CreateDesktopMessageBoxes();
    if (!media::CheckMediaLibrary(*runtime_.messages, &media::MediaLibraryVersion))
      return kExitStartupFailed;

    if (!FormCreate()) return kExitStartupFailed;
    if (!Startup()) return kExitStartupFailed;
    Loop();
    // The frame as the last tick left it, before shutdown frees the screen.
    const bool shot = WriteScreenshot();
    Shutdown();
    const bool dumped = WriteVariableDump();
    const bool sound = FinishAudio();
    return shot && dumped && sound ? kExitOk : kExitStartupFailed;
  }

 private:
  // What the project asks of the main window.
  void SetTitle(const std::string& cp932) override { runtime_.window->SetTitle(cp932); }
  bool WantsTrace() const override { return !cl_.trace_file.empty(); }
  void Trace(std::string_view line) override { trace_.Write(line); }
  void Notice(std::string_view utf8) override { Complain(std::string(utf8)); }
  void RequestClose() override { view_->RequestClose(); }

  bool FormCreate() {
    std::error_code ec;
    fs::remove(program_folder_ / "novuplay.log", ec);
    runtime_.state.random.Seed(cl_.seed ? *cl_.seed : SeedFromClock());
    runtime_.settings = GameIniSettings::FromIni(IniFile::Load(program_folder_ / "game.ini"));
    runtime_.clock = platform::CreateSystemClock();
    try {
      const platform::DesktopWindowOptions options{
          .require_display = true,
          .integer_scaling = cl_.integer_scaling || runtime_.settings.integer_scaling};
      runtime_.window =
          cl_.headless ? platform::CreateHeadlessWindow() : platform::CreateDesktopWindow(options);
    } catch (const NovuError& e) {
      Complain(e.Utf8Message() + NoDisplayAdvice());
      return false;
    }
    game_folder_ = GameFolder(cl_, program_folder_);
    runtime_.vars = std::make_unique<TParamCollection>();
    runtime_.files = std::make_unique<TVrFileManager>();
    try {
      RegisterDataSources(*runtime_.files, cl_.sources, program_file_);
    } catch (const NovuError& e) {
      Complain(e.Utf8Message());
      return false;
    }
    view_ =
        std::make_unique<TFormView>(runtime_.state, hooks_, *runtime_.window, *runtime_.messages);
    return true;
  }

  void CreateMedia() {
    media::MediaOptions options;
    options.delay_time = runtime_.settings.delay_time;
    options.notice = [](const std::string& utf8) { Complain(utf8); };
    options.sound_font = platform::Cp932ToUtf8(runtime_.settings.sound_font);
    if (cl_.headless) {
      runtime_.media_clock = std::make_unique<TickClock>(runtime_.state);
      options.pump = false;
      headless_audio_ = std::make_unique<HeadlessAudio>(cl_.audio_out_file);
    } else {
      runtime_.media_clock = platform::CreateSystemClock();
      options.output = platform::CreateSdlAudioOutput();
    }
    runtime_.media = std::make_unique<media::MediaService>(
        media::MakeGameMediaFiles(*runtime_.files), *runtime_.media_clock, std::move(options));
  }

  // The glyph cache over the installed fonts (and the game's own), the script texts message
  // windows read, the read marks and the history formats.
  void CreateTextServices() {
    runtime_.glyphs = std::make_unique<text::TFontPixelManager>(
        platform::MakeFreeTypeGlyphSource(game_folder_.string()));
    TVrFileManager& files = *runtime_.files;
    runtime_.texts = std::make_unique<ScriptTexts>(
        [&files](std::string_view name) { return files.Exists(name); },
        [&files](std::string_view name) { return files.LoadFile(name); });
    runtime_.reads = std::make_unique<TNovuReadList>();
    runtime_.histories = std::make_unique<TNovuHistoryFormatManager>();
    runtime_.histories->SetTextSource(runtime_.texts.get(), runtime_.vars.get());
  }

  bool Startup() {
    CreateMedia();
    runtime_.images = std::make_unique<TFipoCollection>(
        [this](std::string_view name) -> std::optional<std::vector<uint8_t>> {
          if (!runtime_.files->Exists(name)) return std::nullopt;
          return runtime_.files->LoadFile(name);
        });
    runtime_.images->SetWarningSink([](std::string_view cp932_line) {
      std::string line = platform::Cp932ToUtf8(cp932_line);
      std::replace_if(
          line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
      Complain("警告: " + line);
    });
    CreateTextServices();
    runtime_.http = std::make_unique<platform::HttpClient>();
    ImageEnvironment environment{
        runtime_.images.get(), &runtime_.state,          runtime_.vars.get(),
        runtime_.media.get(),  runtime_.glyphs.get(),    runtime_.texts.get(),
        runtime_.reads.get(),  runtime_.histories.get(), runtime_.text_entry.get()};
    environment.http = runtime_.http.get();
    runtime_.objects = std::make_unique<TNovuBaseList>(MakeControlFactory(environment));
    runtime_.objects->screen_variables().SetDitherObserver(
        [this](bool on) { runtime_.images->SetDither(on); });
    runtime_.objects->SetProcessState(&runtime_.state);
    runtime_.objects->SetTransitionMaker(transitions::MakeScreenTransitions([this] {
      transitions::WipeContext context;
      context.random = &runtime_.state.random;
      context.load_file = [this](std::string_view name) -> std::optional<std::vector<uint8_t>> {
        if (!runtime_.files->Exists(name)) return std::nullopt;
        return runtime_.files->LoadFile(name);
      };
      context.image_code = runtime_.images->code();
      return context;
    }));
    runtime_.variable_host = std::make_unique<ScreenVariableHost>(*runtime_.objects, nullptr);
    runtime_.variable_host->set_state(&runtime_.state);
    runtime_.variable_host->set_histories(runtime_.histories.get());
    runtime_.variable_host->set_title(
        [this] { return runtime_.project ? runtime_.project->setting().title : std::string(); });
    runtime_.variable_host->set_full_screen([this](bool on) { view_->SetFullScreen(on); });
    runtime_.variable_host->set_sound_observer(
        [this](bool on) { runtime_.media->SetSoundEnabled(on); });
    runtime_.vars->SetHost(runtime_.variable_host.get());
    runtime_.desktop = cl_.headless ? std::make_unique<platform::HeadlessDesktopServices>()
                                    : platform::CreateDesktopServices();
    runtime_.InstallFunctions();
    ProjectEnvironment env{runtime_.state, *runtime_.files, *runtime_.messages, this};
    env.vars = runtime_.vars.get();
    env.tables = runtime_.tables.get();
    if (!cl_.sources.empty()) env.argument_folder = game_folder_;
    env.program_folder = program_folder_;
    env.objects = runtime_.objects.get();
    env.images = runtime_.images.get();
    env.histories = runtime_.histories.get();
    env.reads = runtime_.reads.get();
    try {
      runtime_.project = std::make_unique<TProject>(std::move(env));
      runtime_.ConnectProject();
      // The status data gave the image cache its dither flag; @CGDither reads it from the list.
      runtime_.objects->screen_variables().SetDither(runtime_.images->dither());
    } catch (const NovuError& e) {
      runtime_.messages->Show("NovuPlayer", e.message(), platform::MessageButtons::Ok,
                              platform::MessageIcon::Error);
      return false;
    }
    if (runtime_.state.terminate) {
      if (!runtime_.project->started()) {
        Complain("no game could be started from " + game_folder_.string() +
                 " (is novu.npb there?)");
      }
      return false;
    }
    const TProjectSetting& setting = runtime_.project->setting();
    try {
      runtime_.CreateScreens(setting.screen_width, setting.screen_height, setting.fullscreen_width,
                             setting.fullscreen_height);
    } catch (const NovuError& e) {
      runtime_.messages->Show("NovuPlayer", e.message(), platform::MessageButtons::Ok,
                              platform::MessageIcon::Error);
      return false;
    }
    runtime_.window->SetPanelSize(setting.screen_width, setting.screen_height);
    view_->SetTitle(setting.title);
    view_->SetPauseWhenInactive(setting.pause_when_inactive);
    view_->SetProjectReady(true);
    return true;
  }

  void DeliverInput(int64_t tick, uint32_t now) {
    events_.clear();
    runtime_.window->PollEvents(events_);
    input_.TakeDue(tick, events_);
    for (const auto& e : events_) view_->HandleEvent(e, now);
  }

  bool TickLimitReached(int64_t ticks_run) const { return cl_.ticks && ticks_run >= *cl_.ticks; }

  // Ticks run back to back; each advances the game clock and the frame delta by exactly 15 ms.
  void HeadlessLoop() {
    int64_t ticks_run = 0;
    while (!view_->close_requested() && !TickLimitReached(ticks_run)) {
      ++ticks_run;
      DeliverInput(ticks_run, runtime_.state.last_tick_time);
      runtime_.state.game_clock += TLoopTimer::kTargetMs;
      runtime_.state.frame_delta = TLoopTimer::kTargetMs;
      runtime_.state.last_tick_time += TLoopTimer::kTargetMs;
      view_->Tick();
      headless_audio_->AfterTick(*runtime_.media, ticks_run);
    }
  }

  void RealTimeLoop() {
    platform::Clock& clock = *runtime_.clock;
    TLoopTimer timer(runtime_.state, clock.NowMs());
    view_->SetTimer(&timer);
    int64_t ticks_run = 0;
    while (!view_->close_requested() && !TickLimitReached(ticks_run)) {
      DeliverInput(ticks_run + 1, clock.NowMs());
      if (!view_->ticking()) {
        clock.SleepMs(10);  // paused while the window is inactive
        continue;
      }
      clock.SleepMs(timer.wait_ms());
      if (timer.Wake(clock.NowMs())) {
        ++ticks_run;
        view_->Tick();
      }
    }
    view_->SetTimer(nullptr);
  }

  void Loop() {
    if (cl_.headless) {
      HeadlessLoop();
    } else {
      RealTimeLoop();
    }
  }

  bool WriteScreenshot() {
    if (cl_.screenshot_file.empty() || !runtime_.objects) return true;
    try {
      WriteScreenshotPng(runtime_.objects->ScreenSurface(), cl_.screenshot_file);
      return true;
    } catch (const NovuError& e) {
      Complain("cannot write the screenshot " + cl_.screenshot_file + ": " + e.Utf8Message());
      return false;
    }
  }

  void Shutdown() {
    runtime_.state.terminate = true;
    runtime_.FreeProject();  // runs the exit page and stores the status data
  }

  bool FinishAudio() {
    if (!headless_audio_) return true;
    std::string error;
    if (headless_audio_->Finish(error)) return true;
    Complain(error);
    return false;
  }

  bool WriteVariableDump() {
    if (!dump_vars_.is_open()) return true;
    const TParamCollection* vars = runtime_.vars.get();
    dump_vars_ << (vars ? DumpVariablesJson(*vars) : std::string("{\"variables\":[]}\n"));
    dump_vars_.close();
    if (dump_vars_) return true;
    Complain("cannot write the variable dump " + cl_.dump_vars_file + ": " + std::strerror(errno));
    return false;
  }

  const CommandLine& cl_;
  fs::path program_file_;
  fs::path program_folder_;
  fs::path game_folder_;
  Runtime runtime_;
  RuntimeHooks hooks_;
  std::unique_ptr<TFormView> view_;
  TraceWriter trace_;
  std::ofstream dump_vars_;
  std::unique_ptr<HeadlessAudio> headless_audio_;
  InputScript input_;
  std::vector<platform::InputEvent> events_;
};

}  // namespace

int RunPlayer(const CommandLine& cl, const fs::path& program_file) {
  fs::path program_folder = program_file.parent_path();
  std::string folder = platform::Utf8ToCp932(GameFolder(cl, program_folder).string());
  auto lock = platform::InstanceLock::TryAcquire(InstanceKey(folder));
  if (!lock) {
    Complain("another player is already running for this game folder");
    return kExitStartupFailed;
  }
  if (cl.show_config) {
    int status = kExitOk;
    auto input = LoadInputScript(cl.input_file, status);
    if (!input) return status;
    return RunConfigDialog(cl, program_folder, std::move(*input));
  }
  Player player(cl, program_file);
  return player.Run();
}

}  // namespace novu
