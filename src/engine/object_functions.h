#pragma once
// The system functions that look at script objects: existence, properties, names, coordinates,
// menu lines and where a control lies. Registered by the player once the object list exists.
// The list-box and preview-menu item functions (check marks, enabled, visible, selected,
// group index) join with the classes that hold those items; until then they leave their
// result at the zero value, as for an object that is not found.
namespace novu {

class SysFuncMan;
class TNovuBaseList;

void RegisterObjectFunctions(SysFuncMan& functions, TNovuBaseList& objects);

}  // namespace novu
