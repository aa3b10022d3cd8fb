# The wave reader and the Ogg Vorbis and Windows Media decoders, played through the mixer.
novu_fuzz_target(media_decoders
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/media_decoders.cpp
  DEPS novu_media
  SEEDS bash ${CMAKE_CURRENT_LIST_DIR}/media_decoders_seeds.sh)
