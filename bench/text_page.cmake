# One frame of a fading text page composed from its page surfaces, against a full-screen blend.
novu_benchmark(text_page
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/text_page_bench.cpp
  DEPS novu_text)
