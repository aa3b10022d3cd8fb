# Interpreter throughput against Lua 5.4 on the same loop, and the demo's start-up time.
pkg_check_modules(NOVU_LUA54 IMPORTED_TARGET lua5.4)
if(NOVU_LUA54_FOUND)
  novu_benchmark(engine_interpreter
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/engine_interpreter_bench.cpp
    DEPS novu_authoring PkgConfig::NOVU_LUA54)
  target_compile_definitions(bench_engine_interpreter PRIVATE
    NOVU_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
else()
  message(STATUS "Lua 5.4 not found: the interpreter benchmark is left out")
endif()
