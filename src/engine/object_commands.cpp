#include "engine/object_commands.h"

#include "core/cp932.h"

#include "objects/media_control.h"

#include "controls/novu_images.h"
#include "controls/novu_particle.h"

#include <algorithm>
#include <array>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "core/process_state.h"
#include "engine/call_man.h"
#include "expr/custom_param.h"
#include "expr/param_collection.h"
#include "objects/base_list.h"
#include "objects/novu_control.h"
#include "objects/prop_motion.h"
#include "objects/property_access.h"
#include "objects/property_catalogue.h"
#include "platform/error.h"

namespace novu {
namespace {

// Tag in front of the saved state of a Flip; the digits are its version.

// Flip modes: carry every control but the listed ones, or only the listed ones.
constexpr int32_t FL_OUT = 0;
constexpr int32_t FL_STAY = 1;

std::vector<std::string> EvaluateNames(CommandField& list, TCallMan& calls) {
  std::vector<std::string> names;
  if (!list.present) return names;
  for (TNovuParser& expr : list.list) {
    if (auto name = EvalStr(expr, calls.vars())) names.push_back(std::move(*name));
  }
  return names;
}

[[noreturn]] void ThrowBadProperty() {
  throw NovuError::FromUtf8("プロパティ指定が不正です");
}

int32_t PropertyNumber(TCommand& command, size_t field, TCallMan& calls) {
  const TCustomParam* value = EvaluateField(command, field, calls);
  if (value == nullptr) ThrowBadProperty();
  return value->GetAsInt();
}

// The value a creator gives a property whose expression yields none.
PropValue CreatorDefault(PropId id, ParamType type) {
  switch (id) {
    case PR_ZOOMX:
    case PR_ZOOMY:
      return int32_t{256};
    case PR_COLOR:
    case PR_BORDERCOLOR:
    case PR_HOVERCOLOR:
      return int32_t{-1};
    case PR_ALPHA:
      return int32_t{255};
    case PR_FONTHEIGHT:
      return int32_t{16};
    case PR_VOLUME:
      return int32_t{1000};
    case PR_VISIBLE:
    case PR_OVERLAY:
      return true;
    case PR_TEXTDELAY:
      return int32_t{256};
    case PR_WAVELEN:
      return int32_t{100};
    case PR_COLCOUNT:
    case PR_ROWCOUNT:
    case PR_AMP:
    case PR_SMALLCHANGE:
    case PR_LARGECHANGE:
    case PR_GLYPHWIDTH:
    case PR_GLYPHHEIGHT:
      break;
    default:
      switch (type) {
        case PT_STR:
          return std::string();
        case PT_BOOL:
          return false;
        case PT_FLOAT:
          return 0.0L;
        default:
          return int32_t{0};
      }
  }
  // The counts and steps that default to one, in the property's own type.
  if (type == PT_FLOAT) return 1.0L;
  return int32_t{1};
}

PropValue ReadAs(const TCustomParam& value, ParamType type) {
  switch (type) {
    case PT_STR:
      return value.GetAsStr();
    case PT_BOOL:
      return value.GetAsBool();
    case PT_FLOAT:
      return value.GetAsFloat();
    default:
      return value.GetAsInt();
  }
}

// Properties a creator leaves alone even when its record holds them: the border pictures and
// their alignments, the caret, the particle origins (ParticleNew keeps those for itself), the
// playing state, the type code and the motion offsets.
bool CreatorSkips(int32_t id) {
  if (id >= 54 && id <= 68) return true;
  switch (id) {
    case PR_CARETX:
    case PR_CARETY:
    case PR_APPEARX:
    case PR_APPEARY:
    case PR_PLAYING:
    case PR_COMPOTYPE:
    case PR_PLUSX:
    case PR_PLUSY:
    case PR_CARETHEIGHT:
      return true;
    default:
      return false;
  }
}

TNovuCabinet* AsCabinet(TNovuObject* object) {
  TNovuControl* control = object != nullptr ? object->AsControl() : nullptr;
  return control != nullptr && control->IsCabinet() ? static_cast<TNovuCabinet*>(control) : nullptr;
}

// Moves the selected children of `from` (last to first) under `to`.
template <typename Selects>
void MoveChildren(TNovuControl& from, TNovuControl& to, const TNovuObject* except,
                  Selects selects) {
  for (int32_t i = from.ChildCount() - 1; i >= 0; --i) {
    if (i >= from.ChildCount()) continue;
    TNovuObject* child = from.Child(i);
    if (child == nullptr || child == except || !selects(child->name())) continue;
    if (TNovuControl* control = child->AsControl()) control->SetParent(&to);
  }
}

// Reads the optional tag "novuNNN"; gives its version, or 0 (and rewinds) without one.
}  // namespace

std::optional<ComponentType> CreatedComponentType(uint8_t code) {
  static constexpr std::array<std::pair<uint8_t, ComponentType>, 22> kCreators{{
      {8, LT_BOX},      {9, LT_IMAGES},    {10, LT_MES},    {11, LT_TIMER},     {12, LT_VIDEO},
      {23, LT_CINEMA},  {24, LT_LABEL},    {25, LT_MENU},   {30, LT_BUTTON},    {36, LT_PARTICLE},
      {37, LT_FIRE},    {42, LT_SOUND},    {43, LT_EDIT},   {44, LT_MEMO},      {48, LT_MAPIMG},
      {49, LT_WAVE},    {50, LT_TILE},     {51, LT_SLIDER}, {52, LT_SCROLLBAR}, {53, LT_GAUGE},
      {54, LT_CGLABEL}, {56, LT_PREVMENU},
  }};
  for (const auto& [op, type] : kCreators) {
    if (op == code) return type;
  }
  return std::nullopt;
}

const std::vector<uint8_t>& PropertyApplicationOrder() {
  static const std::vector<uint8_t> order = [] {
    std::vector<uint8_t> o = {0, 1,   2, 7,  132, 100, 5,  6,  3,   4,
                              8, 157, 9, 10, 11,  12,  13, 14, 159, 160};
    auto range = [&o](int first, int last) {
      for (int p = first; p <= last; ++p) o.push_back(static_cast<uint8_t>(p));
    };
    range(15, 24);
    range(153, 156);
    range(25, 29);
    o.push_back(162);
    range(30, 79);
    o.push_back(161);
    range(80, 99);
    range(101, 131);
    range(133, 152);
    o.push_back(158);
    return o;
  }();
  return order;
}

// ---- creators ----

void TComComponent::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  TNovuBaseList* list = calls.host().Objects();
  std::unique_ptr<TNovuObject> created = list != nullptr ? list->CreateByType(type_) : nullptr;
  if (created == nullptr) {
    // No class to make yet: the expressions still run for what they assign.
    for (CommandField& field : fields()) {
      if (field.kind != FieldKind::kProperties) continue;
      for (TNovuParser& expr : field.list) expr.Evaluate(calls.vars());
    }
    return;
  }
  TNovuObject& object = *created;
  list->AdoptRoot(std::move(created));
  ApplyProperties(calls, *list, object);
  HandOverDelay(*list, object);
  StartMedia(*list, object);
}

