novu_benchmark(bases SOURCES ${CMAKE_CURRENT_LIST_DIR}/bases_bench.cpp DEPS novu_shell)
