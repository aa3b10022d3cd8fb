# The saved object list: both bases, the loose components, the event queue and the focus.
add_executable(bases_scene_seeds ${CMAKE_CURRENT_LIST_DIR}/bases_scene_seeds.cpp)
target_include_directories(bases_scene_seeds PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(bases_scene_seeds PRIVATE novu_objects)
set_target_properties(bases_scene_seeds PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
novu_fuzz_target(bases_scene
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/bases_scene.cpp
  DEPS novu_objects
  SEEDS ${PROJECT_BINARY_DIR}/bases_scene_seeds)
add_dependencies(fuzz_seeds_bases_scene bases_scene_seeds)
