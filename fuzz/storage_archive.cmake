# The archive directory reader and entry extraction.
novu_fuzz_target(storage_archive
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/storage_archive.cpp
  DEPS novu_storage
  SEEDS bash ${CMAKE_CURRENT_LIST_DIR}/storage_archive_seeds.sh $<TARGET_FILE:novutool>)
add_dependencies(fuzz_seeds_storage_archive novutool)
# Coverage feedback needs the code under test instrumented, not only the fuzz driver.
if(NOVU_FUZZ)
  target_compile_options(novu_storage PRIVATE -fsanitize=fuzzer-no-link)
  target_compile_options(novu_core PRIVATE -fsanitize=fuzzer-no-link)
endif()