// Sounds, videos and menus start once their properties are set: with a fade-in when they have
// a fade time, at once otherwise.
void TComComponent::StartMedia(TNovuBaseList& list, TNovuObject& object) {
  auto* media = dynamic_cast<MediaControl*>(&object);
  if (media == nullptr || !list.IsRegistered(&object) || list.IsPendingDeletion(object)) return;
  // A menu always opens with its opening effect, however long it takes.
  const bool fade = object.GetType() == LT_MENU || PropAsInt(object.GetProperty(PR_DELAY)) > 0;
  media->SetPlayMode(fade ? LP_PLAYFADE : LP_PLAY);
}

// An animated picture keeps its creator's PR_DELAY expression and evaluates it again at the end
// of every cycle.
void TComComponent::HandOverDelay(TNovuBaseList& list, TNovuObject& object) {
  if (auto* emitter = dynamic_cast<TNovuParticle*>(&object)) {
    // An emitter keeps where and how often it emits, evaluated for every particle.
    if (!list.IsRegistered(&object)) return;
    const TNovuParser* found[3] = {nullptr, nullptr, nullptr};
    for (CommandField& field : fields()) {
      if (field.kind != FieldKind::kProperties) continue;
      for (size_t i = 0; i < field.list.size() && i < field.properties.size(); ++i) {
        const uint8_t id = field.properties[i];
        if (id == PR_APPEARX) found[0] = &field.list[i];
        if (id == PR_APPEARY) found[1] = &field.list[i];
        if (id == PR_DELAY) found[2] = &field.list[i];
      }
    }
    emitter->SetExpressions(found[0], found[1], found[2]);
    return;
  }
  auto* images = dynamic_cast<TNovuCustomImages*>(&object);
  if (images == nullptr || !list.IsRegistered(&object)) return;
  for (CommandField& field : fields()) {
    if (field.kind != FieldKind::kProperties) continue;
    for (size_t i = 0; i < field.list.size() && i < field.properties.size(); ++i) {
      if (field.properties[i] == PR_DELAY) images->SetDelayExpression(field.list[i]);
    }
  }
}

