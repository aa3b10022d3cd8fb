# One tick of a message window revealing and fading a full page, against a full-screen blend.
novu_benchmark(message_window SOURCES ${CMAKE_CURRENT_LIST_DIR}/message_window_bench.cpp
  DEPS novu_controls)
