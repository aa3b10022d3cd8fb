novu_benchmark(imagefmt SOURCES ${CMAKE_CURRENT_LIST_DIR}/imagefmt_decode_bench.cpp DEPS novu_imagefmt)
