#include "expr/novu_parser.h"

#include <algorithm>
#include <limits>
#include <span>
#include <unordered_map>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "core/cp932.h"
#include "expr/build_novu_parser.h"
#include "expr/param_collection.h"
#include "expr/param_values.h"
#include "expr/param_var.h"
#include "expr/system_function.h"
#include "platform/error.h"

namespace novu {
namespace {

enum OperandTag : uint8_t { kTagName = 0, kTagInt = 1, kTagFloat = 2, kTagBool = 3, kTagStr = 4 };

// Smallest operation: code, empty target, operand count.
constexpr size_t kMinOperationBytes = 1 + 4 + 4;
// Smallest operand: tag and a one-byte flag.
constexpr size_t kMinOperandBytes = 2;

std::unique_ptr<TCustomParam> ReadOperand(BinaryReader& in) {
  const uint8_t tag = in.U8();
  switch (tag) {
    case kTagInt:
      return std::make_unique<TParamInt>(in.I32());
    case kTagFloat:
      return std::make_unique<TParamFloat>(in.Float80());
    case kTagBool:
      return std::make_unique<TParamFlag>(convert::ToFlag(in.U8() != 0));
    case kTagStr:
      return std::make_unique<TParamStr>(in.String());
    case kTagName:
      return std::make_unique<TParamVar>(in.String());
    default:
      throw NovuError(Jp("データが壊れています") + " (operand tag " + std::to_string(tag) + ")");
  }
}

void WriteOperand(BinaryWriter& out, const TCustomParam& operand) {
  if (operand.IsReference()) {
    out.U8(kTagName);
    out.String(static_cast<const TParamVar&>(operand).name());
    return;
  }
  switch (operand.GetParamType()) {
    case PT_INT:
      out.U8(kTagInt);
      out.I32(operand.GetAsInt());
      break;
    case PT_FLOAT:
      out.U8(kTagFloat);
      out.Float80(operand.GetAsFloat());
      break;
    case PT_BOOL:
      out.U8(kTagBool);
      out.U8(operand.GetAsBool() ? 1 : 0);
      break;
    default:
      out.U8(kTagStr);
      out.String(operand.GetAsStr());
      break;
  }
}

[[noreturn]] void ThrowMissingVariable(std::string_view name) {
  throw NovuError(FormatOne(Jp("\"%s\" 変数がありません"), name));
}

// A reused temporary of `type` starts at the zero value, like a new one.
void ResetScalar(TCustomParam& value, ParamType type) {
  switch (type) {
    case PT_INT:
      static_cast<TParamInt&>(value).SetAsInt(0);
      break;
    case PT_FLOAT:
      static_cast<TParamFloat&>(value).SetAsFloat(0);
      break;
    case PT_BOOL:
      static_cast<TParamFlag&>(value).SetAsBool(false);
      break;
    default:
      static_cast<TParamStr&>(value).SetAsStr({});
      break;
  }
}

// Copies one scalar value into another of the same type and shape.
void CopyScalar(const TCustomParam& from, TCustomParam& to) {
  switch (from.GetParamType()) {
    case PT_INT:
      to.SetAsInt(static_cast<const TParamInt&>(from).GetAsInt());
      break;
    case PT_FLOAT:
      to.SetAsFloat(static_cast<const TParamFloat&>(from).GetAsFloat());
      break;
    case PT_BOOL:
      to.SetAsBool(static_cast<const TParamFlag&>(from).GetAsBool());
      break;
    default:
      to.SetAsStr(static_cast<const TParamStr&>(from).GetAsStr());
      break;
  }
}

}  // namespace

TOpeData TOpeData::Copy() const {
  TOpeData copy;
  copy.code = code;
  copy.target = target;
  copy.function = function;
  copy.operands.reserve(operands.size());
  for (const auto& operand : operands) {
    if (operand->IsReference()) {
      copy.operands.push_back(
          std::make_unique<TParamVar>(static_cast<const TParamVar&>(*operand).name()));
    } else {
      copy.operands.push_back(operand->Clone());
    }
  }
  return copy;
}

std::string TOpeData::OperandText(size_t i) const {
  const TCustomParam& operand = *operands.at(i);
  if (operand.IsReference()) return static_cast<const TParamVar&>(operand).name();
  return operand.GetAsStr();
}

// ---- plan: name slots and cached lookups ----

// A plain value (neither a reference nor a system variable) reads its element 0 through its
// own getters, just as a reference bound to it would.
bool IsPlainValue(const TCustomParam& value) {
  return !value.IsReference() && !value.IsSystem();
}

// The type of a plain value, whose class follows from it (TParamInt for PT_INT and so on);
// PT_NONE for any other value.
ParamType PlainTypeOf(const TCustomParam& value) {
  return IsPlainValue(value) ? value.GetParamType() : PT_NONE;
}

struct CachedLookup {
  const TParamCollection* table = nullptr;
  uint64_t epoch = 0;
  TParamCollectionItem* item = nullptr;
  // The type of the item's value when it is plain (see PlainTypeOf); a value changes class
  // only where the lookup epoch moves.
  ParamType plain_type = PT_NONE;
};

struct TNovuParser::Plan {
  struct Name {
    int temp_slot = -1;     // names beginning with four underscores share one slot per name
    CachedLookup cache;     // other names
    bool variable = false;  // the operand names a variable (rather than holding a constant)
  };
  struct Operation {
    Name target;
    std::vector<Name> operands;  // meaningful for variable operands only
    bool into_result = false;    // target is "____arg"
    // Reads its variable operands straight from their values where a reference would read
    // the same: the operation neither calls a function (which could free variables or look
    // at its arguments as references) nor binds an element.
    bool direct = false;
    // The operand objects Perform reads: constants filled in once, variables by each
    // evaluation (see ResolveOperands).
    std::vector<TCustomParam*> values;
    // For each entry of `values` the type of a plain value, else PT_NONE; kept by evaluations
    // that are not nested in another of the same parser.
    std::vector<ParamType> plain_types;
    // Positions of the operands that name variables.
    std::vector<uint32_t> variables;
  };
  struct Slot {
    TParamCollectionItem* item = nullptr;
    bool own = false;                // a temporary this evaluation made
    ParamType plain_type = PT_NONE;  // of an own temporary out of the table
  };
  struct Created {
    TParamCollectionItem* item;
    int slot;
  };

