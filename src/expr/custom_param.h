#pragma once
// TCustomParam: the abstract value every variable, constant and temporary holds. A value is a
// scalar or a multi-dimensional array stored flat (the last subscript varies fastest); a scalar
// behaves as a one-dimensional array of one element. The concrete classes are in
// param_values.h, the element reference in param_var.h and the system variables in
// param_system.h.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "expr/param_type.h"

namespace novu {

class BinaryReader;
class BinaryWriter;

// Limits on what a script or a file may ask for: the element count is the product of the
// dimension sizes, computed in 64 bits.
inline constexpr int64_t kMaxElementCount = int64_t{1} << 24;
inline constexpr size_t kMaxDimensionCount = 64;

class TCustomParam {
 public:
  virtual ~TCustomParam() = default;
  TCustomParam() = default;
  TCustomParam(const TCustomParam&) = delete;
  TCustomParam& operator=(const TCustomParam&) = delete;

  virtual int32_t GetCount() const { return 1; }
  virtual void SetCount(int32_t /*count*/) {}
  virtual ParamType GetParamType() const { return PT_NONE; }
  // True for TParamVar, whose stored type code is 0 whatever its target's type.
  virtual bool IsReference() const { return false; }
  // True for the values of system variables, which have no storage of their own.
  virtual bool IsSystem() const { return false; }

  virtual bool GetAsBool() const { return false; }
  virtual long double GetAsFloat() const { return 0; }
  virtual int32_t GetAsInt() const { return 0; }
  virtual std::string GetAsStr() const { return {}; }
  virtual void SetAsBool(bool /*value*/) {}
  virtual void SetAsFloat(long double /*value*/) {}
  virtual void SetAsInt(int32_t /*value*/) {}
  virtual void SetAsStr(std::string_view /*value*/) {}

  virtual int32_t GetIntAt(int32_t /*index*/) const { return 0; }
  virtual void SetIntAt(int32_t /*index*/, int32_t /*value*/) {}
  virtual long double GetFloatAt(int32_t /*index*/) const { return 0; }
  virtual void SetFloatAt(int32_t /*index*/, long double /*value*/) {}
  virtual bool GetBoolAt(int32_t /*index*/) const { return false; }
  virtual void SetBoolAt(int32_t /*index*/, bool /*value*/) {}
  virtual std::string GetStrAt(int32_t /*index*/) const { return {}; }
  virtual void SetStrAt(int32_t /*index*/, std::string_view /*value*/) {}

  // 1 for a scalar.
  virtual int32_t GetDimCount() const;
  // 1 when `dim` is out of range.
  virtual int32_t GetDimSize(int32_t dim) const;
  // Dimension list and raw elements of a value of the same class (nothing otherwise).
  virtual void CopyData(const TCustomParam& /*src*/) {}
  // Every size must be > 0 and their product within kMaxElementCount, else
  // "配列の要素数[%s]が不正です"; existing elements keep their flat positions.
  virtual void SetDims(std::span<const int32_t> sizes);

  virtual void FillInt(int32_t /*value*/) {}
  virtual void FillFloat(long double /*value*/) {}
  virtual void FillBool(bool /*value*/) {}
  virtual void FillStr(std::string_view /*value*/) {}
  // Dimensions and elements of a value of the same class; "CopyMem:変数の型があいません"
  // otherwise.
  virtual void CopyFrom(const TCustomParam& src);

  // The value record: dimensions, then the class's own elements.
  virtual void SaveToStream(BinaryWriter& out) const;
  virtual void LoadFromStream(BinaryReader& in);

  virtual void ResetToScalar();
  virtual int32_t IndexOfStr(std::string_view text, bool case_sensitive, bool partial) const;

  // Copies the dimension list of any value, then every element through the getter of this
  // value's own type (how a call hands its result back to the caller's variable).
  void AssignConverted(const TCustomParam& src);

  // The value that holds the elements: the value itself, or the target of a reference.
  virtual const TCustomParam* Deref() const { return this; }
  TCustomParam* Deref() { return const_cast<TCustomParam*>(std::as_const(*this).Deref()); }
  // A standalone copy of the same class with dimensions and elements (none for a value that
  // has no storage of its own).
  virtual std::unique_ptr<TCustomParam> Clone() const { return nullptr; }

  const std::vector<int32_t>& dims() const { return dims_; }

 protected:
  // The element count the dimension list asks for (1 for a scalar).
  int32_t DimProduct() const;
  void SaveDims(BinaryWriter& out) const;
  // Reads and validates a dimension list; returns the element count it implies.
  static std::vector<int32_t> LoadDims(BinaryReader& in);
  // Validates `sizes`, returning their product, or throws the element-count message.
  static int32_t CheckedDimProduct(std::span<const int32_t> sizes);

  std::vector<int32_t> dims_;
};

// "配列の添字が不正です": an element index outside 0 .. count-1.
[[noreturn]] void ThrowBadElementIndex();
// "内部エラー".
[[noreturn]] void ThrowInternalError();

// A new value of the type code (the top bit ignored): 0 a reference, 1..4 a scalar of that
// type at its zero value; other codes give nullptr.
std::unique_ptr<TCustomParam> MakeParam(uint8_t type_code);

}  // namespace novu
