# libFuzzer targets (preset "fuzz", clang only): every parser of outside input
# built with AddressSanitizer and UBSan over the simulated OS (tests/fuzz/).
# scripts/fuzz.sh builds and runs them; scripts/test.sh replays their seeds.
set(NORVA_FUZZ_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g)
# The gcc-tuned warning set stays, but a clang-only warning must not stop
# the fuzz build.
set(NORVA_FUZZ_WARNINGS -Wno-error -Wno-unknown-warning-option)
target_compile_options(norva_core PRIVATE -fsanitize=fuzzer-no-link ${NORVA_FUZZ_FLAGS} ${NORVA_FUZZ_WARNINGS})

file(GLOB NORVA_FAKE_SOURCES CONFIGURE_DEPENDS src/platform/fake/*.cpp src/toolkit/headless/*.cpp)
add_library(norva_fake_fuzz STATIC ${NORVA_FAKE_SOURCES})
target_compile_options(norva_fake_fuzz PRIVATE -fsanitize=fuzzer-no-link ${NORVA_FUZZ_FLAGS} ${NORVA_FUZZ_WARNINGS})
target_link_libraries(norva_fake_fuzz PUBLIC norva_core)

foreach(target ini bitmap figures process_rows color_text)
  add_executable(fuzz_${target} tests/fuzz/fuzz_${target}.cpp)
  target_compile_options(fuzz_${target} PRIVATE -fsanitize=fuzzer ${NORVA_FUZZ_FLAGS} ${NORVA_FUZZ_WARNINGS})
  target_link_options(fuzz_${target} PRIVATE -fsanitize=fuzzer ${NORVA_FUZZ_FLAGS})
  target_link_libraries(fuzz_${target} PRIVATE norva_fake_fuzz)
endforeach()
