# Standard MIDI files: the parser, then the sequencer playing what was parsed.
add_executable(media_midi_seeds ${CMAKE_CURRENT_LIST_DIR}/media_midi_seeds.cpp)
target_include_directories(media_midi_seeds PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(media_midi_seeds PRIVATE novu_media)
novu_fuzz_target(media_midi
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/media_midi.cpp
  DEPS novu_media
  SEEDS $<TARGET_FILE:media_midi_seeds>)
add_dependencies(fuzz_seeds_media_midi media_midi_seeds)
