#include "expr/custom_param.h"

#include <algorithm>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "core/cp932.h"
#include "expr/param_values.h"
#include "expr/param_var.h"
#include "platform/error.h"

namespace novu {
namespace {

std::string JoinSizes(std::span<const int32_t> sizes) {
  std::string joined;
  for (size_t i = 0; i < sizes.size(); ++i) {
    if (i > 0) joined.push_back(',');
    joined += std::to_string(sizes[i]);
  }
  return joined;
}

[[noreturn]] void ThrowCorrupt(std::string_view what) {
  throw NovuError(Jp("データが壊れています") + " (" + std::string(what) + ")");
}

// Locale-independent lower case for the case-insensitive partial match; two-byte characters
// are left alone.
bool ContainsNoCase(std::string_view haystack, std::string_view needle) {
  return cp932::ToLower(haystack).find(cp932::ToLower(needle)) != std::string::npos;
}

}  // namespace

void ThrowBadElementIndex() {
  throw NovuError::FromUtf8("配列の添字が不正です");
}
void ThrowInternalError() {
  throw NovuError::FromUtf8("内部エラー");
}

int32_t TCustomParam::GetDimCount() const {
  return dims_.empty() ? 1 : static_cast<int32_t>(dims_.size());
}

int32_t TCustomParam::GetDimSize(int32_t dim) const {
  if (dim < 0 || static_cast<size_t>(dim) >= dims_.size()) return 1;
  return dims_[static_cast<size_t>(dim)];
}

int32_t TCustomParam::CheckedDimProduct(std::span<const int32_t> sizes) {
  int64_t product = 1;
  bool valid = !sizes.empty() && sizes.size() <= kMaxDimensionCount;
  for (int32_t size : sizes) {
    if (size <= 0) valid = false;
    if (!valid) break;
    product *= size;
    if (product > kMaxElementCount) valid = false;
  }
  if (!valid) {
    throw NovuError(FormatOne(Jp("配列の要素数[%s]が不正です"), JoinSizes(sizes)));
  }
  return static_cast<int32_t>(product);
}

int32_t TCustomParam::DimProduct() const {
  int64_t product = 1;
  for (int32_t size : dims_) product *= size;
  return static_cast<int32_t>(product);
}

void TCustomParam::SetDims(std::span<const int32_t> sizes) {
  int32_t count = CheckedDimProduct(sizes);
  dims_.assign(sizes.begin(), sizes.end());
  SetCount(count);
}

void TCustomParam::CopyFrom(const TCustomParam& /*src*/) {
  throw NovuError::FromUtf8("CopyMem:変数の型があいません");
}

void TCustomParam::SaveDims(BinaryWriter& out) const {
  out.I32(static_cast<int32_t>(dims_.size()));
  for (int32_t size : dims_) out.I32(size);
}

std::vector<int32_t> TCustomParam::LoadDims(BinaryReader& in) {
  size_t count = in.Count(4, kMaxDimensionCount);
  std::vector<int32_t> sizes(count);
  for (int32_t& size : sizes) size = in.I32();
  if (!sizes.empty()) CheckedDimProduct(sizes);
  return sizes;
}

void TCustomParam::SaveToStream(BinaryWriter& out) const {
  SaveDims(out);
}

void TCustomParam::LoadFromStream(BinaryReader& in) {
  dims_ = LoadDims(in);
}

void TCustomParam::ResetToScalar() {
  dims_.clear();
}

int32_t TCustomParam::IndexOfStr(std::string_view text, bool case_sensitive, bool partial) const {
  const int32_t count = GetCount();
  for (int32_t i = 0; i < count; ++i) {
    std::string element = GetStrAt(i);
    bool match;
    if (partial) {
      match =
          case_sensitive ? element.find(text) != std::string::npos : ContainsNoCase(element, text);
    } else {
      match = case_sensitive ? element == text : cp932::EqualsNoCase(element, text);
    }
    if (match) return i;
  }
  return -1;
}

void TCustomParam::AssignConverted(const TCustomParam& src) {
  const TCustomParam& from = *src.Deref();
  if (from.dims().empty()) {
    ResetToScalar();
  } else {
    SetDims(from.dims());
  }
  const int32_t count = std::min(GetCount(), from.GetCount());
  switch (GetParamType()) {
    case PT_INT:
      for (int32_t i = 0; i < count; ++i) SetIntAt(i, from.GetIntAt(i));
      break;
    case PT_FLOAT:
      for (int32_t i = 0; i < count; ++i) SetFloatAt(i, from.GetFloatAt(i));
      break;
    case PT_BOOL:
      for (int32_t i = 0; i < count; ++i) SetBoolAt(i, from.GetBoolAt(i));
      break;
    case PT_STR:
      for (int32_t i = 0; i < count; ++i) SetStrAt(i, from.GetStrAt(i));
      break;
    case PT_NONE:
      break;
  }
}

std::unique_ptr<TCustomParam> MakeParam(uint8_t type_code) {
  switch (type_code & 0x7F) {
    case PT_NONE:
      return std::make_unique<TParamVar>();
    case PT_INT:
      return std::make_unique<TParamInt>();
    case PT_FLOAT:
      return std::make_unique<TParamFloat>();
    case PT_BOOL:
      return std::make_unique<TParamFlag>();
    case PT_STR:
      return std::make_unique<TParamStr>();
    default:
      return nullptr;
  }
}

// ---- value classes: element records ----

namespace {

void WriteElement(BinaryWriter& out, int32_t v) {
  out.I32(v);
}
void WriteElement(BinaryWriter& out, long double v) {
  out.Float80(v);
}
void WriteElement(BinaryWriter& out, convert::Flag v) {
  out.U8(static_cast<uint8_t>(v));
}
void WriteElement(BinaryWriter& out, const std::string& v) {
  out.String(v);
}

void ReadElement(BinaryReader& in, int32_t& v) {
  v = in.I32();
}
void ReadElement(BinaryReader& in, long double& v) {
  v = in.Float80();
}
void ReadElement(BinaryReader& in, convert::Flag& v) {
  v = convert::ToFlag(in.U8() != 0);
}
void ReadElement(BinaryReader& in, std::string& v) {
  v = in.String();
}

template <typename Element>
constexpr size_t kMinElementBytes = std::is_same_v<Element, int32_t>       ? 4
                                    : std::is_same_v<Element, long double> ? 10
                                    : std::is_same_v<Element, std::string> ? 4
                                                                           : 1;

}  // namespace

template <typename Element, ParamType kType>
void TParamValue<Element, kType>::SaveToStream(BinaryWriter& out) const {
  SaveDims(out);
  out.I32(static_cast<int32_t>(elements_.size()));
  for (const Element& e : elements_) WriteElement(out, e);
}

template <typename Element, ParamType kType>
void TParamValue<Element, kType>::LoadFromStream(BinaryReader& in) {
  std::vector<int32_t> dims = LoadDims(in);
  const size_t count = in.Count(kMinElementBytes<Element>, static_cast<size_t>(kMaxElementCount));
  // The element count must agree with the shape, or later subscripts would address elements
  // that are not there.
  const size_t expected = dims.empty() ? 1 : static_cast<size_t>(CheckedDimProduct(dims));
  if (count != expected) {
    ThrowCorrupt("value of " + std::to_string(count) + " elements for " + std::to_string(expected));
  }
  std::vector<Element> elements(count);
  for (Element& e : elements) ReadElement(in, e);
  dims_ = std::move(dims);
  elements_ = std::move(elements);
}

template class TParamValue<int32_t, PT_INT>;
template class TParamValue<long double, PT_FLOAT>;
template class TParamValue<convert::Flag, PT_BOOL>;
template class TParamValue<std::string, PT_STR>;

}  // namespace novu
