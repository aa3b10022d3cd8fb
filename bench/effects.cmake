# One step of the effect controls (a 640 × 480 fire, 2000 particles) against a full-screen blend.
novu_benchmark(effects SOURCES ${CMAKE_CURRENT_LIST_DIR}/effects_bench.cpp DEPS novu_controls)
