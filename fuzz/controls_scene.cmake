# Saved scenes of picture controls: images, animations, tiles and boxes with the image cache.
add_executable(controls_scene_seeds ${CMAKE_CURRENT_LIST_DIR}/controls_scene_seeds.cpp)
target_include_directories(controls_scene_seeds PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(controls_scene_seeds PRIVATE novu_controls)
set_target_properties(controls_scene_seeds PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
novu_fuzz_target(controls_scene
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/controls_scene.cpp
  DEPS novu_controls
  SEEDS ${PROJECT_BINARY_DIR}/controls_scene_seeds)
add_dependencies(fuzz_seeds_controls_scene controls_scene_seeds)
