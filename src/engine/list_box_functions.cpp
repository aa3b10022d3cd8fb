#include "engine/list_box_functions.h"

#include "controls/novu_custom_list_box.h"
#include "expr/sys_func_man.h"
#include "objects/base_list.h"

namespace novu {
namespace {

constexpr int kGetCheck = 24;
constexpr int kSetCheck = 25;

TNovuCustomListBox* ListBoxNamed(const TNovuBaseList& objects, const std::string& name) {
  return dynamic_cast<TNovuCustomListBox*>(objects.FindComponent(name));
}

}  // namespace

void RegisterListBoxFunctions(SysFuncMan& f, TNovuBaseList& objects) {
  f.Register(kGetCheck, [&objects](const FunctionCall& c) {
    const TNovuCustomListBox* list = ListBoxNamed(objects, c.Str(0));
    c.result().SetAsBool(list != nullptr && list->Checked(c.Int(1)));
  });
  f.Register(kSetCheck, [&objects](const FunctionCall& c) {
    if (TNovuCustomListBox* list = ListBoxNamed(objects, c.Str(0))) {
      list->SetChecked(c.Int(1), c.Bool(2));
    }
  });
}

}  // namespace novu
