#include "shell/runtime.h"

#include "engine/event_queue_stream.h"
#include "engine/game_functions.h"
#include "engine/object_functions.h"

namespace novu {

Runtime::~Runtime() {
  // Shutdown order: the project (exit page, status store) before everything it uses.
  state.terminate = true;
  FreeProject();
  if (vars) vars->SetHost(nullptr);
  if (vars) vars->SetFunctions(nullptr);
  functions.reset();
  tables.reset();
  variable_host.reset();
  objects.reset();
  histories.reset();
  reads.reset();
  texts.reset();
  glyphs.reset();
  images.reset();
  media.reset();
  media_clock.reset();
  screens.reset();
  vars.reset();
  files.reset();
  window.reset();
  messages.reset();
}

void Runtime::CreateScreens(int screen_width, int screen_height, int full_width, int full_height) {
  if (!window || !objects || screen_width <= 0 || screen_height <= 0) return;
  screens = std::make_unique<TScreenManager>(*window, full_width, full_height, screen_width,
                                             screen_height);
  objects->SetSurfaceDepth(screens->SurfaceDepth());
  objects->SetSize(screen_width, screen_height);
  objects->SetScreenSurface(&screens->Surface());
  if (variable_host) variable_host->set_screens(screens.get());
}

void Runtime::ConnectProject() {
  if (!objects || !project) return;
  ScriptEventQueue& events = project->events();
  event_streamer = std::make_unique<ScriptEventQueueStreamer>(events, *objects);
  objects->SetEventQueue(&events, event_streamer.get());
}

void Runtime::InstallFunctions() {
  if (!vars || !files || !messages) return;
  if (!desktop) desktop = std::make_unique<platform::HeadlessDesktopServices>();
  functions = std::make_unique<SysFuncMan>(state.random);
  if (objects) RegisterObjectFunctions(*functions, *objects);
  if (!tables) tables = std::make_unique<TDBManager>();
  RegisterDataTableFunctions(*functions, *tables, *files);
  RegisterGameFunctions(*functions, {*files, *messages, *desktop, [this] { return project.get(); },
                                     objects.get(), [this] { return histories.get(); }});
  functions->Register(65, [this](const FunctionCall& c) {
    if (!screens) return;
    const int32_t index = c.Int(0);
    if (index < 0 || index >= screens->ModeCount()) return;
    const DisplayMode& mode = screens->Mode(index);
    c.Output(1)->SetAsInt(mode.width);
    c.Output(2)->SetAsInt(mode.height);
    c.Output(3)->SetAsInt(mode.bits_per_pixel);
    c.Output(4)->SetAsInt(mode.refresh_rate);
    c.result().SetAsBool(true);
  });
  vars->SetFunctions(functions.get());
}

void Runtime::FreeProject() {
  if (objects) objects->SetEventQueue(nullptr);
  event_streamer.reset();
  project.reset();
}

void RuntimeHooks::Housekeeping() {
  if (runtime_.files) runtime_.files->Housekeeping();
}

void RuntimeHooks::PreUpdate() {
  if (runtime_.objects) runtime_.objects->input().ProcessInput(runtime_.state.frame_delta);
}

void RuntimeHooks::RunScripts() {
  if (runtime_.project) runtime_.project->RunScripts();
}

void RuntimeHooks::UpdateObjects() {
  if (runtime_.objects) runtime_.objects->Update();
}

bool RuntimeHooks::RunPendingSaveLoad() {
  return runtime_.project && runtime_.project->RunPendingSaveLoad();
}

void RuntimeHooks::DrawBases() {
  if (runtime_.objects) runtime_.objects->Paint();
}

void RuntimeHooks::Present() {
  if (runtime_.screens && runtime_.objects) runtime_.screens->Present(*runtime_.objects);
}

void RuntimeHooks::SuspendMedia() {
  if (runtime_.media) runtime_.media->SuspendAll();
}

void RuntimeHooks::ResumeMedia() {
  if (runtime_.media) runtime_.media->ResumeAll();
}

void RuntimeHooks::KeyDown(int vk) {
  if (runtime_.objects) runtime_.objects->input().KeyDown(vk);
}

void RuntimeHooks::KeyUp(int vk) {
  if (runtime_.objects) runtime_.objects->input().KeyUp(vk);
}

void RuntimeHooks::MouseDown(platform::MouseButton button) {
  if (runtime_.objects && button != platform::MouseButton::Middle) {
    runtime_.objects->input().MouseDown(button == platform::MouseButton::Left);
  }
}

void RuntimeHooks::MouseUp(platform::MouseButton button) {
  if (runtime_.objects && button != platform::MouseButton::Middle)
    runtime_.objects->input().MouseUp();
}

void RuntimeHooks::MouseMove(int x, int y) {
  if (runtime_.objects) runtime_.objects->input().MouseMove(x, y);
}

void RuntimeHooks::Wheel(bool down) {
  if (runtime_.objects) runtime_.objects->input().Wheel(down);
}

void RuntimeHooks::ReleaseHeldInput() {
  if (runtime_.objects) runtime_.objects->input().ReleaseHeldInput();
}

void RuntimeHooks::ReleaseDeviceSurfaces() {
  if (runtime_.screens) runtime_.screens->ReleaseDevice();
}

void RuntimeHooks::RebuildDeviceSurfaces() {
  TScreenManager* screens = runtime_.screens.get();
  if (screens == nullptr || !runtime_.window) return;
  const bool full = runtime_.window->IsFullScreen() && screens->mode_index() >= 0;
  screens->SetMode(full ? screens->mode_index() : TScreenManager::kWindowed);
  if (runtime_.objects) {
    runtime_.objects->SetSurfaceDepth(screens->SurfaceDepth());
    runtime_.objects->SetScreenSurface(&screens->Surface());
  }
}

}  // namespace novu
