#include "platform/ffmpeg_byte_io.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/mem.h>
}

#include <cstdio>

#include "platform/pcm_decoder.h"

namespace novu::platform {
namespace {

constexpr int kIoBufferSize = 32768;

int ReadPacket(void* opaque, uint8_t* buffer, int size) {
  const int64_t got = static_cast<ByteSource*>(opaque)->Read(buffer, size);
  return got > 0 ? static_cast<int>(got) : AVERROR_EOF;
}

int64_t SeekPacket(void* opaque, int64_t offset, int whence) {
  auto* source = static_cast<ByteSource*>(opaque);
  switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
      return source->Size();
    case SEEK_SET:
      break;
    case SEEK_CUR:
      offset += source->Position();
      break;
    case SEEK_END:
      offset += source->Size();
      break;
    default:
      return -1;
  }
  if (offset < 0 || offset > source->Size()) return -1;
  return source->SeekTo(offset);
}

}  // namespace

AVIOContext* OpenByteSourceIo(ByteSource& source) {
  auto* buffer = static_cast<uint8_t*>(av_malloc(kIoBufferSize));
  if (buffer == nullptr) return nullptr;
  AVIOContext* io =
      avio_alloc_context(buffer, kIoBufferSize, 0, &source, ReadPacket, nullptr, SeekPacket);
  if (io == nullptr) av_free(buffer);
  return io;
}

void CloseByteSourceIo(AVIOContext*& io) {
  if (io != nullptr) av_freep(&io->buffer);
  avio_context_free(&io);
}

}  // namespace novu::platform
