#include "shell/runtime.h"

namespace novu {

Runtime::~Runtime() {
  // Shutdown order: the project (exit page, status store) before everything it uses.
  state.terminate = true;
  project.reset();
  vars.reset();
  files.reset();
  window.reset();
  messages.reset();
}

void RuntimeHooks::Housekeeping() {
  if (runtime_.files) runtime_.files->Housekeeping();
}

void RuntimeHooks::RunScripts() {
  if (runtime_.project) runtime_.project->RunScripts();
}

bool RuntimeHooks::RunPendingSaveLoad() {
  return runtime_.project && runtime_.project->RunPendingSaveLoad();
}

}  // namespace novu
