# Data tables: tab-separated data files as DBLoadTsvFile loads them, and the tables block of
# saves and status data.
add_executable(expr_tables_seeds ${CMAKE_CURRENT_LIST_DIR}/expr_tables_seeds.cpp)
target_include_directories(expr_tables_seeds PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(expr_tables_seeds PRIVATE novu_expr)
novu_fuzz_target(expr_tables_tsv
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/expr_tables_tsv.cpp
  DEPS novu_expr
  SEEDS $<TARGET_FILE:expr_tables_seeds> tsv)
add_dependencies(fuzz_seeds_expr_tables_tsv expr_tables_seeds)
novu_fuzz_target(expr_tables_block
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/expr_tables_block.cpp
  DEPS novu_expr
  SEEDS $<TARGET_FILE:expr_tables_seeds> block)
add_dependencies(fuzz_seeds_expr_tables_block expr_tables_seeds)
