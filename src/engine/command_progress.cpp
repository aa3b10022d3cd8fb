#include "engine/command_progress.h"

#include "core/binary_writer.h"

namespace novu {

int32_t SyncProgressTag(Serializer& s) {
  if (s.saving()) {
    s.writer().Bytes(kProgressTag);
    return kProgressVersion;
  }
  BinaryReader& in = s.reader();
  const size_t start = in.position();
  if (in.remaining() >= kProgressTag.size()) {
    const std::string tag = in.BytesAsString(kProgressTag.size());
    int32_t version = 0;
    bool digits = tag.starts_with("novu");
    for (char c : std::string_view(tag).substr(4)) {
      digits = digits && c >= '0' && c <= '9';
      version = version * 10 + (c - '0');
    }
    if (digits) return version;
  }
  in.Seek(start);
  return 0;
}

std::vector<uint8_t> SaveProgress(const CommandProgress& progress) {
  BinaryWriter out;
  Serializer s(out);
  // Saving only reads the progress.
  const_cast<CommandProgress&>(progress).Sync(s);
  return out.Take();
}

void LoadProgress(CommandProgress& progress, BinaryReader& in) {
  Serializer s(in, kProgressVersion);
  progress.Sync(s);
}

void WaitProgress::Sync(Serializer& s) {
  const int32_t version = SyncProgressTag(s);
  s.I32(remaining_ms);
  s.BoolAsI32(first_tick);
  if (version >= 100) s.Bool(block_events);
}

void FlipProgress::Sync(Serializer& s) {
  if (SyncProgressTag(s) < 100) return;
  s.Bool(block_events);
  s.Bool(hide_back);
}

void TargetWaitProgress::Sync(Serializer& s) {
  const int32_t version = SyncProgressTag(s);
  s.String(target);
  s.Bool(wait);
  if (version >= 100) s.Bool(block_events);
}

}  // namespace novu
