novu_benchmark(map_regions SOURCES ${CMAKE_CURRENT_LIST_DIR}/map_regions_bench.cpp DEPS novu_controls)
