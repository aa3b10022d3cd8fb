#include "engine/text_commands.h"

#include <algorithm>

#include "controls/novu_history.h"
#include "controls/novu_mes.h"
#include "controls/novu_read_list.h"
#include "engine/call_man.h"
#include "engine/page.h"
#include "expr/custom_param.h"
#include "expr/param_collection.h"
#include "objects/base_list.h"
#include "objects/media_control.h"
#include "objects/property_catalogue.h"

namespace novu {
namespace {

enum TextInsField : size_t {
  kTextData = 0,
  kTextTarget = 1,
  kTextRecord = 2,
  kTextWait = 3,
  kTextBlock = 4
};
enum CallHistField : size_t {
  kHistWindow = 0,
  kHistStart = 1,
  kHistCount = 2,
  kHistStack = 3,
  kHistFormat = 4
};
enum FormatHistField : size_t { kFormatTemplate = 0, kFormatName = 1 };

TNovuMes* FindWindow(TCallMan& calls, const std::string& name) {
  TNovuBaseList* list = calls.host().Objects();
  return list != nullptr ? dynamic_cast<TNovuMes*>(list->FindComponent(name)) : nullptr;
}

}  // namespace

void TComTextIns::Begin(TCallMan& calls) {
  TextInsProgress& progress = calls.BeginProgress<TextInsProgress>();
  progress.block_events = EvaluateFieldBool(*this, kTextBlock, calls);
  if (Field(kTextData).text.empty()) return;
  const std::string name = EvaluateFieldStr(*this, kTextTarget, calls);
  TNovuMes* window = FindWindow(calls, name);
  if (window == nullptr) return;
  progress.target = name;
  const bool record = EvaluateFieldBool(*this, kTextRecord, calls);
  window->InsertText(record, page().name(), page().IndexOf(this));
  progress.wait = EvaluateFieldBool(*this, kTextWait, calls);
}

void TComTextIns::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  const TextInsProgress* progress = calls.Progress<TextInsProgress>();
  if (progress != nullptr && progress->wait && !progress->target.empty()) {
    const TNovuMes* window = FindWindow(calls, progress->target);
    if (window != nullptr && window->PageCount() > 0) {
      calls.SetContinue(false);
      return;
    }
  }
  ++index;
}

bool TComTextIns::YieldsToEvents(const CommandProgress* progress) const {
  const auto* text = dynamic_cast<const TextInsProgress*>(progress);
  return text != nullptr && text->wait;
}

void TComTextClr::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  if (TNovuMes* window = FindWindow(calls, EvaluateFieldStr(*this, 0, calls))) window->ClearText();
}

void TComCallHist::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  TNovuMes* window = FindWindow(calls, EvaluateFieldStr(*this, kHistWindow, calls));
  const TCustomParam* start_value = EvaluateField(*this, kHistStart, calls);
  if (window == nullptr || start_value == nullptr) return;
  const int32_t start = std::max(start_value->GetAsInt(), 0);
  const TCustomParam* count_value = EvaluateField(*this, kHistCount, calls);
  int32_t count = count_value != nullptr ? count_value->GetAsInt() : 1;
  TNovuHistoryFormatManager* histories = calls.host().Histories();
  if (histories == nullptr) return;
  TNovuHistoryFormat* format = histories->Find(EvaluateFieldStr(*this, kHistFormat, calls));
  if (format == nullptr) return;
  const bool stacked = EvaluateFieldBool(*this, kHistStack, calls);
  count =
      static_cast<int32_t>(std::min<int64_t>(count, int64_t{histories->Count(*format)} - start));
  if (count <= 0) return;
  window->set_history_stacked(stacked);
  histories->Show(*format, start, count, *window);
}

void TComClrHist::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  if (TNovuHistoryFormatManager* histories = calls.host().Histories()) histories->ClearAll();
}

void TComEntryHist::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  const std::string template_name = EvaluateFieldStr(*this, kFormatTemplate, calls);
  const std::string format_name = EvaluateFieldStr(*this, kFormatName, calls);
  TNovuHistoryFormatManager* histories = calls.host().Histories();
  if (histories == nullptr) return;
  TNovuHistoryFormat& format = histories->FindOrAdd(format_name);
  TNovuBaseList* list = calls.host().Objects();
  // An empty name would find the screen itself, whose size would make a formatted history
  // with no font: it resets the format as an unknown name does.
  const TNovuObject* object =
      list != nullptr && !template_name.empty() ? list->FindComponent(template_name) : nullptr;
  if (object == nullptr) {
    format.layout = HistoryLayout{};
    return;
  }
  auto value = [object](PropId id) { return PropAsInt(object->GetProperty(id)); };
  format.layout = HistoryLayout{value(PR_FONTHEIGHT), value(PR_FONTBORDER), value(PR_FONTSHADOW),
                                value(PR_WIDTH),      value(PR_HEIGHT),     value(PR_LINESPACE)};
}

void TComClrRead::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  if (TNovuReadList* reads = calls.host().ReadMarks()) reads->Clear();
}

void TComMenuClose::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  const std::string name = EvaluateFieldStr(*this, 0, calls);
  TNovuBaseList* list = calls.host().Objects();
  TNovuObject* object = list != nullptr ? list->FindComponent(name) : nullptr;
  if (object == nullptr) return;
  closed_ = name;
  if (auto* media = dynamic_cast<MediaControl*>(object)) media->SetPlayMode(LP_STOPFADE);
}

}  // namespace novu
