#pragma once
// TParamSystem: the value of a system variable. It has no storage of its own: each operation
// reads or writes the table's fields or the host's state. Reads and writes of another type
// convert as for ordinary values, except that a text written into a numeric or flag system
// variable is parsed and a text that does not parse leaves it unchanged. Operations a system
// variable does not support fail with "内部エラー"; @Result and @Temp forward everything.
#include "expr/custom_param.h"
#include "expr/system_variable.h"

namespace novu {

class TParamCollection;

class TParamSystem final : public TCustomParam {
 public:
  TParamSystem(TParamCollection& table, SystemVariable which) : table_(table), which_(which) {}

  SystemVariable which() const { return which_; }
  bool IsSystem() const override { return true; }

  int32_t GetCount() const override;
  void SetCount(int32_t count) override;
  ParamType GetParamType() const override;

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
  // A system variable's record holds only an (empty) dimension list.
  void SaveToStream(BinaryWriter& out) const override;
  void LoadFromStream(BinaryReader& in) override;
  void ResetToScalar() override;
  const TCustomParam* Deref() const override;

 private:
  // The value @Result or @Temp forwards to, or nullptr (also for every other variable).
  TCustomParam* Forward() const;
  bool IsForwarding() const;
  // One element in the variable's own type, converted to what the caller asked for.
  struct Raw;
  Raw Read(int32_t index, bool scalar) const;
  void WriteBool(bool v);
  void WriteInt(int32_t v);
  void WriteFloat(long double v);
  void WriteStr(std::string_view v);
  void CheckElementWrite(int32_t index) const;

  TParamCollection& table_;
  SystemVariable which_;
};

}  // namespace novu
