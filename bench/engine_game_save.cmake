# Saving and loading a game of 200 objects against zlib on the same bytes.
novu_benchmark(engine_game_save
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/engine_game_save_bench.cpp
  DEPS novu_authoring ZLIB::ZLIB)
