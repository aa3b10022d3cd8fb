# Every transition's step at 800 x 600 and 1280 x 720 against one full-screen DrawAlpha.
novu_benchmark(transitions SOURCES ${CMAKE_CURRENT_LIST_DIR}/transitions_bench.cpp
  DEPS novu_transitions)
