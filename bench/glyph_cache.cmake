# Drawing text from the glyph cache against rasterising the same characters with FreeType.
novu_benchmark(glyph_cache SOURCES ${CMAKE_CURRENT_LIST_DIR}/glyph_cache_bench.cpp DEPS novu_text)
