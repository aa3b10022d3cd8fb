# Saved message windows: settings, text references, labels and the page-state block, laid out
# again from markup or from the TextIns texts of a small script page.
add_executable(message_window_seeds ${CMAKE_CURRENT_LIST_DIR}/message_window_seeds.cpp)
target_include_directories(message_window_seeds PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(message_window_seeds PRIVATE novu_controls)
set_target_properties(message_window_seeds PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
novu_fuzz_target(message_window
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/message_window.cpp
  DEPS novu_controls
  SEEDS ${PROJECT_BINARY_DIR}/message_window_seeds)
add_dependencies(fuzz_seeds_message_window message_window_seeds)
