#include "engine/object_functions.h"

#include "core/cp932.h"
#include "engine/list_box_functions.h"
#include "expr/function_text.h"
#include "expr/sys_func_man.h"
#include "objects/base_list.h"
#include "objects/novu_control.h"
#include "objects/property_access.h"
#include "objects/property_catalogue.h"
#include "platform/error.h"

namespace novu {
namespace {

// Component types 1 to 27 select one kind; anything else lists every kind.
uint8_t ListType(const FunctionCall& c) {
  const int32_t type = c.Int(1);
  return (type > 0 && type < 28) ? static_cast<uint8_t>(type) : 0;
}

void ListCompo(const FunctionCall& c, TNovuBaseList& objects) {
  TCustomParam* target = c.Output(0);
  std::vector<std::string> names;
  if (c.Has(2)) {
    TNovuObject* owner = objects.FindComponent(c.Str(2));
    const TNovuControl* control = owner != nullptr ? owner->AsControl() : nullptr;
    if (control != nullptr) objects.ListNames(names, ListType(c), control);
  } else {
    objects.ListNames(names, ListType(c), nullptr);
  }
  if (names.empty()) {
    target->Deref()->SetAsStr("");
    return;
  }
  const int32_t sizes[] = {static_cast<int32_t>(names.size())};
  target->SetDims(sizes);
  for (size_t i = 0; i < names.size(); ++i) {
    target->SetStrAt(static_cast<int32_t>(i), names[i]);
  }
  c.result().SetAsInt(static_cast<int32_t>(names.size()));
}

TNovuControl* ControlNamed(const TNovuBaseList& objects, const std::string& name) {
  TNovuObject* object = objects.FindComponent(name);
  return object != nullptr ? object->AsControl() : nullptr;
}

// The lines of the trimmed PR_TEXT of object a1; the index of the one equal to a2 ignoring case.
int32_t IndexOfMenu(const FunctionCall& c, const TNovuBaseList& objects) {
  TNovuObject* object = objects.FindComponent(c.Str(0));
  if (object == nullptr) return -1;
  const std::unique_ptr<TCustomParam> text = MakeParam(PT_STR);
  GetProp(*text, *object, PR_TEXT);
  std::string s = text->GetAsStr();
  size_t begin = 0;
  size_t end = s.size();
  while (begin < end && static_cast<uint8_t>(s[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<uint8_t>(s[end - 1]) <= ' ') --end;
  s = s.substr(begin, end - begin);
  const std::string wanted = c.Str(1);
  int32_t index = 0;
  size_t start = 0;
  for (size_t i = 0; i <= s.size(); ++i) {
    if (i < s.size() && s[i] != '\r' && s[i] != '\n') continue;
    if (cp932::EqualsNoCase(std::string_view(s).substr(start, i - start), wanted)) return index;
    ++index;
    if (i + 1 < s.size() && s[i] == '\r' && s[i + 1] == '\n') ++i;
    start = i + 1;
  }
  return -1;
}

}  // namespace

void RegisterObjectFunctions(SysFuncMan& f, TNovuBaseList& objects) {
  RegisterListBoxFunctions(f, objects);
  f.SetPropertyTypes([](int32_t id) {
    const PropertyInfo* info = FindPropertyById(id);
    return info != nullptr ? info->type : PT_STR;
  });
  f.Register(2, [&objects](const FunctionCall& c) {
    const int32_t id = c.Int(1);
    if (TNovuObject* object = objects.FindComponent(c.Str(0))) {
      GetProp(c.result(), *object, id);
    } else if (FindPropertyById(id) == nullptr) {
      throw NovuError::FromUtf8("GetPropエラー");
    }
  });
  f.Register(3, [&objects](const FunctionCall& c) {
    if (TNovuObject* object = objects.FindComponent(c.Str(0)))
      SetProp(*object, c.Int(1), *c.Arg(2));
  });
  f.Register(19, [&objects](const FunctionCall& c) {
    const std::string name = c.Str(0);
    c.result().SetAsBool(!name.empty() && objects.FindComponent(name) != nullptr);
  });
  f.Register(32, [&objects](const FunctionCall& c) { ListCompo(c, objects); });
  f.Register(33, [&objects](const FunctionCall& c) {
    const TNovuControl* control = ControlNamed(objects, c.Str(0));
    c.result().SetAsInt(control ? control->ScreenToClient({c.Int(1), 0}).x : c.Int(1));
  });
  f.Register(34, [&objects](const FunctionCall& c) {
    const TNovuControl* control = ControlNamed(objects, c.Str(0));
    c.result().SetAsInt(control ? control->ScreenToClient({0, c.Int(1)}).y : c.Int(1));
  });
  f.Register(35, [&objects](const FunctionCall& c) {
    if (const TNovuControl* control = ControlNamed(objects, c.Str(0))) {
      c.result().SetAsInt(control->ClientToScreen({c.Int(1), 0}).x);
    }
  });
  f.Register(36, [&objects](const FunctionCall& c) {
    if (const TNovuControl* control = ControlNamed(objects, c.Str(0))) {
      c.result().SetAsInt(control->ClientToScreen({0, c.Int(1)}).y);
    }
  });
  f.Register(47,
             [&objects](const FunctionCall& c) { c.result().SetAsInt(IndexOfMenu(c, objects)); });
  f.Register(69, [&objects](const FunctionCall& c) {
    const TNovuControl* control = objects.FindControl(c.Str(0));
    c.result().SetAsBool(control != nullptr && control->GetBase() == &objects.active_base() &&
                         !control->InCabinet());
  });
  f.Register(154, [&objects](const FunctionCall& c) {
    const TNovuControl* control = objects.FindControl(c.Str(0));
    c.result().SetAsBool(control != nullptr && control->InCabinet());
  });
}

}  // namespace novu
