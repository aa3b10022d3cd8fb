#include "media/media_service.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>

#include "media/midi_item.h"
#include "media/video_item.h"
#include "media/wave_item.h"
#include "platform/error.h"
#include "platform/midi_port.h"
#include "platform/text_encoding.h"
#include "storage/vr_file_manager.h"

namespace novu::media {
namespace {

std::string LowerExtension(std::string_view name) {
  const size_t dot = name.find_last_of('.');
  const size_t slash = name.find_last_of("\\/");
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
  std::string ext(name.substr(dot));
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

class GameMediaFiles final : public MediaFiles {
 public:
  explicit GameMediaFiles(TVrFileManager& files) : files_(files) {}
  bool Exists(std::string_view name) override {
    if (!IsAbsoluteMediaName(name)) return files_.Exists(name);
    std::error_code ec;
    return std::filesystem::is_regular_file(DiskPath(name), ec);
  }
  std::unique_ptr<platform::ByteSource> Open(std::string_view name) override {
    if (!IsAbsoluteMediaName(name)) {
      return std::make_unique<RangeByteSource>(files_.OpenRange(name));
    }
    if (!Exists(name)) throw NovuError(std::string(name) + Jp(":ファイルがありません"));
    return std::make_unique<RangeByteSource>(
        std::make_unique<TFileRangeStream>(DiskPath(name), 0, 0));
  }

 private:
  static std::filesystem::path DiskPath(std::string_view name) {
    std::string utf8 = platform::Cp932ToUtf8(name);
    std::replace(utf8.begin(), utf8.end(), '\\', '/');
    return std::filesystem::path(utf8);
  }
  TVrFileManager& files_;
};

// Ogg and wave files, decoded to PCM and played through the wave mixer.
class TOggManager final : public TMediaManager {
 public:
  TOggManager(MediaFiles& files, TWavOut& mixer, bool pump)
      : files_(files), mixer_(mixer), pump_(pump) {}
  ~TOggManager() override { FreeItems(); }

 protected:
  std::unique_ptr<TDMediaItem> MakeItem(std::string_view name) override {
    const SoundContainer container =
        LowerExtension(name) == ".ogg" ? SoundContainer::kOgg : SoundContainer::kWave;
    auto stream = std::make_unique<TOggStream>(OpenSoundDecoder(files_.Open(name), container));
    mixer_.Open(pump_);
    return std::make_unique<TOggWaveItem>(*this, mixer_, std::move(stream));
  }

 private:
  MediaFiles& files_;
  TWavOut& mixer_;
  bool pump_;
};

// Windows Media audio: the whole file is read into memory and decoded through the wave mixer.
class TWmpManager final : public TMediaManager {
 public:
  TWmpManager(MediaFiles& files, TWavOut& mixer, bool pump)
      : files_(files), mixer_(mixer), pump_(pump) {}
  ~TWmpManager() override { FreeItems(); }

 protected:
  std::unique_ptr<TDMediaItem> MakeItem(std::string_view name) override {
    auto file = files_.Open(name);
    std::vector<uint8_t> bytes(static_cast<size_t>(std::max<int64_t>(file->Size(), 0)));
    file->SeekTo(0);
    bytes.resize(static_cast<size_t>(
        std::max<int64_t>(file->Read(bytes.data(), static_cast<int64_t>(bytes.size())), 0)));
    auto stream = std::make_unique<TOggStream>(
        OpenSoundDecoder(std::make_unique<platform::MemoryByteSource>(std::move(bytes)),
                         SoundContainer::kWindowsMedia));
    mixer_.Open(pump_);
    return std::make_unique<TOggWaveItem>(*this, mixer_, std::move(stream));
  }

 private:
  MediaFiles& files_;
  TWavOut& mixer_;
  bool pump_;
};

// A CD track. This platform has no CD player, so an item never becomes current: it plays
// nothing, reports a length of 0 and is never at its end; the manager says so once.
class TCddaItem final : public TDMediaItem {
 public:
  TCddaItem(TMediaManager& manager, int track) : TDMediaItem(manager), track_(track) {}
  bool GetAutoRepeat() override { return repeat_; }
  void SetAutoRepeat(bool on) override { repeat_ = on; }
  int32_t GetVolume() override { return level_; }
  void SetVolume(int32_t level) override { level_ = std::clamp(level, -10000, 0); }
  void SetPosition(int32_t ms) override { remembered_s_ = std::max(0, ms / 1000); }
  int track() const { return track_; }

 private:
  int track_;
  bool repeat_ = false;
  int32_t level_ = 0;
  int32_t remembered_s_ = 0;
};

class TCddaManager final : public TMediaManager {
 public:
  explicit TCddaManager(std::function<void(const std::string&)> notice)
      : notice_(std::move(notice)) {}
  ~TCddaManager() override { FreeItems(); }

 protected:
  std::unique_ptr<TDMediaItem> MakeItem(std::string_view name) override {
    int track = 0;
    const std::string_view rest = name.size() > 3 ? name.substr(3) : std::string_view{};
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), track);
    const bool valid = !rest.empty() && ec == std::errc{} && end == rest.data() + rest.size();
    if (valid && !told_ && notice_) {
      notice_("CD audio is not available on this platform: track " + std::to_string(track) +
              " is not played");
      told_ = true;
    }
    return std::make_unique<TCddaItem>(*this, valid ? track : 0);
  }

