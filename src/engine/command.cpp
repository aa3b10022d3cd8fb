#include "engine/command.h"

#include "engine/call_man.h"

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "engine/command_progress.h"
#include "expr/param_collection.h"

namespace novu {
namespace {

// An expression holds at least its operation count.
constexpr size_t kMinExprBytes = 4;
constexpr size_t kMaxListLength = 1 << 16;

}  // namespace

void ReadField(BinaryReader& in, CommandField& field, const PropertySet& set) {
  switch (field.kind) {
    case FieldKind::kExpr:
      field.expr.LoadFromStream(in);
      break;
    case FieldKind::kString:
      field.text = in.String();
      break;
    case FieldKind::kInt:
      field.number = in.I32();
      break;
    case FieldKind::kByte:
      field.number = in.U8();
      break;
    case FieldKind::kData: {
      const size_t size = in.Count(1);
      field.text = in.BytesAsString(size);
      break;
    }
    case FieldKind::kExprList: {
      const size_t count = in.Count(kMinExprBytes, kMaxListLength);
      field.list.resize(count);
      for (TNovuParser& e : field.list) e.LoadFromStream(in);
      break;
    }
    case FieldKind::kProperties:
      for (int b = 0; b < kPropertyCount; ++b) {
        if (!HasProperty(set, b)) continue;
        field.properties.push_back(static_cast<uint8_t>(b));
        field.list.emplace_back().LoadFromStream(in);
      }
      break;
  }
}

void WriteField(BinaryWriter& out, const CommandField& field) {
  if (!field.present) return;
  switch (field.kind) {
    case FieldKind::kExpr:
      field.expr.SaveToStream(out);
      break;
    case FieldKind::kString:
      out.String(field.text);
      break;
    case FieldKind::kInt:
      out.I32(field.number);
      break;
    case FieldKind::kByte:
      out.U8(static_cast<uint8_t>(field.number));
      break;
    case FieldKind::kData:
      out.I32(static_cast<int32_t>(field.text.size()));
      out.Bytes(field.text);
      break;
    case FieldKind::kExprList:
      out.I32(static_cast<int32_t>(field.list.size()));
      for (const TNovuParser& e : field.list) e.SaveToStream(out);
      break;
    case FieldKind::kProperties:
      for (const TNovuParser& e : field.list) e.SaveToStream(out);
      break;
  }
}

void TCommand::LoadFromStream(BinaryReader& in, int32_t version, const PropertySet& set) {
  header_.depth = in.I32();
  header_.disabled = in.U8() != 0;
  header_.continue_flag = in.U8() != 0;
  header_.line = in.I32();
  const OpcodeSpec& layout = OpcodeLayout(code_);
  fields_.clear();
  fields_.resize(layout.fields.size());
  for (size_t i = 0; i < layout.fields.size(); ++i) {
    CommandField& field = fields_[i];
    field.kind = layout.fields[i].kind;
    field.present = version > layout.fields[i].after_version;
    if (field.present) ReadField(in, field, set);
  }
}

void TCommand::SaveToStream(BinaryWriter& out) const {
  out.U8(header_.opcode_byte);
  out.I32(header_.depth);
  out.U8(header_.disabled ? 1 : 0);
  out.U8(header_.continue_flag ? 1 : 0);
  out.I32(header_.line);
  for (const CommandField& field : fields_) WriteField(out, field);
}

void TCommand::Execute(TCallMan& /*calls*/, TPage*& /*page*/, int32_t& index) {
  ++index;
}

void Run(TNovuParser& expr, TParamCollection& vars) {
  if (!expr.empty()) expr.Evaluate(vars);  // an empty expression has no effect and no value
}

bool EvalBool(TNovuParser& expr, TParamCollection& vars, bool fallback) {
  if (expr.empty()) return fallback;
  expr.Evaluate(vars);
  const TCustomParam* value = expr.result();
  return value ? value->GetAsBool() : fallback;
}

int32_t EvalInt(TNovuParser& expr, TParamCollection& vars, int32_t fallback) {
  if (expr.empty()) return fallback;
  expr.Evaluate(vars);
  const TCustomParam* value = expr.result();
  return value ? value->GetAsInt() : fallback;
}

std::optional<std::string> EvalStr(TNovuParser& expr, TParamCollection& vars) {
  if (expr.empty()) return std::nullopt;
  expr.Evaluate(vars);
  const TCustomParam* value = expr.result();
  if (!value) return std::nullopt;
  return value->GetAsStr();
}

const TCustomParam* EvaluateField(TCommand& command, size_t field, TCallMan& calls) {
  if (field >= command.fields().size()) return nullptr;
  CommandField& f = command.fields()[field];
  if (!f.present) return nullptr;
  f.expr.Evaluate(calls.vars());
  return f.expr.result();
}

std::string EvaluateFieldStr(TCommand& command, size_t field, TCallMan& calls) {
  const TCustomParam* value = EvaluateField(command, field, calls);
  return value != nullptr ? value->GetAsStr() : std::string();
}

bool EvaluateFieldBool(TCommand& command, size_t field, TCallMan& calls) {
  const TCustomParam* value = EvaluateField(command, field, calls);
  return value != nullptr && value->GetAsBool();
}

std::unique_ptr<CommandProgress> TCommand::MakeProgress() const {
  return nullptr;
}

}  // namespace novu
