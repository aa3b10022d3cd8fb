# The saved-game reader: whole entries loaded into a running world of pages and objects.
add_executable(engine_game_save_seeds ${CMAKE_CURRENT_LIST_DIR}/engine_game_save_seeds.cpp)
target_include_directories(engine_game_save_seeds PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(engine_game_save_seeds PRIVATE novu_authoring)
set_target_properties(engine_game_save_seeds PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
novu_fuzz_target(engine_game_save
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/engine_game_save.cpp
  DEPS novu_authoring
  SEEDS ${PROJECT_BINARY_DIR}/engine_game_save_seeds)
add_dependencies(fuzz_seeds_engine_game_save engine_game_save_seeds)
