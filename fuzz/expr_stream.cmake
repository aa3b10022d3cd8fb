# Compiled expressions as script pages store them: read, written back and evaluated.
novu_fuzz_target(expr_stream
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/expr_stream.cpp
  DEPS novu_expr
  SEEDS bash ${CMAKE_CURRENT_LIST_DIR}/expr_seeds.sh stream $<TARGET_FILE:novutool>)
add_dependencies(fuzz_seeds_expr_stream novutool)

# Expression text as Calc and message text hand it to the compiler.
novu_fuzz_target(expr_text
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/expr_text.cpp
  DEPS novu_expr
  SEEDS bash ${CMAKE_CURRENT_LIST_DIR}/expr_seeds.sh text $<TARGET_FILE:novutool>)
add_dependencies(fuzz_seeds_expr_text novutool)

# Variable blocks of save data (game block with its variable stack, status block).
add_executable(expr_vars_seeds ${CMAKE_CURRENT_LIST_DIR}/expr_vars_seeds.cpp)
target_include_directories(expr_vars_seeds PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(expr_vars_seeds PRIVATE novu_expr)
novu_fuzz_target(expr_vars
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/expr_vars.cpp
  DEPS novu_expr
  SEEDS $<TARGET_FILE:expr_vars_seeds>)
add_dependencies(fuzz_seeds_expr_vars expr_vars_seeds)
