#include "engine/project.h"

#include "core/error.h"

namespace novu {

TProject::TProject(ProjectEnvironment env) : env_(std::move(env)) {
  env_.state.terminate = true;
  std::vector<uint8_t> data;
  try {
    data = env_.files.LoadFile("novu.npb");
  } catch (const NovuError&) {
    return;  // no project here: end without a word, as the player always has
  }
  if (data.empty()) {
    env_.messages.Show(Jp("警告"), Jp("プロジェクトがありません"), platform::MessageButtons::Ok,
                       platform::MessageIcon::Warning);
    return;
  }
  setting_ = TProjectSetting::Parse(data);
  if (env_.set_title) env_.set_title(setting_.title);
  env_.state.terminate = false;
  started_ = true;
}

TProject::~TProject() = default;

void TProject::RunScripts() {}

bool TProject::RunPendingSaveLoad() {
  return false;
}

}  // namespace novu
