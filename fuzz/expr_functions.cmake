# System functions called with random numbers and arguments.
add_executable(expr_functions_seeds ${CMAKE_CURRENT_LIST_DIR}/expr_functions_seeds.cpp)
target_link_libraries(expr_functions_seeds PRIVATE novu_core)
novu_fuzz_target(expr_functions
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/expr_functions.cpp
  DEPS novu_expr
  SEEDS $<TARGET_FILE:expr_functions_seeds>)
add_dependencies(fuzz_seeds_expr_functions expr_functions_seeds)