  std::vector<Operation> operations;
  std::vector<std::string> temp_names;
  // Temporaries of the previous evaluation, taken out of the table and kept for reuse, so an
  // evaluation links its temporaries into the table without allocating them again.
  std::vector<std::unique_ptr<THashCollectionItem>> pool;
  // Per temporary name: the ordinary variable of that name, if any.
  std::vector<CachedLookup> temp_lookups;
  // Working lists of an evaluation, reused unless an evaluation of this parser is running.
  std::vector<Slot> slots;
  std::vector<Created> created;
  // Per temporary name: the operation that made the pooled item, and its type.
  std::vector<const Operation*> pool_made_by;
  std::vector<ParamType> pool_types;
  // The last operation copies into "____arg", so an evaluation has a result.
  bool gives_result = false;
  // The parser's result object holds one element and no dimensions.
  bool scalar_result = false;
  bool busy = false;
  // No operation calls a function or names a system variable (whose host may look variables
  // up by name, as @Temp does), so nothing can look at the table while an evaluation runs:
  // the temporaries stay out of it, in the pool.
  bool detached = true;
};

void TNovuParser::Prepare() {
  auto plan = std::make_unique<Plan>();
  std::unordered_map<std::string, int> slots;
  auto name_of = [&](std::string_view name) {
    if (SystemVariableIndex(name) >= 0) plan->detached = false;
    Plan::Name n;
    if (IsTemporaryName(name)) {
      std::string key = cp932::ToLower(name);
      auto [it, added] = slots.emplace(key, static_cast<int>(plan->temp_names.size()));
      if (added) plan->temp_names.emplace_back(name);
      n.temp_slot = it->second;
    }
    return n;
  };
  plan->operations.reserve(operations_.size());
  for (const TOpeData& op : operations_) {
    Plan::Operation p;
    if (op.code == ocFunc) plan->detached = false;
    p.target = name_of(op.target);
    p.into_result = cp932::EqualsNoCase(op.target, kResultTemporary);
    p.direct = op.code != ocFunc && op.code != ocDimTo;
    p.operands.resize(op.operands.size());
    for (const auto& operand : op.operands) {
      p.values.push_back(operand.get());
      p.plain_types.push_back(operand->IsReference() ? PT_NONE : operand->GetParamType());
    }
    for (size_t i = 0; i < op.operands.size(); ++i) {
      if (op.operands[i]->IsReference()) {
        p.operands[i] = name_of(static_cast<const TParamVar&>(*op.operands[i]).name());
        p.operands[i].variable = true;
        p.variables.push_back(static_cast<uint32_t>(i));
      }
    }
    plan->operations.push_back(std::move(p));
  }
  plan->gives_result = !operations_.empty() && plan->operations.back().into_result &&
                       operations_.back().code == ocTo;
  plan->pool.resize(plan->temp_names.size());
  plan->pool_made_by.resize(plan->temp_names.size());
  plan->pool_types.resize(plan->temp_names.size());
  plan->temp_lookups.resize(plan->temp_names.size());
  plan->slots.resize(plan->temp_names.size());
  plan_ = std::move(plan);
}

TNovuParser::TNovuParser() {
  Prepare();
}
TNovuParser::~TNovuParser() = default;
TNovuParser::TNovuParser(TNovuParser&&) noexcept = default;
TNovuParser& TNovuParser::operator=(TNovuParser&&) noexcept = default;

// ---- streams ----

void TNovuParser::LoadFromStream(BinaryReader& in) {
  std::vector<TOpeData> operations;
  const size_t count = in.Count(kMinOperationBytes, kMaxOperations);
  operations.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    TOpeData op;
    op.code = in.U8();
    op.target = in.String();
    const size_t operand_count = in.Count(kMinOperandBytes, kMaxOperands);
    if (op.code == ocFunc) op.function = in.U8();
    op.operands.reserve(operand_count);
    for (size_t j = 0; j < operand_count; ++j) op.operands.push_back(ReadOperand(in));
    operations.push_back(std::move(op));
  }
  operations_ = std::move(operations);
  result_.reset();
  Prepare();
}

