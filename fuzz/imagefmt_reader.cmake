# The layered image reader, seeded with files made by novutool image.
novu_fuzz_target(imagefmt_reader
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/imagefmt_reader.cpp
  DEPS novu_imagefmt
  SEEDS bash ${CMAKE_CURRENT_LIST_DIR}/imagefmt_reader_seeds.sh $<TARGET_FILE:novutool>)
add_dependencies(fuzz_seeds_imagefmt_reader novutool)
