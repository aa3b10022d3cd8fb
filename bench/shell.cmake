novu_benchmark(tick_loop SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tick_loop_bench.cpp DEPS novu_shell)