void TNovuParser::SaveToStream(BinaryWriter& out) const {
  out.I32(static_cast<int32_t>(operations_.size()));
  for (const TOpeData& op : operations_) {
    out.U8(op.code);
    out.String(op.target);
    out.I32(static_cast<int32_t>(op.operands.size()));
    if (op.code == ocFunc) out.U8(op.function);
    for (const auto& operand : op.operands) WriteOperand(out, *operand);
  }
}

void TNovuParser::Assign(const TNovuParser& other) {
  if (&other == this) return;
  std::vector<TOpeData> operations;
  operations.reserve(other.operations_.size());
  for (const TOpeData& op : other.operations_) operations.push_back(op.Copy());
  operations_ = std::move(operations);
  result_.reset();
  Prepare();
}

void TNovuParser::LoadFromText(std::string_view text) {
  TBuildNovuParser builder;
  builder.Compile(text);
  BinaryWriter out;
  builder.SaveToStream(out);
  BinaryReader in(std::span<const uint8_t>(out.bytes()));
  LoadFromStream(in);
}

// ---- evaluation ----

class TNovuParser::Run {
 public:
  Run(TNovuParser& parser, TParamCollection& table)
      : parser_(parser),
        plan_(*parser.plan_),
        table_(table),
        reentered_(plan_.busy),
        slots_(reentered_ ? local_slots_ : plan_.slots),
        created_(reentered_ ? local_created_ : plan_.created),
        removal_epoch_(table.removal_epoch()),
        detached_(plan_.detached && !reentered_) {
    plan_.busy = true;
    if (reentered_) {
      slots_.assign(plan_.temp_names.size(), Slot{});
    } else {
      std::fill(slots_.begin(), slots_.end(), Slot{});
    }
    created_.clear();
    table_.BeginEvaluation();
  }
  ~Run() {
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
      std::unique_ptr<THashCollectionItem> item = table_.ExtractTemporary(it->item);
      auto& pooled = plan_.pool[static_cast<size_t>(it->slot)];
      if (!pooled) pooled = std::move(item);
    }
    created_.clear();
    table_.EndEvaluation();
    if (!reentered_) plan_.busy = false;
  }

  void Execute(size_t index);
  // Temporaries of this evaluation stay out of the table.
  bool detached() const { return detached_; }
  void TakeResult(std::unique_ptr<TCustomParam> spare);

 private:
  using Slot = Plan::Slot;

  // The variable a name stands for: a temporary already made or a resolution still valid is
  // answered at once, anything else by LookupAfresh.
  TParamCollectionItem* Lookup(Plan::Name& name, const std::string& text) {
    if (name.temp_slot >= 0) {
      const auto slot_index = static_cast<size_t>(name.temp_slot);
      Slot& slot = slots_[slot_index];
      if (table_.removal_epoch() == removal_epoch_) {
        if (slot.item != nullptr) return slot.item;
        const CachedLookup& cache = plan_.temp_lookups[slot_index];
        if (cache.table == &table_ && cache.epoch == table_.lookup_epoch()) {
          return slot.item = cache.item;
        }
      }
    } else if (name.cache.table == &table_ && name.cache.epoch == table_.lookup_epoch()) {
      return name.cache.item;
    }
    return LookupAfresh(name, text);
  }
  TParamCollectionItem* LookupAfresh(Plan::Name& name, const std::string& text);
  // The plain type (see PlainTypeOf) of the item a temporary's name found; a temporary this
  // evaluation made out of the table keeps the class it was made with.
  ParamType PlainTypeOfTemporary(const Plan::Name& name, const TParamCollectionItem& item) const {
    const Slot& slot = slots_[static_cast<size_t>(name.temp_slot)];
    if (slot.own && detached()) return slot.plain_type;
    return PlainTypeOf(item.value());
  }
  ParamType PlainTypeOfName(const Plan::Name& name, const TParamCollectionItem& item) const {
    return name.temp_slot < 0 ? name.cache.plain_type : PlainTypeOfTemporary(name, item);
  }
  TParamCollectionItem* Require(Plan::Name& name, const std::string& text) {
    TParamCollectionItem* item = Lookup(name, text);
    if (item == nullptr) ThrowMissingVariable(text);
    return item;
  }
  void ForgetForeignSlotsAfterFrees();
  void ResolveOperands(TOpeData& op, Plan::Operation& p);
  void ClearOperands(TOpeData& op, Plan::Operation& p);
  TParamCollectionItem* CreateTemporary(TOpeData& op, Plan::Operation& p);
  ParamType TemporaryType(const TOpeData& op);
  ParamType KnownTemporaryType(const TOpeData& op, const Plan::Operation& p);
  void BindElement(TOpeData& op, TParamCollectionItem& temp);
  void Perform(TOpeData& op, TCustomParam& target);
  bool PerformOnPlainValues(const TOpeData& op, const Plan::Operation& p,
                            const TParamCollectionItem& target);
  static void CheckOperandCount(const TOpeData& op, size_t count);

  TNovuParser& parser_;
  Plan& plan_;
  TParamCollection& table_;
  bool reentered_;
  std::vector<Slot> local_slots_;
  std::vector<Plan::Created> local_created_;
  std::vector<Slot>& slots_;
  std::vector<Plan::Created>& created_;
  std::vector<TCustomParam*> local_operands_;
  // The operand objects of the running operation (see ResolveOperands): the operation's own
  // list, or a copy of it in an evaluation nested inside another of the same parser.
  std::span<TCustomParam* const> operands_;
  uint64_t removal_epoch_;
  const bool detached_;
  // Some operand of the running operation is bound as a reference.
  bool bound_ = false;
};

