#include "media/novu_media_library.h"

// Decoding arrives with the media managers; until then the library knows no items, plays
// nothing and reports every item as not playing.
extern "C" {

int32_t novuVersion() {
  return novu::media::kMediaLibraryVersion;
}

NovuBool novuInit(void*, void*, void*, void** sound_device, NovuStreamSize, NovuStreamRead,
                  NovuStreamGetPosition, NovuStreamSetPosition, NovuFpuHook, NovuFpuHook, int32_t) {
  if (sound_device) *sound_device = nullptr;
  return -1;
}

void novuFinal() {}
void novuOggmanSetUseThread(NovuBool) {}

#define NOVU_MEDIA_FAMILY(F)                           \
  NovuBool novu##F##Play(NovuHandle) {                 \
    return 0;                                          \
  }                                                    \
  NovuBool novu##F##Pause(NovuHandle) {                \
    return 0;                                          \
  }                                                    \
  NovuBool novu##F##IsPlaying(NovuHandle) {            \
    return 0;                                          \
  }                                                    \
  NovuBool novu##F##IsPaused(NovuHandle) {             \
    return 0;                                          \
  }                                                    \
  NovuBool novu##F##IsEnd(NovuHandle) {                \
    return -1;                                         \
  }                                                    \
  int32_t novu##F##GetLen(NovuHandle) {                \
    return 0;                                          \
  }                                                    \
  int32_t novu##F##GetPosition(NovuHandle) {           \
    return 0;                                          \
  }                                                    \
  void novu##F##SetPosition(NovuHandle, int32_t) {}    \
  int32_t novu##F##GetVol(NovuHandle) {                \
    return 0;                                          \
  }                                                    \
  void novu##F##SetVol(NovuHandle, int32_t) {}         \
  int32_t novu##F##GetPan(NovuHandle) {                \
    return 0;                                          \
  }                                                    \
  void novu##F##SetPan(NovuHandle, int32_t) {}         \
  NovuBool novu##F##GetAutoRepeat(NovuHandle) {        \
    return 0;                                          \
  }                                                    \
  void novu##F##SetAutoRepeat(NovuHandle, NovuBool) {} \
  void novu##F##manDel(NovuHandle) {}
NOVU_MEDIA_FAMILY(Ogg)
NOVU_MEDIA_FAMILY(Wmp)
NOVU_MEDIA_FAMILY(Video)
#undef NOVU_MEDIA_FAMILY

int32_t novuOggGetRepeatPos(NovuHandle) {
  return 0;
}
void novuOggSetRepeatPos(NovuHandle, int32_t) {}
NovuHandle novuOggmanAdd(void*, NovuBool) {
  return 0;
}
NovuHandle novuWmpmanAdd(const void*, int32_t) {
  return 0;
}
NovuHandle novuVidmanAdd(const char*, void*, NovuBool) {
  return 0;
}
void novuOggmanRestore() {}
void novuWmpmanRestore() {}
void novuVidmanSuspend() {}
void novuVidmanResume() {}
}
