#pragma once
// The media library's C entry points: compressed audio, Windows Media audio and video decoding
// with their players. It lives inside the player (no separate shared object to load); the entry
// points keep their C form so the media managers talk to it as to an external library.
// Handles are 32-bit; booleans are passed as 0 (false) or -1 (true).
#include <cstdint>

extern "C" {

using NovuHandle = int32_t;
using NovuBool = int32_t;

// Stream callbacks handed over by the player: each takes a range-stream handle.
using NovuStreamSize = int64_t (*)(void* stream);
using NovuStreamRead = int32_t (*)(void* stream, void* buffer, int32_t count);
using NovuStreamGetPosition = int64_t (*)(void* stream);
using NovuStreamSetPosition = int64_t (*)(void* stream, int64_t position);
using NovuFpuHook = void (*)();

int32_t novuVersion();
NovuBool novuInit(void* main_window, void* panel, void* instance, void** sound_device,
                  NovuStreamSize size, NovuStreamRead read, NovuStreamGetPosition get_position,
                  NovuStreamSetPosition set_position, NovuFpuHook save_fpu, NovuFpuHook restore_fpu,
                  int32_t reserved);
void novuFinal();
void novuOggmanSetUseThread(NovuBool use_thread);

// The three player families share one set of item calls.
#define NOVU_MEDIA_FAMILY(F)                                 \
  NovuBool novu##F##Play(NovuHandle item);                   \
  NovuBool novu##F##Pause(NovuHandle item);                  \
  NovuBool novu##F##IsPlaying(NovuHandle item);              \
  NovuBool novu##F##IsPaused(NovuHandle item);               \
  NovuBool novu##F##IsEnd(NovuHandle item);                  \
  int32_t novu##F##GetLen(NovuHandle item);                  \
  int32_t novu##F##GetPosition(NovuHandle item);             \
  void novu##F##SetPosition(NovuHandle item, int32_t ms);    \
  int32_t novu##F##GetVol(NovuHandle item);                  \
  void novu##F##SetVol(NovuHandle item, int32_t volume);     \
  int32_t novu##F##GetPan(NovuHandle item);                  \
  void novu##F##SetPan(NovuHandle item, int32_t pan);        \
  NovuBool novu##F##GetAutoRepeat(NovuHandle item);          \
  void novu##F##SetAutoRepeat(NovuHandle item, NovuBool on); \
  void novu##F##manDel(NovuHandle item);
NOVU_MEDIA_FAMILY(Ogg)
NOVU_MEDIA_FAMILY(Wmp)
NOVU_MEDIA_FAMILY(Video)
#undef NOVU_MEDIA_FAMILY

int32_t novuOggGetRepeatPos(NovuHandle item);
void novuOggSetRepeatPos(NovuHandle item, int32_t ms);
NovuHandle novuOggmanAdd(void* range_stream, NovuBool is_ogg);
NovuHandle novuWmpmanAdd(const void* data, int32_t size);
NovuHandle novuVidmanAdd(const char* file_name, void* range_stream, NovuBool draw_into_surface);
void novuOggmanRestore();
void novuWmpmanRestore();
void novuVidmanSuspend();
void novuVidmanResume();
}

namespace novu::media {

// The version the player was built against; the library must report it.
inline constexpr int32_t kMediaLibraryVersion = 108;

}  // namespace novu::media
