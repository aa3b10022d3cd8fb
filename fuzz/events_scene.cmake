# The saved object list with timers, property motions and the interpreter's event queue.
add_executable(events_scene_seeds ${CMAKE_CURRENT_LIST_DIR}/events_scene_seeds.cpp)
target_include_directories(events_scene_seeds PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(events_scene_seeds PRIVATE novu_engine)
set_target_properties(events_scene_seeds PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
novu_fuzz_target(events_scene
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/events_scene.cpp
  DEPS novu_engine
  SEEDS ${PROJECT_BINARY_DIR}/events_scene_seeds)
add_dependencies(fuzz_seeds_events_scene events_scene_seeds)
