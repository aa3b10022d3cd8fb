#pragma once
// TCommand: one command record of a script page. The common header (depth, disabled,
// continue, source line) is followed by the fields its opcode's layout names; every command
// keeps them in that order, so a page can be written back byte for byte. The concrete classes
// add the behaviour.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/command_layout.h"
#include "expr/novu_parser.h"

namespace novu {

class BinaryReader;
class BinaryWriter;
class CommandProgress;
class TCallMan;
class TCustomParam;
class TPage;
class TParamCollection;

inline constexpr int kPropertyCount = 163;
inline constexpr size_t kPropertySetBytes = 21;
using PropertySet = std::array<uint8_t, kPropertySetBytes>;

inline bool HasProperty(const PropertySet& set, int property) {
  return (set[static_cast<size_t>(property) / 8] >> (property % 8)) & 1;
}

struct CommandField {
  FieldKind kind = FieldKind::kExpr;
  bool present = true;  // false for a field newer than the page
  TNovuParser expr;
  std::string text;                 // kString and kData
  int32_t number = 0;               // kInt and kByte
  std::vector<TNovuParser> list;    // kExprList and kProperties
  std::vector<uint8_t> properties;  // kProperties: the property number of each list entry
};

struct CommandHeader {
  int32_t depth = 0;
  bool disabled = false;
  bool continue_flag = false;
  int32_t line = 0;
  // The opcode byte as stored (its top bit is not part of the opcode).
  uint8_t opcode_byte = 0;
};

class TCommand {
 public:
  TCommand(TPage& page, uint8_t code) : page_(&page), code_(code) { header_.opcode_byte = code; }
  virtual ~TCommand() = default;
  TCommand(const TCommand&) = delete;
  TCommand& operator=(const TCommand&) = delete;

  uint8_t GetCode() const { return code_; }
  virtual bool GetContinue() const { return header_.continue_flag; }
  virtual bool GetDisabled() const { return header_.disabled; }
  void SetDisabled(bool disabled) { header_.disabled = disabled; }
  virtual bool MatchesLabel(std::string_view /*name*/) const { return false; }
  // True for commands that hand the rest of the tick to event handlers.
  virtual bool YieldsToEvents(const CommandProgress* /*progress*/) const { return false; }

  // Reads the header and the fields of the opcode's layout for a page of `version`.
  void LoadFromStream(BinaryReader& in, int32_t version, const PropertySet& set);
  // Writes the record (opcode byte included) exactly as it was read.
  void SaveToStream(BinaryWriter& out) const;

  // Called once when the command becomes current.
  virtual void Begin(TCallMan& /*calls*/) {}
  // Runs the command; `page` set to nullptr leaves the page. The base only advances.
  virtual void Execute(TCallMan& calls, TPage*& page, int32_t& index);
  // Completes the command at once; `progress` is what it had begun (none for commands that
  // keep no progress).
  virtual void Finish(TCallMan& /*calls*/, CommandProgress* /*progress*/) {}
  // A fresh progress of the kind Begin makes, for reading a saved one back; none for commands
  // that keep no progress (their saved state is empty).
  virtual std::unique_ptr<CommandProgress> MakeProgress() const;

  const CommandHeader& header() const { return header_; }
  CommandHeader& header() { return header_; }
  std::vector<CommandField>& fields() { return fields_; }
  const std::vector<CommandField>& fields() const { return fields_; }
  TPage& page() const { return *page_; }

 protected:
  CommandField& Field(size_t i) { return fields_.at(i); }
  const CommandField& Field(size_t i) const { return fields_.at(i); }

 private:
  TPage* page_;
  uint8_t code_;
  CommandHeader header_;
  std::vector<CommandField> fields_;
};

// Reads a field of `kind` from a record.
void ReadField(BinaryReader& in, CommandField& field, const PropertySet& set);
void WriteField(BinaryWriter& out, const CommandField& field);

// Runs an expression for its effect.
void Run(TNovuParser& expr, TParamCollection& vars);
// Evaluation helpers: the expression's value read as the type, or `fallback` when it gives none.
bool EvalBool(TNovuParser& expr, TParamCollection& vars, bool fallback);
int32_t EvalInt(TNovuParser& expr, TParamCollection& vars, int32_t fallback);
std::optional<std::string> EvalStr(TNovuParser& expr, TParamCollection& vars);

// The value of expression field `field` of `command`; none when the page is older than the field
// or the expression gives no value. Valid until the expression is evaluated again.
const TCustomParam* EvaluateField(TCommand& command, size_t field, TCallMan& calls);
// The field's value as text (empty without one) or as a flag (false without one).
std::string EvaluateFieldStr(TCommand& command, size_t field, TCallMan& calls);
bool EvaluateFieldBool(TCommand& command, size_t field, TCallMan& calls);

}  // namespace novu