void TComComponent::ApplyProperties(TCallMan& calls, TNovuBaseList& list, TNovuObject& object) {
  std::array<TNovuParser*, kPropertyCount> slots{};
  for (CommandField& field : fields()) {
    if (field.kind != FieldKind::kProperties) continue;
    for (size_t i = 0; i < field.list.size() && i < field.properties.size(); ++i) {
      slots[field.properties[i]] = &field.list[i];
    }
  }
  TNovuControl* control = object.AsControl();
  if (control != nullptr && slots[PR_PARENT] == nullptr) {
    // A control always lands on a screen, the current one when the record names no parent.
    control->SetParent(list.ActiveBase());
  }
  for (const uint8_t id : PropertyApplicationOrder()) {
    TNovuParser* expr = slots[id];
    if (expr == nullptr || CreatorSkips(id)) continue;
    // A deletion asked for by an expression (another object taking this one's name) ends the
    // work on it; the list frees it at the end of the frame.
    if (!list.IsRegistered(&object) || list.IsPendingDeletion(object)) return;
    const PropertyInfo* info = FindPropertyById(id);
    if (info == nullptr) continue;
    expr->Evaluate(calls.vars());
    const TCustomParam* result = expr->result();
    const auto pid = static_cast<PropId>(id);
    PropValue value =
        result != nullptr ? ReadAs(*result, info->type) : CreatorDefault(pid, info->type);
    switch (pid) {
      case PR_NAME:
        if (!PropAsStr(value).empty()) object.SetName(PropAsStr(value));
        break;
      case PR_PARENT:
        if (control != nullptr) {
          TNovuControl* parent = list.FindControl(PropAsStr(value));
          if (PropAsStr(value).empty() || parent == nullptr || parent == control) {
            parent = list.ActiveBase();
          }
          control->SetParent(parent);
        }
        break;
      case PR_TAG:
        object.SetTag(PropAsStr(value));
        break;
      case PR_FONTSTYLE:
      case PR_FONTHOVERSTYLE:
        object.SetProperty(pid, PropAsInt(value) & 0x0f);
        break;
      default:
        if (info->IsWriteRefused() || info->IsReadOnly()) break;
        object.SetProperty(pid, value);
        break;
    }
  }
  if (control != nullptr && list.IsRegistered(&object)) control->Invalidate();
}

// ---- properties ----

void TComGetProp::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  TNovuBaseList* list = calls.host().Objects();
  const std::string name = EvaluateFieldStr(*this, 0, calls);
  TNovuObject* object = list != nullptr ? list->FindComponent(name) : nullptr;
  if (object == nullptr) return;
  const int32_t id = PropertyNumber(*this, 1, calls);
  if (TParamCollectionItem* target = calls.vars().Find(Field(2).text)) {
    GetProp(target->value(), *object, id);
  }
}

void TComSetProp::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  TNovuBaseList* list = calls.host().Objects();
  const std::string name = EvaluateFieldStr(*this, 0, calls);
  TNovuObject* object = list != nullptr ? list->FindComponent(name) : nullptr;
  if (object == nullptr) return;
  const int32_t id = PropertyNumber(*this, 1, calls);
  if (const TCustomParam* value = EvaluateField(*this, 2, calls)) SetProp(*object, id, *value);
}

