// The array functions: sizes, filling and copying whole variables, joining and splitting text,
// searching, sorting, and appending, inserting and deleting elements of one-dimensional
// arrays.
#include <algorithm>

#include "core/cp932.h"
#include "expr/function_text.h"
#include "expr/sys_func_man.h"
#include "platform/error.h"

namespace novu {
namespace {

void CopyElement(TCustomParam& dst, int32_t di, const TCustomParam& src, int32_t si) {
  switch (dst.GetParamType()) {
    case PT_FLOAT:
      dst.SetFloatAt(di, src.GetFloatAt(si));
      break;
    case PT_BOOL:
      dst.SetBoolAt(di, src.GetBoolAt(si));
      break;
    case PT_STR:
      dst.SetStrAt(di, src.GetStrAt(si));
      break;
    default:
      dst.SetIntAt(di, src.GetIntAt(si));
      break;
  }
}

// A standalone copy of a value (its dimensions and elements, in its own type).
std::unique_ptr<TCustomParam> Snapshot(const TCustomParam& value) {
  ParamType type = value.GetParamType();
  if (type < PT_INT || type > PT_STR) type = PT_INT;
  std::unique_ptr<TCustomParam> copy = MakeParam(type);
  copy->AssignConverted(value);
  return copy;
}

bool OneDimensional(const TCustomParam& v) {
  return v.GetDimCount() < 2;
}

void GetArraySize(const FunctionCall& c) {
  TCustomParam& v = c.RequireVariable(0);
  if (!c.Has(1)) {
    c.result().SetAsInt(v.GetCount());
    return;
  }
  const int64_t dim = int64_t{v.GetDimCount()} - 1 - c.Int(1);
  const bool inside = dim >= 0 && dim < v.GetDimCount();
  c.result().SetAsInt(inside ? v.GetDimSize(static_cast<int32_t>(dim)) : 1);
}

void SetArray(const FunctionCall& c) {
  TCustomParam& v = c.RequireVariable(0);
  std::vector<int32_t> sizes;
  for (size_t i = 1; i < c.count(); ++i) sizes.push_back(c.Int(i));
  v.SetDims(sizes);
}

void FillMem(const FunctionCall& c) {
  TCustomParam& v = c.RequireVariable(0);
  switch (v.GetParamType()) {
    case PT_FLOAT:
      v.FillFloat(c.Float(1));
      break;
    case PT_BOOL:
      v.FillBool(c.Bool(1));
      break;
    case PT_STR:
      v.FillStr(c.Str(1));
      break;
    default:
      v.FillInt(c.Int(1));
      break;
  }
}

void CopyMem(const FunctionCall& c) {
  TCustomParam& dst = c.RequireVariable(0);
  const TCustomParam& src = c.RequireVariable(1);
  dst.CopyFrom(*src.Deref());
}

std::string ArrayToString(const FunctionCall& c) {
  const TCustomParam& v = *c.Arg(0);
  const std::string separator = c.Has(1) ? c.Str(1) : std::string("\r\n");
  std::string out;
  const int32_t count = v.GetCount();
  for (int32_t i = 0; i < count; ++i) {
    if (i > 0) out += separator;
    out += v.GetStrAt(i);
    if (static_cast<int64_t>(out.size()) > text::kMaxBuiltText) {
      throw NovuError(Jp("ArrayToString:文字列が長すぎます"));
    }
  }
  return out;
}

// Every single-byte character of `separators` ends a part; a trail byte never separates.
std::vector<std::string> SplitBySet(std::string_view s, std::string_view separators) {
  std::vector<std::string> parts;
  size_t start = 0;
  size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<uint8_t>(s[i]);
    if (cp932::IsLeadByte(b) && i + 1 < s.size()) {
      i += 2;
      continue;
    }
    if (separators.find(static_cast<char>(b)) != std::string_view::npos) {
      parts.emplace_back(s.substr(start, i - start));
      start = i + 1;
    }
    ++i;
  }
  if (start < s.size()) parts.emplace_back(s.substr(start));
  return parts;
}

void StringToArray(const FunctionCall& c) {
  const std::string s = c.Str(0);
  TCustomParam* target = c.Output(1);
  const std::string separators = c.Str(2);
  const bool lines = !c.Has(2) || separators == "\r\n";
  const std::vector<std::string> parts = lines ? text::SplitLines(s) : SplitBySet(s, separators);
  if (parts.empty()) {
    target->Deref()->SetAsStr("");
    return;
  }
  const int32_t count = static_cast<int32_t>(std::min<size_t>(parts.size(), INT32_MAX));
  const int32_t sizes[] = {count};
  target->SetDims(sizes);
  for (int32_t i = 0; i < count; ++i) target->SetStrAt(i, parts[static_cast<size_t>(i)]);
}

void SortStr(const FunctionCall& c) {
  TCustomParam* v = c.Variable(0);
  if (v == nullptr) return;
  std::vector<std::string> items;
  const int32_t count = v->GetCount();
  for (int32_t i = 0; i < count; ++i) items.push_back(v->GetStrAt(i));
  std::stable_sort(items.begin(), items.end(), [](const std::string& a, const std::string& b) {
    return cp932::CompareNoCase(a, b) < 0;
  });
  for (int32_t i = 0; i < count; ++i) v->SetStrAt(i, items[static_cast<size_t>(i)]);
}

// Rebuilds one-dimensional `target` as `before` elements of the old value, then `insert`'s
// elements, then the old value's elements from `after` on.
int32_t Splice(TCustomParam& target, int32_t before, const TCustomParam* insert, int32_t after) {
  const std::unique_ptr<TCustomParam> old = Snapshot(target);
  const int32_t old_count = old->GetCount();
  const int32_t inserted = insert ? insert->GetCount() : 0;
  const int64_t total = int64_t{before} + inserted + (old_count - after);
  const int32_t sizes[] = {static_cast<int32_t>(std::min<int64_t>(total, INT32_MAX))};
  target.SetDims(sizes);  // refuses 0 and anything beyond the element cap
  int32_t at = 0;
  for (int32_t i = 0; i < before; ++i) CopyElement(target, at++, *old, i);
  for (int32_t i = 0; i < inserted; ++i) CopyElement(target, at++, *insert, i);
  for (int32_t i = after; i < old_count; ++i) CopyElement(target, at++, *old, i);
  return target.GetCount();
}

void AddArray(const FunctionCall& c) {
  TCustomParam& v = *c.Output(0);
  const TCustomParam& add = *c.Arg(1);
  if (!OneDimensional(v) || !OneDimensional(add)) {
    c.result().SetAsInt(v.GetCount());
    return;
  }
  const std::unique_ptr<TCustomParam> copy = Snapshot(add);  // a2 may be a1 itself
  c.result().SetAsInt(Splice(v, v.GetCount(), copy.get(), v.GetCount()));
}

void InsertArray(const FunctionCall& c) {
  TCustomParam& v = *c.Output(0);
  const TCustomParam& add = *c.Arg(2);
  if (!OneDimensional(v) || !OneDimensional(add)) {
    c.result().SetAsInt(v.GetCount());
    return;
  }
  const int32_t at = std::clamp(c.Int(1), 0, v.GetCount());
  const std::unique_ptr<TCustomParam> copy = Snapshot(add);
  c.result().SetAsInt(Splice(v, at, copy.get(), at));
}

void DeleteArray(const FunctionCall& c) {
  TCustomParam& v = *c.Output(0);
  const int32_t count = v.GetCount();
  if (!OneDimensional(v)) {
    c.result().SetAsInt(count);
    return;
  }
  const int32_t at = std::clamp(c.Int(1), 0, std::max(count - 1, 0));
  const int64_t removed = std::clamp<int64_t>(c.Int(2), 0, count - at);
  c.result().SetAsInt(Splice(v, at, nullptr, static_cast<int32_t>(at + removed)));
}

void CopyArray(const FunctionCall& c) {
  c.Output(0)->Deref()->AssignConverted(*c.Arg(1));
  c.result().SetAsBool(true);
}

}  // namespace

void RegisterArrayFunctions(SysFuncMan& f) {
  f.Register(4, GetArraySize);
  f.Register(21, SetArray);
  f.Register(22, FillMem);
  f.Register(23, CopyMem);
  f.Register(28, [](const FunctionCall& c) { c.result().SetAsStr(ArrayToString(c)); });
  f.Register(29, StringToArray);
  f.Register(30, [](const FunctionCall& c) {
    c.result().SetAsInt(c.Arg(0)->IndexOfStr(c.Str(1), c.Bool(2, true), c.Bool(3, false)));
  });
  f.Register(31, SortStr);
  f.Register(66, AddArray);
  f.Register(67, InsertArray);
  f.Register(68, DeleteArray);
  f.Register(70, CopyArray);
}

}  // namespace novu
