# The fuzz build (preset "fuzz", clang) makes only the fuzz targets.
option(NORVA_FUZZ "Build the libFuzzer targets (clang) instead of the tests" OFF)
if(NORVA_FUZZ)
  include(cmake/FuzzTargets.cmake)
  return()
endif()

# Native (Linux) build: the simulated OS, the headless toolkit, unit tests
# and benchmarks. The test build runs with AddressSanitizer and UBSan.
option(NORVA_SANITIZE "Build with ASan and UBSan" ON)
if(NORVA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  # The options above apply to targets defined from here on; the core was
  # defined before, so give it the same.
  target_compile_options(norva_core PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
endif()

file(GLOB NORVA_FAKE_SOURCES CONFIGURE_DEPENDS src/platform/fake/*.cpp src/toolkit/headless/*.cpp)
add_library(norva_fake STATIC ${NORVA_FAKE_SOURCES})
target_link_libraries(norva_fake PUBLIC norva_core)

enable_testing()
find_package(GTest REQUIRED)
file(GLOB NORVA_TEST_SOURCES CONFIGURE_DEPENDS tests/unit/*.cpp)
# The INI case table also runs under Wine (tests/conformance); here it runs
# against the fake profile.
list(APPEND NORVA_TEST_SOURCES tests/conformance/IniCases.cpp)
add_executable(norva_tests ${NORVA_TEST_SOURCES})
target_link_libraries(norva_tests PRIVATE norva_fake GTest::gtest GTest::gtest_main)
include(GoogleTest)
gtest_discover_tests(norva_tests DISCOVERY_TIMEOUT 60)
# The release: the writer of its zips (cmake/make_zip.sh: same files, same
# bytes) and which zips scripts/package.sh puts in it.
add_test(NAME make_zip COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/make_zip_test.sh)
add_test(NAME package_script COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/package_test.sh)

find_package(benchmark QUIET)
if(benchmark_FOUND)
  file(GLOB NORVA_BENCH_SOURCES CONFIGURE_DEPENDS bench/*.cpp)
  if(NORVA_BENCH_SOURCES)
    add_executable(norva_bench ${NORVA_BENCH_SOURCES})
    target_link_libraries(norva_bench PRIVATE norva_fake benchmark::benchmark benchmark::benchmark_main)
  endif()
endif()
