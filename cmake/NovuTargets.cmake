# novu_subsystem(NAME DEPS ...): a static library novu_NAME from every .cpp in src/NAME/
# (files ending in _main.cpp are program entry points and stay out).
function(novu_subsystem name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${name}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "_main\\.cpp$")
  if(NOT sources)
    # A library is declared when its folder has code, never ahead of it.
    message(FATAL_ERROR "src/${name}/ has no sources: declare novu_${name} when it has")
  endif()
  add_library(novu_${name} STATIC ${sources})
  target_include_directories(novu_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(novu_${name} PUBLIC ${ARG_DEPS})
endfunction()

# novu_test_suite(NAME DEPS ...): one gtest executable test_NAME from tests/NAME/*.cpp.
function(novu_test_suite name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${name}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(test_${name} ${sources})
  target_include_directories(test_${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(test_${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(test_${name} PRIVATE
    NOVU_SOURCE_DIR="${PROJECT_SOURCE_DIR}" NOVU_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(test_${name}
    PROPERTIES ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy"
    DISCOVERY_TIMEOUT 60)
endfunction()

# novu_benchmark(NAME SOURCES ... DEPS ...): a Google Benchmark executable bench_NAME.
function(novu_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(bench_${name} ${ARG_SOURCES})
  target_include_directories(bench_${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/bench)
  target_link_libraries(bench_${name} PRIVATE ${ARG_DEPS} novu_bench_support benchmark::benchmark)
  set_property(GLOBAL APPEND PROPERTY NOVU_BENCHMARKS bench_${name})
endfunction()

# novu_fuzz_target(NAME SOURCES ... DEPS ... [SEEDS cmd args...]):
# - always: fuzz_replay_NAME, the target linked with a small driver that feeds it every file of
#   the given folders; `make test` replays the seed corpus through it (under ASan in build-asan);
# - with NOVU_FUZZ (clang): fuzz_NAME, the libFuzzer binary that `make fuzz` runs.
# SEEDS is a command that writes the seed corpus into the folder appended as its last argument.
function(novu_fuzz_target name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;SEEDS" ${ARGN})
  set(corpus ${PROJECT_BINARY_DIR}/fuzz-corpus/${name})
  add_executable(fuzz_replay_${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
  target_include_directories(fuzz_replay_${name} PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(fuzz_replay_${name} PRIVATE ${ARG_DEPS})
  if(NOVU_FUZZ)
    add_executable(fuzz_${name} ${ARG_SOURCES})
    target_include_directories(fuzz_${name} PRIVATE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(fuzz_${name} PRIVATE ${ARG_DEPS})
    target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    set_property(GLOBAL APPEND PROPERTY NOVU_FUZZERS fuzz_${name})
  endif()
  if(ARG_SEEDS)
    add_custom_target(fuzz_seeds_${name}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${corpus}
      COMMAND ${ARG_SEEDS} ${corpus}
      VERBATIM)
    if(NOVU_TESTS)
      add_test(NAME fuzz_seeds_${name}
        COMMAND ${CMAKE_COMMAND} -E env ${ARG_SEEDS} ${corpus})
      set_tests_properties(fuzz_seeds_${name} PROPERTIES FIXTURES_SETUP corpus_${name})
      add_test(NAME fuzz_replay_${name} COMMAND fuzz_replay_${name} ${corpus})
      set_tests_properties(fuzz_replay_${name} PROPERTIES FIXTURES_REQUIRED corpus_${name})
    endif()
  endif()
endfunction()
