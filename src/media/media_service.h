#pragma once
// The media of a running player: the wave mixer and the managers per kind of medium (Ogg and
// wave, Windows Media audio, CD audio, MIDI). Created at start-up after the object list and
// freed before the file system.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "media/media_manager.h"
#include "media/wav_out.h"
#include "platform/audio_output.h"
#include "platform/clock.h"

namespace novu {
class TVrFileManager;
}

namespace novu::media {

// The version of the media library the player was built against, checked at start-up.
inline constexpr int32_t kMediaLibraryVersion = 108;
int32_t MediaLibraryVersion();

// kVideo is the video manager, for the video control; no sound name picks it.
enum class SoundFamily { kNone, kMidi, kWindowsMedia, kOgg, kCdAudio, kVideo };

// The manager a sound file goes to, by its extension in lower case; other names that begin with
// "CD_" are CD tracks.
SoundFamily SoundFamilyOf(std::string_view name);
bool IsCdTrackName(std::string_view name);

// A name that begins with a path delimiter or has ":" as its second character is a file on disk;
// any other is looked up in the game's file system.
bool IsAbsoluteMediaName(std::string_view name);

// Reaches media files by name.
class MediaFiles {
 public:
  virtual ~MediaFiles() = default;
  virtual bool Exists(std::string_view name) = 0;
  // Throws "%s:ファイルがありません" when the file is missing.
  virtual std::unique_ptr<platform::ByteSource> Open(std::string_view name) = 0;
};

// The game's file system plus absolute names on disk.
std::unique_ptr<MediaFiles> MakeGameMediaFiles(TVrFileManager& files);

struct MediaOptions {
  int delay_time = 500;  // ms per mixer chunk
  // Where the mix goes; null: nowhere (sounds still run at the same pace).
  std::unique_ptr<platform::AudioOutput> output;
  // With a pump thread the mix is fed to the output in real time; without, the owner calls
  // Render at its own pace.
  bool pump = true;
  // Told once when CD audio cannot be played, and when MIDI music has no synthesizer.
  std::function<void(const std::string& utf8)> notice;
  // The General MIDI sound font of the synthesizer; empty: the one installed with the player.
  std::string sound_font;
};

class MediaService {
 public:
  MediaService(std::unique_ptr<MediaFiles> files, platform::Clock& clock, MediaOptions options);
  ~MediaService();

  // The manager for a family; null when there is none.
  TMediaManager* Manager(SoundFamily family);
  MediaFiles& files() { return *files_; }
  TWavOut& mixer() { return *mixer_; }

  // Focus lost and regained: every manager pauses and resumes its running items.
  void SuspendAll();
  void ResumeAll();
  // @SoundON: turns every kind of sound off and on.
  void SetSoundEnabled(bool on);
  // Mixes the next samples of the output (headless pacing).
  void Render(std::span<int16_t> out) { mixer_->Render(out); }

 private:
  std::unique_ptr<MediaFiles> files_;
  std::unique_ptr<TWavOut> mixer_;
  std::vector<std::unique_ptr<TMediaManager>> managers_;
  TMediaManager* ogg_ = nullptr;
  TMediaManager* wmp_ = nullptr;
  TMediaManager* cdda_ = nullptr;
  TMediaManager* midi_ = nullptr;
  TMediaManager* video_ = nullptr;
};

}  // namespace novu::media