void TNovuParser::Run::ForgetForeignSlotsAfterFrees() {
  if (table_.removal_epoch() == removal_epoch_) return;
  removal_epoch_ = table_.removal_epoch();
  // Our own temporaries are never freed by anyone else; other variables may have been.
  for (Slot& slot : slots_) {
    if (!slot.own) slot.item = nullptr;
  }
}

TParamCollectionItem* TNovuParser::Run::LookupAfresh(Plan::Name& name, const std::string& text) {
  if (name.temp_slot >= 0) {
    ForgetForeignSlotsAfterFrees();
    Slot& slot = slots_[static_cast<size_t>(name.temp_slot)];
    if (slot.item == nullptr) {
      // Before this evaluation makes it, a temporary's name can only find an ordinary
      // variable so named; whether there is one is cached like any other lookup.
      CachedLookup& cache = plan_.temp_lookups[static_cast<size_t>(name.temp_slot)];
      if (cache.table == &table_ && cache.epoch == table_.lookup_epoch()) {
        slot.item = cache.item;
      } else {
        slot.item = table_.Find(text);
        if (slot.item == nullptr || !slot.item->is_temporary()) {
          cache = {&table_, table_.lookup_epoch(), slot.item, PT_NONE};
        }
      }
    }
    return slot.item;
  }
  CachedLookup& cache = name.cache;
  if (cache.table != &table_ || cache.epoch != table_.lookup_epoch()) {
    cache.item = table_.Find(text);
    cache.plain_type = cache.item != nullptr ? PlainTypeOf(cache.item->value()) : PT_NONE;
    cache.table = &table_;
    cache.epoch = table_.lookup_epoch();
  }
  return cache.item;
}

