# BMP and PNG loading of drawing surfaces.
add_executable(render_image_seeds ${CMAKE_CURRENT_SOURCE_DIR}/render_image_seeds.cpp)
target_link_libraries(render_image_seeds PRIVATE novu_render)
novu_fuzz_target(render_images
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/render_images_fuzz.cpp
  DEPS novu_render
  SEEDS $<TARGET_FILE:render_image_seeds>)