 private:
  std::function<void(const std::string&)> notice_;
  bool told_ = false;
};

}  // namespace

int32_t MediaLibraryVersion() {
  return kMediaLibraryVersion;
}

bool IsCdTrackName(std::string_view name) {
  return name.starts_with("CD_");
}

bool IsAbsoluteMediaName(std::string_view name) {
  if (name.empty()) return false;
  return name[0] == '\\' || name[0] == '/' || (name.size() >= 2 && name[1] == ':');
}

SoundFamily SoundFamilyOf(std::string_view name) {
  const std::string ext = LowerExtension(name);
  if (ext == ".mid" || ext == ".sgt") return SoundFamily::kMidi;
  if (ext == ".wma" || ext == ".asf" || ext == ".wmv") return SoundFamily::kWindowsMedia;
  if (ext == ".ogg" || ext == ".wav") return SoundFamily::kOgg;
  if (IsCdTrackName(name)) return SoundFamily::kCdAudio;
  return SoundFamily::kNone;
}

std::unique_ptr<MediaFiles> MakeGameMediaFiles(TVrFileManager& files) {
  return std::make_unique<GameMediaFiles>(files);
}

MediaService::MediaService(std::unique_ptr<MediaFiles> files, platform::Clock& clock,
                           MediaOptions options)
    : files_(std::move(files)),
      mixer_(std::make_unique<TWavOut>(options.delay_time, clock, std::move(options.output))) {
  auto ogg = std::make_unique<TOggManager>(*files_, *mixer_, options.pump);
  auto wmp = std::make_unique<TWmpManager>(*files_, *mixer_, options.pump);
  auto cdda = std::make_unique<TCddaManager>(options.notice);
  auto midi = std::make_unique<TMidiManager>(
      *files_, *mixer_, options.pump,
      [font = std::move(options.sound_font), notice = options.notice] {
        const std::string path = font.empty() ? platform::FindGeneralMidiSoundFont() : font;
        std::string error;
        auto synth = platform::CreateFluidSynth(path, error);
        if (synth == nullptr && notice) notice("MIDI music is played silently: " + error);
        return synth;
      });
  auto video = std::make_unique<TVideoManager>(*files_, *mixer_, options.pump);
  video_ = video.get();
  managers_.push_back(std::move(video));
  wmp_ = wmp.get();
  ogg_ = ogg.get();
  cdda_ = cdda.get();
  midi_ = midi.get();
  managers_.push_back(std::move(wmp));
  managers_.push_back(std::move(ogg));
  managers_.push_back(std::move(cdda));
  managers_.push_back(std::move(midi));
}

MediaService::~MediaService() {
  managers_.clear();  // the items let go of their mixer buffers first
  mixer_->Close();
}

TMediaManager* MediaService::Manager(SoundFamily family) {
  switch (family) {
    case SoundFamily::kOgg:
      return ogg_;
    case SoundFamily::kWindowsMedia:
      return wmp_;
    case SoundFamily::kCdAudio:
      return cdda_;
    case SoundFamily::kMidi:
      return midi_;
    case SoundFamily::kVideo:
      return video_;
    default:
      return nullptr;
  }
}

void MediaService::SuspendAll() {
  for (const auto& m : managers_) m->Suspend();
}

void MediaService::ResumeAll() {
  for (const auto& m : managers_) m->Resume();
}

void MediaService::SetSoundEnabled(bool on) {
  for (const auto& m : managers_) m->SetEnabled(on);
}

}  // namespace novu::media