void TComObjDel::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  TNovuBaseList* list = calls.host().Objects();
  const std::string name = EvaluateFieldStr(*this, 0, calls);
  if (list == nullptr || name.empty()) return;
  TNovuObject* object = list->FindComponent(name);
  if (object == nullptr) return;
  // The screens themselves are never deleted, whatever name reached them.
  if (const TNovuControl* control = object->AsControl(); control != nullptr && control->IsBase()) {
    return;
  }
  list->ScheduleDeletion(*object);
}

void TComPropMotion::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  TNovuBaseList* list = calls.host().Objects();
  std::unique_ptr<TNovuObject> created =
      list != nullptr ? list->CreateByType(LT_PROPMOTION) : nullptr;
  auto* motion = dynamic_cast<TNovuPropMotion*>(created.get());
  if (motion == nullptr) {
    for (size_t i = 0; i < fields().size(); ++i) EvaluateField(*this, i, calls);
    return;
  }
  list->AdoptRoot(std::move(created));
  if (const std::string name = EvaluateFieldStr(*this, 0, calls); !name.empty())
    motion->SetName(name);
  if (const std::string target = EvaluateFieldStr(*this, 1, calls); !target.empty()) {
    motion->SetTargetName(target);
  }
  motion->SetPropertyId(PropertyNumber(*this, 2, calls));
  if (const TCustomParam* v = EvaluateField(*this, 3, calls))
    motion->SetTargetValue(v->GetAsFloat());
  if (const TCustomParam* v = EvaluateField(*this, 4, calls)) motion->SetDuration(v->GetAsInt());
  if (const TCustomParam* v = EvaluateField(*this, 5, calls)) motion->SetMotionType(v->GetAsInt());
  if (const TCustomParam* v = EvaluateField(*this, 6, calls)) motion->SetPaused(v->GetAsBool());
}

// ---- media ----

void TComMediaPlay::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  TNovuBaseList* list = calls.host().Objects();
  const std::string name = EvaluateFieldStr(*this, 0, calls);
  TNovuObject* object = list != nullptr ? list->FindComponent(name) : nullptr;
  if (auto* media = dynamic_cast<MediaControl*>(object)) media->Play();
}

// Fields: target, fade time, wait and (later pages) block-events.
void TComMovieStop::Begin(TCallMan& calls) {
  MovieStopProgress& progress = calls.BeginProgress<MovieStopProgress>();
  progress.block_events = fields().size() > 3 && EvaluateFieldBool(*this, 3, calls);
  TNovuBaseList* list = calls.host().Objects();
  const std::string name = EvaluateFieldStr(*this, 0, calls);
  TNovuObject* object = list != nullptr ? list->FindComponent(name) : nullptr;
  if (object == nullptr) return;
  const TCustomParam* fade_value = EvaluateField(*this, 1, calls);
  const int32_t fade = fade_value != nullptr ? fade_value->GetAsInt() : 0;
  auto* media = dynamic_cast<MediaControl*>(object);
  if (fade > 0) {
    if (media == nullptr) return;
    const bool missing = !media->source().starts_with("CD_") && !media->SourceAvailable();
    // Only a playing object (LP_PLAY or LP_PLAYFADE) fades out.
    if (missing || media->play_mode() > LP_PLAYFADE) return;
    object->SetProperty(PR_DELAY, fade);
    media->SetPlayMode(LP_STOPFADE);
    progress.target = name;
  } else {
    if (media != nullptr) media->SetPlayMode(LP_STOP);
    list->ScheduleDeletion(*object);
  }
  if (const TCustomParam* wait = EvaluateField(*this, 2, calls)) progress.wait = wait->GetAsBool();
}

void TComMovieStop::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  const MovieStopProgress* progress = calls.Progress<MovieStopProgress>();
  TNovuBaseList* list = calls.host().Objects();
  if (progress != nullptr && progress->wait && !progress->target.empty() && list != nullptr &&
      list->FindComponent(progress->target) != nullptr) {
    calls.SetContinue(false);
    return;
  }
  ++index;
}

std::unique_ptr<CommandProgress> TComMovieStop::MakeProgress() const {
  return std::make_unique<MovieStopProgress>();
}

bool TComMovieStop::YieldsToEvents(const CommandProgress* progress) const {
  const auto* stop = dynamic_cast<const MovieStopProgress*>(progress);
  return stop != nullptr && stop->wait;
}