inline void TNovuParser::Run::ResolveOperands(TOpeData& op, Plan::Operation& p) {
  TCustomParam** values = p.values.data();
  if (reentered_) {
    local_operands_ = p.values;
    values = local_operands_.data();
  }
  const size_t count = p.values.size();
  operands_ = std::span<TCustomParam* const>(values, count);
  bound_ = false;
  Plan::Name* names = p.operands.data();
  for (const uint32_t i : p.variables) {
    Plan::Name& name = names[i];
    auto& ref = static_cast<TParamVar&>(*op.operands[i]);
    TParamCollectionItem& item = *Require(name, ref.name());
    const ParamType plain_type = PlainTypeOfName(name, item);
    if (p.direct && plain_type != PT_NONE) {
      values[i] = &item.value();
      if (!reentered_) p.plain_types[i] = plain_type;
    } else {
      if (!reentered_) p.plain_types[i] = PT_NONE;
      ref.BindName(table_, item);
      values[i] = &ref;
      bound_ = true;
    }
  }
}

void TNovuParser::Run::ClearOperands(TOpeData& op, Plan::Operation& p) {
  for (size_t i = 0; i < op.operands.size(); ++i) {
    if (p.operands[i].variable) static_cast<TParamVar&>(*op.operands[i]).Clear();
  }
}

void TNovuParser::Run::CheckOperandCount(const TOpeData& op, size_t count) {
  if (op.operands.size() < count) {
    throw NovuError(Jp("データが壊れています") + " (" + std::string(OperationName(op.code)) +
                    " with " + std::to_string(op.operands.size()) + " operands)");
  }
}

ParamType TNovuParser::Run::TemporaryType(const TOpeData& op) {
  auto left_type = [&] { return operands_[0]->GetParamType(); };
  switch (op.code) {
    case ocTo:
      CheckOperandCount(op, 1);
      return left_type();
    case ocPlus:
      CheckOperandCount(op, 2);
      if (left_type() == PT_STR) return PT_STR;
      return left_type() == PT_FLOAT ? PT_FLOAT : PT_INT;
    case ocMinus:
    case ocMul:
    case ocDiv:
      CheckOperandCount(op, 2);
      return left_type() == PT_FLOAT ? PT_FLOAT : PT_INT;
    case ocMod:
    case ocOr:
    case ocAnd:
    case ocXor:
    case ocShiftL:
    case ocShiftR:
      return PT_INT;
    case ocEqual:
    case ocBig:
    case ocSmall:
    case ocEBig:
    case ocESmall:
    case ocNEqual:
      return PT_BOOL;
    case ocComboStr:
      return PT_STR;
    case ocDimTo:
      return PT_NONE;
    case ocFunc: {
      if (op.function >= kSystemFunctionCount) {
        throw NovuError(
            FormatOne(Jp("\"%s\" 関数名がありません"), "#" + std::to_string(op.function)));
      }
      const SystemFunctionInfo& info = SystemFunctionAt(op.function);
      if (op.function != kGetPropFunction) return info.result_type;
      CheckOperandCount(op, 2);
      const int32_t property = operands_[1]->GetAsInt();
      if (property < 0 || property > kMaxPropertyId) {
        throw NovuError::FromUtf8("GetPropの引数が違います");
      }
      ParamType type = table_.functions().PropertyType(property);
      return (type >= PT_INT && type <= PT_STR) ? type : PT_STR;
    }
    default: {
      std::string message = Jp("不正な式\r\n\r\n代入先:") + op.target + Jp("演算タイプ:") +
                            std::string(OperationName(op.code));
      for (size_t i = 0; i < op.operands.size(); ++i) message += "\r\n" + op.OperandText(i);
      throw NovuError(message);
    }
  }
}

void TNovuParser::Run::BindElement(TOpeData& op, TParamCollectionItem& temp) {
  CheckOperandCount(op, 1);
  if (!op.operands[0]->IsReference()) ThrowMissingVariable(op.OperandText(0));
  auto& array = static_cast<TParamVar&>(*op.operands[0]);
  if (array.target() == nullptr) ThrowMissingVariable(op.OperandText(0));
  const size_t subscripts = op.operands.size() - 1;
  std::string written = op.OperandText(0) + "[";
  std::vector<int32_t> values(subscripts);
  for (size_t i = 0; i < subscripts; ++i) {
    values[i] = op.operands[i + 1]->GetAsInt();
    if (i > 0) written += ",";
    written += IntToText(values[i]);
  }
  written += "]\r\n";
  if (static_cast<int32_t>(subscripts) != array.GetDimCount()) {
    throw NovuError(written + Jp("添え字が不正です"));
  }
  // Each subscript is checked only through the flat index; a negative one is refused later
  // by the element accessors.
  int64_t flat = 0;
  int64_t mult = 1;
  for (size_t i = subscripts; i-- > 0;) {
    flat += mult * values[i];
    mult *= array.GetDimSize(static_cast<int32_t>(i));
  }
  if (flat >= array.GetCount()) throw NovuError(written + Jp("要素数を超えています"));
  if (flat < std::numeric_limits<int32_t>::min()) flat = -1;
  static_cast<TParamVar&>(temp.value()).Bind(table_, *array.target(), static_cast<int32_t>(flat));
}

