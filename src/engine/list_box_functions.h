#pragma once
// The system functions that read and set the check marks of list box and menu items
// (GetCheck, SetCheck). An object that is not a list box, or an item it does not have, leaves
// the result at the zero value and changes nothing.
namespace novu {

class SysFuncMan;
class TNovuBaseList;

void RegisterListBoxFunctions(SysFuncMan& functions, TNovuBaseList& objects);

}  // namespace novu