// ---- cabinets ----

bool TComCabinet::Selection::Selects(const std::string& name) const {
  const bool listed = std::find(names.begin(), names.end(), name) != names.end();
  return listed != invert;
}

TComCabinet::Selection TComCabinet::EvaluateSelection(TCallMan& calls) {
  Selection selection;
  selection.invert = EvaluateFieldBool(*this, 1, calls);
  selection.names = EvaluateNames(Field(2), calls);
  return selection;
}

void TComCabinet::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  ++index;
  TNovuBaseList* list = calls.host().Objects();
  std::string name;
  CommandField& props = Field(0);
  for (size_t i = 0; i < props.list.size() && i < props.properties.size(); ++i) {
    if (props.properties[i] != PR_NAME) continue;
    if (auto text = EvalStr(props.list[i], calls.vars())) name = std::move(*text);
  }
  if (list == nullptr) {
    EvaluateSelection(calls);
    return;
  }
  if (GetCode() == kOpSaveCabinet) {
    SaveInto(calls, *list, name);
  } else {
    LoadFrom(calls, *list, name);
  }
}

void TComCabinet::SaveInto(TCallMan& calls, TNovuBaseList& list, const std::string& name) {
  TNovuCabinet* cabinet = name.empty() ? nullptr : AsCabinet(list.FindComponent(name));
  if (cabinet == nullptr) {
    std::unique_ptr<TNovuObject> created = list.CreateByType(LT_CABINET);
    cabinet = AsCabinet(created.get());
    if (cabinet == nullptr) return;
    list.AdoptRoot(std::move(created));
    if (!name.empty()) cabinet->SetName(name);
    cabinet->SetParent(&list.base(0));
  }
  const Selection selection = EvaluateSelection(calls);
  TNovuControl& back = list.base(1 - list.active_index());
  MoveChildren(back, *cabinet, nullptr,
               [&selection](const std::string& n) { return selection.Selects(n); });
  if (cabinet->ChildCount() == 0) list.ScheduleDeletion(*cabinet);
}

void TComCabinet::LoadFrom(TCallMan& calls, TNovuBaseList& list, const std::string& name) {
  TNovuCabinet* cabinet = name.empty() ? nullptr : AsCabinet(list.FindComponent(name));
  if (cabinet == nullptr) return;
  const Selection selection = EvaluateSelection(calls);
  TNovuControl& back = list.base(1 - list.active_index());
  MoveChildren(*cabinet, back, nullptr,
               [&selection](const std::string& n) { return selection.Selects(n); });
  if (cabinet->ChildCount() == 0) list.ScheduleDeletion(*cabinet);
}

// ---- Flip ----
// Fields: kind, duration, option, mode, names, hide-back, two transition parameters, the
// transition's source picture and block-events.

void TComFlip::Begin(TCallMan& calls) {
  FlipProgress& progress = calls.BeginProgress<FlipProgress>();
  if (const TCustomParam* kind = EvaluateField(*this, 0, calls)) progress.kind = kind->GetAsInt();
  if (progress.kind < 0 || progress.kind > kLastKind) progress.kind = 0;
  const TCustomParam* duration = EvaluateField(*this, 1, calls);
  const bool has_duration = duration != nullptr;
  const int32_t requested = has_duration ? duration->GetAsInt() : 0;
  progress.duration_ms = std::max(requested, 1);
  progress.yields = has_duration && requested > 0;
  const bool reverse = EvaluateFieldBool(*this, 2, calls);
  progress.block_events = EvaluateFieldBool(*this, 9, calls);
  progress.hide_back = EvaluateFieldBool(*this, 5, calls);
  const TCustomParam* mode_value = EvaluateField(*this, 3, calls);
  const std::optional<int32_t> mode =
      mode_value != nullptr ? std::optional<int32_t>(mode_value->GetAsInt()) : std::nullopt;
  TNovuBaseList* list = calls.host().Objects();
  if (list == nullptr) {
    EvaluateNames(Field(4), calls);
    progress.stage = FlipStage::kAtOnce;
    return;
  }
  if (mode) {
    if (!has_duration || requested <= 0) progress.stage = FlipStage::kAtOnce;
    // The transition starts from the screen as it is before any control moves.
    if (progress.stage != FlipStage::kAtOnce && progress.kind != 0) list->CaptureScreen();
    CarryChildren(calls, *list, *mode);
  } else {
    EvaluateNames(Field(4), calls);
  }
  if (progress.stage != FlipStage::kAtOnce) {
    list->SetActiveBase(list->active_index(), progress.kind, reverse, true, 0,
                        progress.duration_ms);
    // The transition's parameters and rule picture; their expressions run even when no
    // transition was made.
    const TCustomParam* params[] = {EvaluateField(*this, 6, calls), EvaluateField(*this, 7, calls)};
    const TCustomParam* rule = EvaluateField(*this, 8, calls);
    if (ScreenTransition* transition = list->transition()) {
      for (int i = 0; i < 2; ++i) {
        if (params[i] != nullptr) transition->SetParam(i, params[i]->GetAsInt());
      }
      if (rule != nullptr) transition->SetRuleName(rule->GetAsStr());
      transition->Prepare();
    }
  }
}

