#pragma once
// The system functions that look at script objects: existence, properties, names, coordinates,
// menu lines and where a control lies. Registered by the player once the object list exists.
// The check marks of list boxes and menus come with them (list_box_functions.h); the
// preview-menu item functions (enabled, visible, selected, group index) join with the class
// that holds those items; until then they leave their result at the zero value, as for an
// object that is not found.
namespace novu {

class SysFuncMan;
class TNovuBaseList;

void RegisterObjectFunctions(SysFuncMan& functions, TNovuBaseList& objects);

}  // namespace novu
