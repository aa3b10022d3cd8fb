novu_benchmark(controls SOURCES ${CMAKE_CURRENT_LIST_DIR}/controls_bench.cpp DEPS novu_controls)
