# The saved-object reader: control records with nested children at every save version.
add_executable(objects_stream_seeds ${CMAKE_CURRENT_LIST_DIR}/objects_stream_seeds.cpp)
target_include_directories(objects_stream_seeds PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(objects_stream_seeds PRIVATE novu_objects)
set_target_properties(objects_stream_seeds PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
novu_fuzz_target(objects_stream
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/objects_stream.cpp
  DEPS novu_objects
  SEEDS ${PROJECT_BINARY_DIR}/objects_stream_seeds)
add_dependencies(fuzz_seeds_objects_stream objects_stream_seeds)
