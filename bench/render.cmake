# Surface drawing against pixman (the reference compositor) and memcpy, in the same run.
novu_benchmark(render
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/render_bench.cpp
  DEPS novu_render PkgConfig::PIXMAN)
