#pragma once
// TParamCollection: the variable table, a hash collection of TParamCollectionItem kept in
// creation order; names compare without regard to case.
// The 51 system variables are its first items. Scopes tie ordinary variables to call depths;
// evaluator temporaries (names beginning with four underscores) belong to the evaluation that
// made them and are invisible to any other.
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "expr/custom_param.h"
#include "expr/system_variable.h"
#include "storage/hash_collection.h"

namespace novu {

class BinaryReader;
class BinaryWriter;
class SystemFunctionDispatcher;
class SystemVariableHost;
class TNovuParser;
class TParamCollection;

enum class VarScope : uint8_t { kGlobal = 0, kAutoDispose = 1, kLocal = 2, kStatus = 3 };

// The labels of the four scopes, in order (UTF-8; convert with Jp for display).
extern const std::array<std::string_view, 4> kVarScopeLabels;

inline constexpr std::string_view kTemporaryPrefix = "____";
inline bool IsTemporaryName(std::string_view name) {
  return name.starts_with(kTemporaryPrefix);
}

// The hash collection's one-byte name hash (length x 16 plus the lower-cased second-to-last and
// first bytes), computed without building a lower-cased copy.
uint8_t NameHash(std::string_view name);

// "\"%s\"：変数名が不正です" unless the name is not empty, has no blank and does not begin with
// an ASCII digit.
void CheckVariableName(std::string_view name);

class TParamCollectionItem final : public THashCollectionItem {
 public:
  TParamCollectionItem(std::string name, std::unique_ptr<TCustomParam> value);

  const std::string& name() const { return Name(); }
  int32_t index() const { return Index(); }

  TCustomParam& value() const { return *value_; }
  uint8_t reserved() const { return reserved_; }
  bool status() const { return status_; }
  int32_t scope_depth() const { return scope_depth_; }
  bool local() const { return local_; }
  // The scope a declaration gave it.
  VarScope scope() const;
  bool is_system() const { return value_->IsSystem(); }
  // A temporary of a running evaluation (not a user variable that happens to be so named).
  bool is_temporary() const { return eval_level_ != 0; }
  // Unique for the life of the process: tells an item apart from a later one that happens to
  // reuse its memory.
  uint64_t serial() const { return serial_; }

 private:
  friend class TParamCollection;

  std::unique_ptr<TCustomParam> value_;
  uint8_t reserved_ = 0;
  bool status_ = false;
  int32_t scope_depth_ = -1;
  bool local_ = false;
  int32_t eval_level_ = 0;
  uint64_t serial_;
};

class TParamCollection final : public THashCollection {
 public:
  TParamCollection();
  ~TParamCollection() override;
  TParamCollection(const TParamCollection&) = delete;
  TParamCollection& operator=(const TParamCollection&) = delete;

  // ---- lookup and items ----
  // The visible variable: a local one of the current depth first, else the oldest non-local
  // one of that name; temporaries only within their own evaluation.
  TParamCollectionItem* Find(std::string_view name) const;
  // A new unnamed variable of the type code (see MakeParam); unknown codes fail.
  TParamCollectionItem* Add(uint8_t type_code);
  // An item named `name` that is local at the current depth (`local`), or not local.
  TParamCollectionItem* FindForDeclare(std::string_view name, bool local) const;
  // The lookup rule of Find, as an index (-1 when nothing is visible).
  int IndexOf(std::string_view name) const override;
  // Variables in table order (Count() of them): the system variables first.
  TParamCollectionItem& Var(int32_t index) const {
    return static_cast<TParamCollectionItem&>(Item(index));
  }
  // True while `item` is one of this table's items (used to check references after frees).
  bool Contains(const TParamCollectionItem* item) const;

  // ---- declaration and deletion ----
  // The VarNew command: finds or creates the variable of the scope, then (unless it is an
  // existing status variable) stores the initial value, when the expression gives one,
  // converted to the declared type.
  TParamCollectionItem* Declare(std::string_view name, ParamType type, VarScope scope,
                                TNovuParser* initial_value);
  // Frees the visible variable of that name; system variables and the temporaries of a
  // running evaluation are never freed.
  void Delete(std::string_view name);
  // Frees every ordinary variable bound to call depth `depth`.
  void DeleteScope(int32_t depth);
  // Lowers by one the depth of every variable bound deeper than `depth` (a removed frame).
  void LowerScopesDeeperThan(int32_t depth);
  // A standalone copy of the named variable's value; nullptr when missing; "%s:不正な変数です"
  // for a variable that is not int, float, bool or string.
  std::unique_ptr<TCustomParam> CopyValue(std::string_view name) const;
  std::unique_ptr<TCustomParam> CopyValue(const TParamCollectionItem& item) const;
  // Frees every variable that is neither system nor status; @TextDelay 50, @Cursor empty.
  void Reset();

