#pragma once
// What the media commands ask of a sound or video object: the play mode (LP_PLAY 0,
// LP_PLAYFADE 1, LP_STOP 2, LP_STOPFADE 3), a restart from the beginning, and its source.
#include <cstdint>
#include <string>

namespace novu {

inline constexpr uint8_t LP_PLAY = 0;
inline constexpr uint8_t LP_PLAYFADE = 1;
inline constexpr uint8_t LP_STOP = 2;
inline constexpr uint8_t LP_STOPFADE = 3;

class MediaControl {
 public:
  virtual ~MediaControl() = default;
  virtual void SetPlayMode(uint8_t mode) = 0;
  virtual uint8_t play_mode() const = 0;
  // MediaPlay: plays again from the beginning.
  virtual void Play() = 0;
  virtual const std::string& source() const = 0;
  // The game's file system has the source.
  virtual bool SourceAvailable() const = 0;
};

}  // namespace novu
