# The preview-menu file reader, seeded with files made by novutool prevmenu build.
novu_fuzz_target(prev_menu_reader
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/prev_menu_reader.cpp
  DEPS novu_controls
  SEEDS bash ${CMAKE_CURRENT_LIST_DIR}/prev_menu_reader_seeds.sh $<TARGET_FILE:novutool>)
add_dependencies(fuzz_seeds_prev_menu_reader novutool)
