# The script page and project file readers.
novu_fuzz_target(engine_page
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/engine_page.cpp
  DEPS novu_authoring
  SEEDS bash ${CMAKE_CURRENT_LIST_DIR}/engine_page_seeds.sh $<TARGET_FILE:novutool> ${PROJECT_SOURCE_DIR})
add_dependencies(fuzz_seeds_engine_page novutool)
