novu_benchmark(expr_tables SOURCES ${CMAKE_CURRENT_LIST_DIR}/expr_tables_bench.cpp DEPS novu_expr)