  // ---- save data ----
  void SaveToStream(BinaryWriter& out) const;
  void LoadFromStream(BinaryReader& in, int32_t version);
  // Reads the game-save block into a scratch table and drops it: the checks of LoadFromStream
  // without changing anything here.
  void ProbeFromStream(BinaryReader& in, int32_t version) const;
  void SaveStatusToStream(BinaryWriter& out) const;
  void LoadStatusFromStream(BinaryReader& in);

  // ---- variable stack ----
  void PushVars(std::span<const std::string> names);
  void PopVars();
  size_t VarStackSize() const { return var_stack_.size(); }

  // ---- state kept for the system variables ----
  int32_t depth() const { return depth_; }
  void SetDepth(int32_t depth);
  int32_t text_delay() const { return text_delay_; }
  void SetTextDelay(int32_t v) { text_delay_ = v; }
  const std::string& cursor() const { return cursor_; }
  void SetCursor(std::string_view v) { cursor_ = v; }
  const std::string& sel_str() const { return sel_str_; }
  void SetSelStr(std::string_view v) { sel_str_ = v; }
  int32_t sel_index() const { return sel_index_; }
  void SetSelIndex(int32_t v) { sel_index_ = v; }
  // The variable @Temp forwards to (the name given to AssignTemp).
  const std::string& assign_temp_name() const { return assign_temp_name_; }
  void SetAssignTempName(std::string_view name) { assign_temp_name_ = name; }
  // Limits of the history kept in save data of versions 113 to 134 (three pairs), for the
  // history to take over after a load.
  const std::array<int32_t, 6>& legacy_history_limits() const { return legacy_history_limits_; }

  SystemVariableHost& host() const { return *host_; }
  // Not owned; nullptr restores the default host.
  void SetHost(SystemVariableHost* host);
  // The system functions expressions call; not owned; nullptr restores the default, which
  // runs nothing.
  SystemFunctionDispatcher& functions() const { return *functions_; }
  void SetFunctions(SystemFunctionDispatcher* functions);

  // ---- evaluations (used by TNovuParser) ----
  // Each evaluation, nested ones included, gets a level of its own; temporaries made at one
  // level are found only at that level.
  int32_t BeginEvaluation() { return ++eval_level_; }
  void EndEvaluation() { --eval_level_; }
  int32_t eval_level() const { return eval_level_; }
  // Adds a temporary of the current evaluation, reusing `spare` (an item an earlier
  // ExtractTemporary gave back, with the same name) when one is given.
  TParamCollectionItem* AddTemporary(uint8_t type_code, std::string_view name,
                                     std::unique_ptr<THashCollectionItem> spare = nullptr);
  // A temporary of the current evaluation like AddTemporary's, but left out of the table: for
  // evaluations nothing else can watch, which reach their temporaries only through their own
  // slots.
  std::unique_ptr<THashCollectionItem> MakeTemporary(uint8_t type_code, std::string_view name,
                                                     std::unique_ptr<THashCollectionItem> spare);
  // Frees a temporary made by AddTemporary.
  void FreeTemporary(TParamCollectionItem* item);
  // Takes a temporary out of the table for later reuse.
  std::unique_ptr<THashCollectionItem> ExtractTemporary(TParamCollectionItem* item);
  // Counts frees of items, so references bound earlier know to check their target.
  uint64_t removal_epoch() const { return removal_epoch_; }
  // Changes whenever what a name resolves to may have changed (an ordinary variable added,
  // freed or renamed, a scope or the call depth changed); values are unique across tables.
  uint64_t lookup_epoch() const { return lookup_epoch_; }

 protected:
  void Linked(THashCollectionItem& item) override;
  void Unlinking(THashCollectionItem& item) override;

 private:
  void Free(TParamCollectionItem* item);
  void FreeIf(const auto& predicate);
  TParamCollectionItem* AddItem(std::unique_ptr<TCustomParam> value, std::string name,
                                int32_t eval_level);
  bool IsVisible(const TParamCollectionItem& item) const;
  void WriteItemRecord(BinaryWriter& out, const TParamCollectionItem& item) const;
  void WriteEntries(BinaryWriter& out, bool status) const;
  void ReadEntries(BinaryReader& in);
  void LoadBlock(BinaryReader& in, int32_t version);
  std::string ReadVarStackEntry(BinaryReader& in) const;

  int32_t depth_ = 0;
  std::vector<std::string> var_stack_;
  int32_t text_delay_ = 50;
  std::string cursor_;
  std::string sel_str_;
  int32_t sel_index_ = 0;
  std::string assign_temp_name_;
  std::array<int32_t, 6> legacy_history_limits_{};
  SystemVariableHost* host_;
  SystemFunctionDispatcher* functions_;
  int32_t eval_level_ = 0;
  uint64_t removal_epoch_ = 0;
  uint64_t lookup_epoch_ = 0;
  void TouchLookup();
};

}  // namespace novu
