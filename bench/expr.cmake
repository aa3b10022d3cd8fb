novu_benchmark(expr SOURCES ${CMAKE_CURRENT_LIST_DIR}/expr_bench.cpp DEPS novu_expr)