void TComFlip::CarryChildren(TCallMan& calls, TNovuBaseList& list, int32_t mode) {
  std::vector<std::string> listed;
  for (const std::string& text : EvaluateNames(Field(4), calls)) {
    for (std::string& line : cp932::SplitAtLineEnds(text)) listed.push_back(std::move(line));
  }
  if (mode != FL_OUT && mode != FL_STAY) return;
  auto is_listed = [&listed](const std::string& name) {
    return std::find(listed.begin(), listed.end(), name) != listed.end();
  };
  TNovuControl& front = list.active_base();
  TNovuControl& back = list.base(1 - list.active_index());
  const TNovuObject* snapshot = list.FindByName(kTopmostName);
  MoveChildren(front, back, snapshot, [&](const std::string& name) {
    return mode == FL_OUT ? !is_listed(name) : is_listed(name);
  });
}

void TComFlip::Execute(TCallMan& calls, TPage*& /*page*/, int32_t& index) {
  FlipProgress* progress = calls.Progress<FlipProgress>();
  if (progress == nullptr) return;
  const int32_t now = calls.state().game_clock;
  if (progress->stage == FlipStage::kBegun) {
    progress->stage = FlipStage::kFirstTickOver;
    return;
  }
  if (progress->stage == FlipStage::kFirstTickOver) {
    progress->start_clock = now;
    progress->stage = FlipStage::kRunning;
  }
  const int64_t elapsed = int64_t{now} - progress->start_clock;
  if (progress->stage == FlipStage::kRunning && elapsed < progress->duration_ms) {
    if (TNovuBaseList* list = calls.host().Objects()) {
      list->AdvanceTransition(static_cast<int32_t>(std::max<int64_t>(elapsed, 0)));
    }
    return;
  }
  ++index;
  if (TNovuBaseList* list = calls.host().Objects()) {
    SwitchScreens(*list, progress->hide_back, false);
  }
}

std::unique_ptr<CommandProgress> TComFlip::MakeProgress() const {
  return std::make_unique<FlipProgress>();
}

bool TComFlip::YieldsToEvents(const CommandProgress* progress) const {
  const auto* flip = dynamic_cast<const FlipProgress*>(progress);
  return flip != nullptr && flip->yields;
}

void TComFlip::Finish(TCallMan& calls, CommandProgress* progress) {
  const auto* flip = dynamic_cast<const FlipProgress*>(progress);
  if (TNovuBaseList* list = calls.host().Objects()) {
    SwitchScreens(*list, flip != nullptr && flip->hide_back, true);
  }
}

void TComFlip::SwitchScreens(TNovuBaseList& list, bool hide_back, bool delete_cabinets) {
  list.SetActiveBase(1 - list.active_index(), 0, false, true, 0, 0);
  if (TNovuObject* snapshot = list.FindByName(kTopmostName)) list.ScheduleDeletion(*snapshot);
  if (!hide_back) return;
  TNovuControl& back = list.base(1 - list.active_index());
  for (const auto& child : back.children()) {
    const TNovuControl* control = child->AsControl();
    if (!delete_cabinets && control != nullptr && control->IsCabinet()) continue;
    list.ScheduleDeletion(*child);
  }
}

}  // namespace novu
