#pragma once
// FFmpeg reads game files through a ByteSource: the custom I/O context the audio and video
// decoders open their containers with.
struct AVIOContext;

namespace novu::platform {

class ByteSource;

// An I/O context reading `source`, which must outlive it; null when out of memory.
AVIOContext* OpenByteSourceIo(ByteSource& source);
// Frees the context and its buffer and sets `io` to null; a null context is fine.
void CloseByteSourceIo(AVIOContext*& io);

}  // namespace novu::platform
