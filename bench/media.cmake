# Ogg decoding against libvorbisfile used directly, and the wave mixer against memcpy of the same
# bytes, in the same run.
novu_benchmark(media
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/media_bench.cpp
  DEPS novu_media PkgConfig::VORBISFILE)
