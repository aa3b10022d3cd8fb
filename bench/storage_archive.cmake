# Archive reading, name lookups and permutation drawing.
novu_benchmark(storage_archive
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/storage_archive_bench.cpp
  DEPS novu_storage ZLIB::ZLIB)