// TemporaryType for the commonest operations when the left operand's class is known.
inline ParamType TNovuParser::Run::KnownTemporaryType(const TOpeData& op,
                                                      const Plan::Operation& p) {
  const size_t count = p.plain_types.size();
  const ParamType left = detached() && count > 0 ? p.plain_types[0] : PT_NONE;
  switch (op.code) {
    case ocEqual:
    case ocBig:
    case ocSmall:
    case ocEBig:
    case ocESmall:
    case ocNEqual:
      return PT_BOOL;
    case ocTo:
      if (left != PT_NONE) return left;
      break;
    case ocPlus:
      if (left != PT_NONE && count >= 2) {
        return left == PT_STR ? PT_STR : (left == PT_FLOAT ? PT_FLOAT : PT_INT);
      }
      break;
    case ocMinus:
    case ocMul:
    case ocDiv:
      if (left != PT_NONE && count >= 2) return left == PT_FLOAT ? PT_FLOAT : PT_INT;
      break;
    default:
      break;
  }
  return TemporaryType(op);
}

inline TParamCollectionItem* TNovuParser::Run::CreateTemporary(TOpeData& op, Plan::Operation& p) {
  const ParamType type = KnownTemporaryType(op, p);
  const int slot_index = p.target.temp_slot;
  auto& pooled = plan_.pool[static_cast<size_t>(slot_index)];
  TParamCollectionItem* temp;
  if (detached()) {
    const auto index = static_cast<size_t>(slot_index);
    if (pooled && plan_.pool_made_by[index] == &p && plan_.pool_types[index] == type &&
        type != PT_NONE) {
      // The item this operation made last time, untouched since. Only the result can be read
      // after a failing operation, so only its value has to start over; every other
      // temporary is written whole by the operation that makes it before anything reads it.
      temp = static_cast<TParamCollectionItem*>(pooled.get());
      if (p.into_result) ResetScalar(temp->value(), type);
    } else {
      pooled = table_.MakeTemporary(type, op.target, std::move(pooled));
      temp = static_cast<TParamCollectionItem*>(pooled.get());
      plan_.pool_made_by[index] = &p;
      plan_.pool_types[index] = type;
    }
  } else {
    temp = table_.AddTemporary(type, op.target, std::move(pooled));
    created_.push_back({temp, slot_index});
  }
  Slot& slot = slots_[static_cast<size_t>(slot_index)];
  slot.item = temp;
  slot.own = true;
  slot.plain_type = type;
  if (op.code == ocDimTo) BindElement(op, *temp);
  return temp;
}

