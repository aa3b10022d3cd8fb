# The region map reader of selection images, seeded with maps made by novutool mapfile build.
novu_fuzz_target(controls_mapfile
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/controls_mapfile.cpp
  DEPS novu_controls
  SEEDS bash ${CMAKE_CURRENT_LIST_DIR}/controls_mapfile_seeds.sh $<TARGET_FILE:novutool>)
add_dependencies(fuzz_seeds_controls_mapfile novutool)
