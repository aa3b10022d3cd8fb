#pragma once
// The saved form of the event queue inside the object list's saved state: per entry the
// handler, the sender's name (empty when it no longer exists), the event id, the level it is
// handled at (0 while pending) and the arguments.
#include <cstdint>

namespace novu {

class BinaryReader;
class BinaryWriter;
class ScriptEventQueue;
class TNovuBaseList;

void SaveEventQueue(const ScriptEventQueue& queue, const TNovuBaseList& objects, BinaryWriter& out);
// Replaces the queue's entries. Senders are looked up by name once the objects are loaded; an
// empty name is an entry without sender, never the shown screen. Malformed data throws
// NovuError and leaves the queue empty.
void LoadEventQueue(ScriptEventQueue& queue, const TNovuBaseList& objects, BinaryReader& in,
                    int32_t version);

}  // namespace novu
