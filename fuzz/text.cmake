# Message markup as scripts set it on message windows: parsed, stored and read back.
novu_fuzz_target(text_markup
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/text_markup.cpp
  DEPS novu_text
  SEEDS bash ${CMAKE_CURRENT_LIST_DIR}/text_seeds.sh markup $<TARGET_FILE:novutool>)
add_dependencies(fuzz_seeds_text_markup novutool)

# Glyph streams as TextIns commands carry them: read, written and read again identically.
novu_fuzz_target(text_stream
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/text_stream.cpp
  DEPS novu_text
  SEEDS bash ${CMAKE_CURRENT_LIST_DIR}/text_seeds.sh stream $<TARGET_FILE:novutool>)
add_dependencies(fuzz_seeds_text_stream novutool)
