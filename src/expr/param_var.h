#pragma once
// TParamVar: a reference to one element of another variable. Operands that name a variable
// and the evaluator's element temporaries are references. The scalar getters and setters
// address the target's element at the stored index; everything else forwards unchanged.
// While unresolved, reads give zero values, the count is 0 and writes are ignored.
#include <cstdint>
#include <string>

#include "expr/custom_param.h"

namespace novu {

class TParamCollection;
class TParamCollectionItem;

class TParamVar final : public TCustomParam {
 public:
  TParamVar() = default;
  explicit TParamVar(std::string name) : name_(std::move(name)) {}

  const std::string& name() const { return name_; }
  uint8_t flag() const { return flag_; }
  int32_t index() const { return index_; }

  // Binds to the variable `name` names in `table` (element 0); a variable that is itself a
  // reference hands over its target and element, so a reference to a reference addresses
  // the same element. A missing variable fails with "\"%s\" 変数がありません".
  void Resolve(TParamCollection& table);
  // The same without failing: a missing variable leaves the reference unresolved.
  bool TryResolve(TParamCollection& table);
  // Binds to element `index` of `item` (which may itself be a reference).
  void Bind(TParamCollection& table, TParamCollectionItem& item, int32_t index);
  // Binds to `item` named without a subscript: as Bind at element 0, except that the scalar
  // getters and setters of a system variable read and write its scalar value (the scalar read
  // of @ParamStr is empty even when the call has no parameter).
  void BindName(TParamCollection& table, TParamCollectionItem& item);
  void Clear() { item_ = nullptr; }
  // The variable addressed, or nullptr while unresolved or after it was freed.
  TParamCollectionItem* target() const;

  int32_t GetCount() const override;
  void SetCount(int32_t count) override;
  ParamType GetParamType() const override;
  bool IsReference() const override { return true; }

  bool GetAsBool() const override;
  long double GetAsFloat() const override;
  int32_t GetAsInt() const override;
  std::string GetAsStr() const override;
  void SetAsBool(bool v) override;
  void SetAsFloat(long double v) override;
  void SetAsInt(int32_t v) override;
  void SetAsStr(std::string_view v) override;

  int32_t GetIntAt(int32_t i) const override;
  void SetIntAt(int32_t i, int32_t v) override;
  long double GetFloatAt(int32_t i) const override;
  void SetFloatAt(int32_t i, long double v) override;
  bool GetBoolAt(int32_t i) const override;
  void SetBoolAt(int32_t i, bool v) override;
  std::string GetStrAt(int32_t i) const override;
  void SetStrAt(int32_t i, std::string_view v) override;

  int32_t GetDimCount() const override;
  int32_t GetDimSize(int32_t dim) const override;
  void CopyData(const TCustomParam& src) override;
  void SetDims(std::span<const int32_t> sizes) override;
  void FillInt(int32_t v) override;
  void FillFloat(long double v) override;
  void FillBool(bool v) override;
  void FillStr(std::string_view v) override;
  void CopyFrom(const TCustomParam& src) override;
  // Record: dimensions, referenced name, target name, flag, element index.
  void SaveToStream(BinaryWriter& out) const override;
  // Keeps the target name; `RebindLoaded` looks it up once a table is at hand.
  void LoadFromStream(BinaryReader& in) override;
  void RebindLoaded(TParamCollection& table);
  void ResetToScalar() override;
  int32_t IndexOfStr(std::string_view text, bool case_sensitive, bool partial) const override;
  const TCustomParam* Deref() const override;
  std::unique_ptr<TCustomParam> Clone() const override;

 private:
  TCustomParam* Value() const;
  // The system variable this reference names as a whole, if it names one.
  TCustomParam* WholeSystemValue() const;

  std::string name_;
  std::string loaded_target_name_;
  uint8_t flag_ = 0;
  int32_t index_ = 0;
  bool whole_ = false;
  TParamCollectionItem* item_ = nullptr;
  uint64_t item_serial_ = 0;
  TParamCollection* table_ = nullptr;
  // The table's removal count when bound: if items were freed since, the target is checked
  // before use so a freed variable is never touched.
  mutable uint64_t removal_epoch_ = 0;
};

}  // namespace novu
