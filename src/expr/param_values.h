#pragma once
// The four value classes: TParamInt, TParamFloat, TParamFlag and TParamStr. Each holds one flat
// element array of its type, created with one zero element; reads and writes of another type
// convert by the rules of value_conversion.h.
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "expr/custom_param.h"
#include "expr/value_conversion.h"

namespace novu {

template <typename Element, ParamType kType>
class TParamValue final : public TCustomParam {
 public:
  TParamValue() : elements_(1) {}
  explicit TParamValue(Element value) : elements_{std::move(value)} {}

  int32_t GetCount() const override { return static_cast<int32_t>(elements_.size()); }
  void SetCount(int32_t count) override {
    elements_.resize(count > 0 ? static_cast<size_t>(count) : 0);
  }
  ParamType GetParamType() const override { return kType; }

  bool GetAsBool() const override { return GetBoolAt(0); }
  long double GetAsFloat() const override { return GetFloatAt(0); }
  int32_t GetAsInt() const override { return GetIntAt(0); }
  std::string GetAsStr() const override { return GetStrAt(0); }
  void SetAsBool(bool v) override { SetScalar(convert::To<Element>(v)); }
  void SetAsFloat(long double v) override { SetScalar(convert::To<Element>(v)); }
  void SetAsInt(int32_t v) override { SetScalar(convert::To<Element>(v)); }
  void SetAsStr(std::string_view v) override { SetScalar(convert::To<Element>(v)); }

  int32_t GetIntAt(int32_t i) const override { return convert::ToInt(At(i)); }
  void SetIntAt(int32_t i, int32_t v) override { At(i) = convert::To<Element>(v); }
  long double GetFloatAt(int32_t i) const override { return convert::ToFloat(At(i)); }
  void SetFloatAt(int32_t i, long double v) override { At(i) = convert::To<Element>(v); }
  bool GetBoolAt(int32_t i) const override { return convert::ToBool(At(i)); }
  void SetBoolAt(int32_t i, bool v) override { At(i) = convert::To<Element>(v); }
  std::string GetStrAt(int32_t i) const override { return convert::ToStr(At(i)); }
  void SetStrAt(int32_t i, std::string_view v) override { At(i) = convert::To<Element>(v); }

  void CopyData(const TCustomParam& src) override {
    if (const auto* same = dynamic_cast<const TParamValue*>(src.Deref())) {
      if (same == this) return;
      dims_ = same->dims_;
      elements_ = same->elements_;
    }
  }
  void CopyFrom(const TCustomParam& src) override {
    if (dynamic_cast<const TParamValue*>(src.Deref()) == nullptr) TCustomParam::CopyFrom(src);
    CopyData(src);
  }

  void FillInt(int32_t v) override { FillOwn<int32_t>(v); }
  void FillFloat(long double v) override { FillOwn<long double>(v); }
  void FillBool(bool v) override { FillOwn<bool>(v); }
  void FillStr(std::string_view v) override { FillOwn<std::string_view>(v); }

  void SaveToStream(BinaryWriter& out) const override;
  void LoadFromStream(BinaryReader& in) override;

  void ResetToScalar() override {
    if (dims_.empty()) return;
    dims_.clear();
    elements_.resize(1);
  }

  std::unique_ptr<TCustomParam> Clone() const override {
    auto copy = std::make_unique<TParamValue>();
    copy->CopyData(*this);
    return copy;
  }

  // Direct access for hot paths that already know the class.
  const std::vector<Element>& elements() const { return elements_; }

 private:
  const Element& At(int32_t i) const {
    if (i < 0 || static_cast<size_t>(i) >= elements_.size()) ThrowBadElementIndex();
    return elements_[static_cast<size_t>(i)];
  }
  Element& At(int32_t i) { return const_cast<Element&>(std::as_const(*this).At(i)); }

  void SetScalar(Element v) {
    ResetToScalar();
    if (elements_.empty()) elements_.resize(1);
    elements_[0] = std::move(v);
  }

  // Each class fills only from a value of its own type; the other fills do nothing.
  template <typename Source, typename Value>
  void FillOwn(const Value& v) {
    if constexpr (std::is_same_v<convert::OwnSourceType<Element>, Source>) {
      for (Element& e : elements_) e = convert::To<Element>(v);
    }
  }

  std::vector<Element> elements_;
};

using TParamInt = TParamValue<int32_t, PT_INT>;
using TParamFloat = TParamValue<long double, PT_FLOAT>;
using TParamFlag = TParamValue<convert::Flag, PT_BOOL>;
using TParamStr = TParamValue<std::string, PT_STR>;

extern template class TParamValue<int32_t, PT_INT>;
extern template class TParamValue<long double, PT_FLOAT>;
extern template class TParamValue<convert::Flag, PT_BOOL>;
extern template class TParamValue<std::string, PT_STR>;

}  // namespace novu
