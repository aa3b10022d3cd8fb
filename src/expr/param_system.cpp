#include "expr/param_system.h"

#include <numbers>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "expr/param_collection.h"
#include "expr/param_var.h"
#include "expr/system_variable_host.h"
#include "expr/value_conversion.h"

namespace novu {

using SV = SystemVariable;

// One element in the variable's own type.
struct TParamSystem::Raw {
  ParamType type = PT_INT;
  int32_t i = 0;
  long double f = 0;
  bool b = false;
  std::string s;

  int32_t AsInt() const {
    switch (type) {
      case PT_FLOAT:
        return convert::ToInt(f);
      case PT_BOOL:
        return b ? 1 : 0;
      case PT_STR:
        return convert::ToInt(s);
      default:
        return i;
    }
  }
  long double AsFloat() const {
    switch (type) {
      case PT_FLOAT:
        return f;
      case PT_BOOL:
        return b ? 1 : 0;
      case PT_STR:
        return convert::ToFloat(s);
      default:
        return i;
    }
  }
  bool AsBool() const {
    switch (type) {
      case PT_FLOAT:
        return f != 0;
      case PT_BOOL:
        return b;
      case PT_STR:
        return TextToBool(s);
      default:
        return i != 0;
    }
  }
  std::string AsStr() const {
    switch (type) {
      case PT_FLOAT:
        return FloatToText(f);
      case PT_BOOL:
        return std::string(BoolToText(b));
      case PT_STR:
        return s;
      default:
        return IntToText(i);
    }
  }
};

bool TParamSystem::IsForwarding() const {
  return which_ == SV::kResult || which_ == SV::kTemp;
}

TCustomParam* TParamSystem::Forward() const {
  if (which_ == SV::kResult) return table_.host().ResultSlot();
  if (which_ == SV::kTemp) {
    TParamCollectionItem* item = table_.Find(table_.assign_temp_name());
    // A variable that leads back to @Temp (itself, or a reference to it) would forward forever.
    TParamCollectionItem* end = item;
    for (int hops = 0; end != nullptr && end->value().IsReference(); ++hops) {
      if (hops == 8) return nullptr;
      end = static_cast<const TParamVar&>(end->value()).target();
    }
    if (item == nullptr || end == nullptr || &end->value() == this) return nullptr;
    return &item->value();
  }
  return nullptr;
}

int32_t TParamSystem::GetCount() const {
  if (IsForwarding()) {
    TCustomParam* f = Forward();
    return f ? f->GetCount() : 1;
  }
  if (InfoOf(which_).is_array) return table_.host().ElementCount(which_);
  return 1;
}

ParamType TParamSystem::GetParamType() const {
  if (IsForwarding()) {
    TCustomParam* f = Forward();
    ParamType t = f ? f->GetParamType() : PT_INT;
    return t == PT_NONE ? PT_INT : t;
  }
  return InfoOf(which_).type;
}

TParamSystem::Raw TParamSystem::Read(int32_t index, bool scalar) const {
  Raw raw;
  raw.type = InfoOf(which_).type;
  SystemVariableHost& host = table_.host();
  if (InfoOf(which_).is_array) {
    const int32_t count = host.ElementCount(which_);
    if (scalar) {
      // A scalar read of @MidiPorts is its first port; of the other arrays, empty or false.
      if (which_ != SV::kMidiPorts || count <= 0) return raw;
      index = 0;
    } else if (index < 0 || index >= count) {
      ThrowBadElementIndex();
    }
    if (raw.type == PT_STR) {
      raw.s = host.GetStrAt(which_, index);
    } else {
      raw.b = host.GetBoolAt(which_, index);
    }
    return raw;
  }
  if (!scalar && index != 0) ThrowBadElementIndex();
  switch (which_) {
    case SV::kTextDelay:
      raw.i = table_.text_delay();
      return raw;
    case SV::kCursor:
      raw.s = table_.cursor();
      return raw;
    case SV::kSelStr:
      raw.s = table_.sel_str();
      return raw;
    case SV::kSelIndex:
      raw.i = table_.sel_index();
      return raw;
    case SV::kPi:
      raw.f = std::numbers::pi_v<long double>;
      return raw;
    case SV::k1Hour:
      raw.f = 1.0L / 24;
      return raw;
    case SV::k1Min:
      raw.f = 1.0L / (24 * 60);
      return raw;
    case SV::k1Sec:
      raw.f = 1.0L / (24 * 60 * 60);
      return raw;
    case SV::kIsDebug:
      raw.b = false;
      return raw;
    case SV::kStackCount:
      raw.i = table_.depth();
      return raw;
    default:
      break;
  }
  switch (raw.type) {
    case PT_BOOL:
      raw.b = host.GetBool(which_);
      break;
    case PT_STR:
      raw.s = host.GetStr(which_);
      break;
    default:
      raw.i = host.GetInt(which_);
      break;
  }
  return raw;
}

// ---- writes: converted into the variable's own type, then stored where it lives ----

void TParamSystem::WriteInt(int32_t v) {
  switch (InfoOf(which_).type) {
    case PT_BOOL:
      WriteBool(v != 0);
      return;
    case PT_STR:
      WriteStr(IntToText(v));
      return;
    case PT_FLOAT:
      return;  // no float system variable takes writes
    default:
      break;
  }
  switch (which_) {
    case SV::kTextDelay:
      table_.SetTextDelay(v);
      return;
    case SV::kSelIndex:
      table_.SetSelIndex(v);
      return;
    case SV::kMouseX:
    case SV::kMouseY:
    case SV::kDisplayModeIndex:
    case SV::kHistoryMaxCount:
      table_.host().SetInt(which_, v);
      return;
    default:
      return;
  }
}

void TParamSystem::WriteBool(bool v) {
  switch (InfoOf(which_).type) {
    case PT_INT:
      WriteInt(v ? 1 : 0);
      return;
    case PT_STR:
      WriteStr(BoolToText(v));
      return;
    case PT_FLOAT:
      return;
    default:
      break;
  }
  switch (which_) {
    case SV::kLClick:
    case SV::kRClick:
    case SV::kFullScr:
    case SV::kCGDither:
    case SV::kSoundON:
      table_.host().SetBool(which_, v);
      return;
    default:
      return;
  }
}

void TParamSystem::WriteFloat(long double v) {
  switch (InfoOf(which_).type) {
    case PT_INT:
      WriteInt(FloatToInt(v));
      return;
    case PT_BOOL:
      WriteBool(v != 0);
      return;
    case PT_STR:
      WriteStr(FloatToText(v));
      return;
    default:
      return;
  }
}

void TParamSystem::WriteStr(std::string_view v) {
  switch (InfoOf(which_).type) {
    case PT_INT:
    case PT_BOOL: {
      // Numbers and flags take the integer parse of the text; other text changes nothing.
      std::optional<int32_t> parsed = ParseInt(v);
      if (!parsed) return;
      if (InfoOf(which_).type == PT_INT) {
        WriteInt(*parsed);
      } else {
        WriteBool(*parsed != 0);
      }
      return;
    }
    case PT_FLOAT:
      return;
    default:
      break;
  }
  switch (which_) {
    case SV::kCursor:
      table_.SetCursor(v);
      return;
    case SV::kSelStr:
      table_.SetSelStr(v);
      return;
    case SV::kActiveCompo:
    case SV::kMidiPort:
      table_.host().SetStr(which_, v);
      return;
    default:
      return;
  }
}

void TParamSystem::CheckElementWrite(int32_t index) const {
  if (index < 0 || index >= GetCount()) ThrowBadElementIndex();
}

// ---- scalar and element operations ----

bool TParamSystem::GetAsBool() const {
  if (IsForwarding()) return Forward() ? Forward()->GetAsBool() : false;
  return Read(0, true).AsBool();
}
long double TParamSystem::GetAsFloat() const {
  if (IsForwarding()) return Forward() ? Forward()->GetAsFloat() : 0;
  return Read(0, true).AsFloat();
}
int32_t TParamSystem::GetAsInt() const {
  if (IsForwarding()) return Forward() ? Forward()->GetAsInt() : 0;
  return Read(0, true).AsInt();
}
std::string TParamSystem::GetAsStr() const {
  if (IsForwarding()) return Forward() ? Forward()->GetAsStr() : std::string();
  return Read(0, true).AsStr();
}
void TParamSystem::SetAsBool(bool v) {
  if (IsForwarding()) {
    if (TCustomParam* f = Forward()) f->SetAsBool(v);
    return;
  }
  if (!InfoOf(which_).is_array) WriteBool(v);
}
void TParamSystem::SetAsFloat(long double v) {
  if (IsForwarding()) {
    if (TCustomParam* f = Forward()) f->SetAsFloat(v);
    return;
  }
  if (!InfoOf(which_).is_array) WriteFloat(v);
}
void TParamSystem::SetAsInt(int32_t v) {
  if (IsForwarding()) {
    if (TCustomParam* f = Forward()) f->SetAsInt(v);
    return;
  }
  if (!InfoOf(which_).is_array) WriteInt(v);
}
void TParamSystem::SetAsStr(std::string_view v) {
  if (IsForwarding()) {
    if (TCustomParam* f = Forward()) f->SetAsStr(v);
    return;
  }
  if (!InfoOf(which_).is_array) WriteStr(v);
}

int32_t TParamSystem::GetIntAt(int32_t i) const {
  if (IsForwarding()) return Forward() ? Forward()->GetIntAt(i) : 0;
  return Read(i, false).AsInt();
}
long double TParamSystem::GetFloatAt(int32_t i) const {
  if (IsForwarding()) return Forward() ? Forward()->GetFloatAt(i) : 0;
  return Read(i, false).AsFloat();
}
bool TParamSystem::GetBoolAt(int32_t i) const {
  if (IsForwarding()) return Forward() ? Forward()->GetBoolAt(i) : false;
  return Read(i, false).AsBool();
}
std::string TParamSystem::GetStrAt(int32_t i) const {
  if (IsForwarding()) return Forward() ? Forward()->GetStrAt(i) : std::string();
  return Read(i, false).AsStr();
}
void TParamSystem::SetIntAt(int32_t i, int32_t v) {
  if (IsForwarding()) {
    if (TCustomParam* f = Forward()) f->SetIntAt(i, v);
    return;
  }
  CheckElementWrite(i);
  SetAsInt(v);
}
void TParamSystem::SetFloatAt(int32_t i, long double v) {
  if (IsForwarding()) {
    if (TCustomParam* f = Forward()) f->SetFloatAt(i, v);
    return;
  }
  CheckElementWrite(i);
  SetAsFloat(v);
}
void TParamSystem::SetBoolAt(int32_t i, bool v) {
  if (IsForwarding()) {
    if (TCustomParam* f = Forward()) f->SetBoolAt(i, v);
    return;
  }
  CheckElementWrite(i);
  SetAsBool(v);
}
void TParamSystem::SetStrAt(int32_t i, std::string_view v) {
  if (IsForwarding()) {
    if (TCustomParam* f = Forward()) f->SetStrAt(i, v);
    return;
  }
  CheckElementWrite(i);
  SetAsStr(v);
}

// ---- shape and whole-value operations: forwarded by @Result and @Temp only ----

int32_t TParamSystem::GetDimCount() const {
  if (IsForwarding()) return Forward() ? Forward()->GetDimCount() : 1;
  return 1;
}
int32_t TParamSystem::GetDimSize(int32_t dim) const {
  if (IsForwarding()) return Forward() ? Forward()->GetDimSize(dim) : 1;
  return dim == 0 ? GetCount() : 1;
}

#define NOVU_FORWARD_OR_FAIL(call)              \
  do {                                          \
    if (IsForwarding()) {                       \
      if (TCustomParam* f = Forward()) f->call; \
      return;                                   \
    }                                           \
    ThrowInternalError();                       \
  } while (false)

void TParamSystem::SetCount(int32_t count) {
  NOVU_FORWARD_OR_FAIL(SetCount(count));
}
void TParamSystem::CopyData(const TCustomParam& src) {
  NOVU_FORWARD_OR_FAIL(CopyData(src));
}
void TParamSystem::SetDims(std::span<const int32_t> sizes) {
  NOVU_FORWARD_OR_FAIL(SetDims(sizes));
}
void TParamSystem::FillInt(int32_t v) {
  NOVU_FORWARD_OR_FAIL(FillInt(v));
}
void TParamSystem::FillFloat(long double v) {
  NOVU_FORWARD_OR_FAIL(FillFloat(v));
}
void TParamSystem::FillBool(bool v) {
  NOVU_FORWARD_OR_FAIL(FillBool(v));
}
void TParamSystem::FillStr(std::string_view v) {
  NOVU_FORWARD_OR_FAIL(FillStr(v));
}
void TParamSystem::CopyFrom(const TCustomParam& src) {
  NOVU_FORWARD_OR_FAIL(CopyFrom(src));
}

#undef NOVU_FORWARD_OR_FAIL

void TParamSystem::ResetToScalar() {
  if (TCustomParam* f = Forward()) f->ResetToScalar();
}

const TCustomParam* TParamSystem::Deref() const {
  TCustomParam* f = Forward();
  return f ? f->Deref() : this;
}

void TParamSystem::SaveToStream(BinaryWriter& out) const {
  out.I32(0);
}

void TParamSystem::LoadFromStream(BinaryReader& in) {
  // The dimension list is read to keep the stream in step; a system variable has no shape.
  LoadDims(in);
}

}  // namespace novu