namespace {

int32_t WrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int32_t WrapSub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
int32_t WrapMul(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

[[noreturn]] void ThrowDivisionByZero() {
  throw NovuError("division by zero");
}

int32_t IntDivide(int32_t a, int32_t b) {
  if (b == 0) ThrowDivisionByZero();
  if (b == -1) return WrapSub(0, a);  // INT_MIN / -1 wraps to INT_MIN
  return a / b;
}

int32_t IntRemainder(int32_t a, int32_t b) {
  if (b == 0) ThrowDivisionByZero();
  if (b == -1) return 0;
  return a % b;
}

int32_t Arithmetic(uint8_t code, int32_t a, int32_t b) {
  switch (code) {
    case ocPlus:
      return WrapAdd(a, b);
    case ocMinus:
      return WrapSub(a, b);
    case ocMul:
      return WrapMul(a, b);
    default:
      return IntDivide(a, b);
  }
}

long double Arithmetic(uint8_t code, long double a, long double b) {
  switch (code) {
    case ocPlus:
      return a + b;
    case ocMinus:
      return a - b;
    case ocMul:
      return a * b;
    default:
      if (b == 0) ThrowDivisionByZero();
      return a / b;
  }
}

template <typename T>
bool Compare(uint8_t code, const T& a, const T& b) {
  switch (code) {
    case ocEqual:
      return a == b;
    case ocNEqual:
      return !(a == b);
    case ocBig:
      return a > b;
    case ocSmall:
      return a < b;
    case ocEBig:
      return a >= b;
    default:
      return a <= b;
  }
}

}  // namespace

void TNovuParser::Run::Perform(TOpeData& op, TCustomParam& target) {
  const auto operands = operands_;
  switch (op.code) {
    case ocTo: {
      CheckOperandCount(op, 1);
      const TCustomParam& src = *operands[0];
      // Text stored into a number or flag kept by the system is parsed by the variable itself:
      // text that does not parse leaves it unchanged instead of storing 0.
      if (src.GetParamType() == PT_STR && target.Deref()->IsSystem()) {
        target.SetAsStr(src.GetAsStr());
        return;
      }
      switch (target.GetParamType()) {
        case PT_INT:
          target.SetAsInt(src.GetAsInt());
          break;
        case PT_FLOAT:
          target.SetAsFloat(src.GetAsFloat());
          break;
        case PT_BOOL:
          target.SetAsBool(src.GetAsBool());
          break;
        case PT_STR:
          target.SetAsStr(src.GetAsStr());
          break;
        case PT_NONE:
          break;
      }
      return;
    }
    case ocPlus:
    case ocMinus:
    case ocMul:
    case ocDiv:
      CheckOperandCount(op, 2);
      if (target.GetParamType() == PT_FLOAT) {
        target.SetAsFloat(
            Arithmetic(op.code, operands[0]->GetAsFloat(), operands[1]->GetAsFloat()));
      } else {
        target.SetAsInt(Arithmetic(op.code, operands[0]->GetAsInt(), operands[1]->GetAsInt()));
      }
      return;
    case ocMod:
    case ocOr:
    case ocAnd:
    case ocXor:
    case ocShiftL:
    case ocShiftR: {
      CheckOperandCount(op, 2);
      const int32_t a = operands[0]->GetAsInt();
      const int32_t b = operands[1]->GetAsInt();
      const auto ua = static_cast<uint32_t>(a);
      const unsigned shift = static_cast<uint32_t>(b) & 31u;
      int32_t r = 0;
      switch (op.code) {
        case ocMod:
          r = IntRemainder(a, b);
          break;
        case ocOr:
          r = a | b;
          break;
        case ocAnd:
          r = a & b;
          break;
        case ocXor:
          r = a ^ b;
          break;
        case ocShiftL:
          r = static_cast<int32_t>(ua << shift);
          break;
        default:
          r = static_cast<int32_t>(ua >> shift);
          break;
      }
      target.SetAsInt(r);
      return;
    }
    case ocComboStr:
      CheckOperandCount(op, 2);
      target.SetAsStr(operands[0]->GetAsStr() + operands[1]->GetAsStr());
      return;
    case ocEqual:
    case ocBig:
    case ocSmall:
    case ocEBig:
    case ocESmall:
    case ocNEqual: {
      CheckOperandCount(op, 2);
      const TCustomParam& a = *operands[0];
      const TCustomParam& b = *operands[1];
      bool r;
      switch (a.GetParamType()) {
        case PT_STR:
          r = Compare(op.code, a.GetAsStr(), b.GetAsStr());
          break;
        case PT_FLOAT:
          r = Compare(op.code, a.GetAsFloat(), b.GetAsFloat());
          break;
        case PT_BOOL:
          r = Compare(op.code, a.GetAsBool(), b.GetAsBool());
          break;
        default:
          r = Compare(op.code, a.GetAsInt(), b.GetAsInt());
          break;
      }
      target.SetAsBool(r);
      return;
    }
    case ocFunc: {
      const SystemFunctionInfo& info = SystemFunctionAt(op.function);
      const auto count = static_cast<int>(operands.size());
      if (count < info.min_args || (info.max_args >= 0 && count > info.max_args)) {
        throw NovuError(std::string(info.name) + Jp(" 引数の数が不正です"));
      }
      table_.functions().Call(op.function, target, operands_, table_);
      return;
    }
    case ocDimTo:
      return;
    default:
      TemporaryType(op);  // raises the invalid-operation message
  }
}

// The commonest operations on integers and flags, with the classes known, so without a
// virtual call per value: what Perform does for them, step by step. False leaves the operation
// to Perform.
inline bool TNovuParser::Run::PerformOnPlainValues(const TOpeData& op, const Plan::Operation& p,
                                                   const TParamCollectionItem& target) {
  const ParamType target_type = PlainTypeOfName(p.target, target);
  const ParamType* types = p.plain_types.data();
  const size_t count = p.plain_types.size();
  auto as_int = [&](size_t i) -> const TParamInt& {
    return static_cast<const TParamInt&>(*operands_[i]);
  };
  switch (op.code) {
    case ocTo:
      if (count < 1 || types[0] != target_type) return false;
      if (target_type == PT_INT) {
        static_cast<TParamInt&>(target.value()).SetAsInt(as_int(0).GetAsInt());
        return true;
      }
      if (target_type == PT_BOOL) {
        static_cast<TParamFlag&>(target.value())
            .SetAsBool(static_cast<const TParamFlag&>(*operands_[0]).GetAsBool());
        return true;
      }
      return false;
    case ocPlus:
    case ocMinus:
    case ocMul:
    case ocDiv:
      if (count < 2 || types[0] != PT_INT || types[1] != PT_INT || target_type != PT_INT) {
        return false;
      }
      static_cast<TParamInt&>(target.value())
          .SetAsInt(Arithmetic(op.code, as_int(0).GetAsInt(), as_int(1).GetAsInt()));
      return true;
    case ocEqual:
    case ocBig:
    case ocSmall:
    case ocEBig:
    case ocESmall:
    case ocNEqual:
      if (count < 2 || types[0] != PT_INT || types[1] != PT_INT || target_type != PT_BOOL) {
        return false;
      }
      static_cast<TParamFlag&>(target.value())
          .SetAsBool(Compare(op.code, as_int(0).GetAsInt(), as_int(1).GetAsInt()));
      return true;
    default:
      return false;
  }
}

void TNovuParser::Run::Execute(size_t index) {
  TOpeData& op = parser_.operations_[index];
  Plan::Operation& p = plan_.operations[index];
  struct ClearOnExit {
    Run& run;
    TOpeData& op;
    Plan::Operation& p;
    ~ClearOnExit() {
      if (run.bound_) run.ClearOperands(op, p);
    }
  } clear{*this, op, p};
  ResolveOperands(op, p);
  TParamCollectionItem* target = nullptr;
  if (p.target.temp_slot >= 0 && Lookup(p.target, op.target) == nullptr) {
    target = CreateTemporary(op, p);
  } else {
    if (op.code == ocFunc && op.function >= kSystemFunctionCount) {
      TemporaryType(op);  // refuses the function number
    }
    target = Require(p.target, op.target);
  }
  if (detached() && p.direct && PerformOnPlainValues(op, p, *target)) return;
  Perform(op, target->value());
}

void TNovuParser::Run::TakeResult(std::unique_ptr<TCustomParam> spare) {
  if (!plan_.gives_result) return;
  const Plan::Name& name = plan_.operations.back().target;
  TParamCollectionItem* item = slots_[static_cast<size_t>(name.temp_slot)].item;
  if (item == nullptr) return;
  const TCustomParam& value = item->value();
  // A temporary kept out of the table is only ever written whole, as one element.
  const bool scalar =
      detached() && slots_[static_cast<size_t>(name.temp_slot)].own && !value.IsReference();
  if (spare && plan_.scalar_result && scalar && spare->GetParamType() == value.GetParamType()) {
    CopyScalar(value, *spare);
    parser_.result_ = std::move(spare);
    return;
  }
  plan_.scalar_result = scalar;
  if (spare && !value.IsReference() && !value.IsSystem() &&
      spare->GetParamType() == value.GetParamType()) {
    // The previous result's object takes the new value, sparing an allocation.
    spare->CopyData(value);
    parser_.result_ = std::move(spare);
    return;
  }
  try {
    parser_.result_ = table_.CopyValue(*item);
  } catch (const std::exception&) {
    parser_.result_.reset();
  }
}

void TNovuParser::Evaluate(TParamCollection& table) {
  if (!plan_) Prepare();  // a parser that was moved from
  std::unique_ptr<TCustomParam> previous = std::move(result_);
  Run run(*this, table);
  last_error_.clear();
  try {
    const size_t count = operations_.size();
    for (size_t i = 0; i < count; ++i) run.Execute(i);
  } catch (const std::exception& e) {
    // A failing operation ends the evaluation; what "____arg" holds so far is the result.
    last_error_ = e.what();
  }
  if (plan_->gives_result) run.TakeResult(std::move(previous));
}

bool RunText(std::string_view text, TParamCollection& table) {
  while (!text.empty() && static_cast<uint8_t>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<uint8_t>(text.back()) <= ' ') text.remove_suffix(1);
  if (text.empty()) return false;
  TNovuParser parser;
  try {
    parser.LoadFromText(text);
  } catch (const NovuError&) {
    return false;
  }
  parser.Evaluate(table);
  return true;
}

}  // namespace novu
