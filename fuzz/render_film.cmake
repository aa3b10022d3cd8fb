# The motion-file reader, with the tracks' values computed at a few frames.
novu_fuzz_target(render_film
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/render_film.cpp
  DEPS novu_render
  SEEDS bash ${CMAKE_CURRENT_LIST_DIR}/render_film_seeds.sh $<TARGET_FILE:novutool>)
add_dependencies(fuzz_seeds_render_film novutool)
