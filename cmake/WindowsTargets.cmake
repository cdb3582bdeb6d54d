# Windows build (MinGW-w64): the Win32 platform and toolkit back end, the
# program norva.exe and the console check of the settings-file calls.
#
# Both executables are linked fully static, so they import system DLLs only.
# The headers are asked for the Windows XP / IE 6 declarations (the shell's
# version-5 tray record, tooltips), but nothing newer than Windows 95/NT 4
# is linked: functions that older systems lack are looked up at run time.

enable_language(RC)

# Reproducible exes: the source and build folders do not reach the binaries
# (__FILE__, debug records), so two builds of one commit in two folders give
# the same bytes. The core was defined before, so it gets them too.
set(NORVA_REPRO_OPTIONS -ffile-prefix-map=${CMAKE_SOURCE_DIR}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
add_compile_options(${NORVA_REPRO_OPTIONS})
target_compile_options(norva_core PRIVATE ${NORVA_REPRO_OPTIONS})

set(NORVA_WIN32_DEFINITIONS
  WIN32_LEAN_AND_MEAN NOMINMAX UNICODE _UNICODE
  WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0600)
# From GCC 13 (MinGW-w64 14 on Debian 13) the win32 thread model declares
# its condition variable only for Vista and later (_WIN32_WINNT >= 0x0600),
# yet C++20's <memory> needs the type (std::__condvar, for atomic waits) and
# does not compile without it. Declared here; nothing uses it, so nothing
# Vista-only is linked (the imports are the same).
if(CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 13)
  list(APPEND NORVA_WIN32_DEFINITIONS __GTHREAD_HAS_COND=1)
endif()

file(GLOB NORVA_WIN32_SOURCES CONFIGURE_DEPENDS
  src/platform/win32/*.cpp src/toolkit/win32/*.cpp)
add_library(norva_win32 STATIC ${NORVA_WIN32_SOURCES})
target_compile_definitions(norva_win32 PRIVATE ${NORVA_WIN32_DEFINITIONS})
# comdlg32, winmm, shell32 and comctl32 are bound at their first use
# (platform/win32/LateBound.h), not linked: a start need not load them.
target_link_libraries(norva_win32 PUBLIC norva_core gdi32 user32 advapi32 kernel32)

# --no-insert-timestamp: no link time in the PE header (reproducible builds).
set(NORVA_STATIC_LINK -static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp
  $<$<CONFIG:MinSizeRel,Release>:-s>)

# The project's version for the version resource and the manifest
# (resources/norva.rc finds both in the generated folder).
configure_file(resources/version.h.in ${CMAKE_BINARY_DIR}/generated/norva_version.h @ONLY)
configure_file(resources/norva.manifest.in ${CMAKE_BINARY_DIR}/generated/norva.manifest @ONLY)
set_source_files_properties(resources/norva.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_BINARY_DIR}/generated/norva.manifest;${CMAKE_BINARY_DIR}/generated/norva_version.h")

# The exe's header: aware of terminal-server sessions (no per-session
# compatibility shims), and the 32-bit build may use addresses above 2 GB
# (up to 4 GB under a 64-bit Windows): nothing in the program compares or
# stores pointers as signed numbers.
set(NORVA_EXE_FLAGS -Wl,--tsaware)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  list(APPEND NORVA_EXE_FLAGS -Wl,--large-address-aware)
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/src/app/main.cpp)
  add_executable(norva WIN32 src/app/main.cpp resources/norva.rc)
  set_target_properties(norva PROPERTIES OUTPUT_NAME norva)
  target_compile_definitions(norva PRIVATE ${NORVA_WIN32_DEFINITIONS})
  target_link_libraries(norva PRIVATE norva_win32)
  target_link_options(norva PRIVATE -mwindows ${NORVA_STATIC_LINK} ${NORVA_EXE_FLAGS})
  target_include_directories(norva PRIVATE ${CMAKE_BINARY_DIR}/generated)
  include(cmake/Package.cmake)
endif()

# A console helper exe of the tests or the measuring scripts, from one source
# file, when that file is there.
function(norva_console_tool name source)
  if(EXISTS ${CMAKE_SOURCE_DIR}/${source})
    add_executable(${name} ${source})
    target_compile_definitions(${name} PRIVATE ${NORVA_WIN32_DEFINITIONS})
    target_link_options(${name} PRIVATE -mconsole ${NORVA_STATIC_LINK})
  endif()
endfunction()

file(GLOB NORVA_CONFORMANCE_SOURCES CONFIGURE_DEPENDS tests/conformance/*.cpp)
if(NORVA_CONFORMANCE_SOURCES)
  add_executable(ini_conformance ${NORVA_CONFORMANCE_SOURCES})
  target_link_libraries(ini_conformance PRIVATE norva_win32)
  target_link_options(ini_conformance PRIVATE -mconsole ${NORVA_STATIC_LINK})
endif()

# firsttouch.exe: the time to write fresh memory once under Wine, beside
# which scripts/measure.sh puts the wall time of a cleaning (bench/wine/).
norva_console_tool(firsttouch bench/wine/firsttouch.cpp)

# toolkit_check.exe: the toolkit's Win32 peers against the real system
# controls (tests/wine/), with the program's manifest and resources.
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/wine/ToolkitCheck.cpp)
  add_executable(toolkit_check tests/wine/ToolkitCheck.cpp resources/norva.rc)
  target_compile_definitions(toolkit_check PRIVATE ${NORVA_WIN32_DEFINITIONS})
  target_link_libraries(toolkit_check PRIVATE norva_win32)
  target_link_options(toolkit_check PRIVATE -mconsole ${NORVA_STATIC_LINK})
  target_include_directories(toolkit_check PRIVATE ${CMAKE_BINARY_DIR}/generated)
endif()

# inspector_peek.exe: reads and drives the inspector's controls from outside
# for the end-to-end cases (tests/e2e/cases_inspector.sh).
norva_console_tool(inspector_peek tests/e2e/inspector_peek.cpp)
if(TARGET inspector_peek)
  target_link_libraries(inspector_peek PRIVATE comctl32 shell32)
endif()

# dpi_peek.exe: WM_DPICHANGED sent by hand to norva's windows and their sizes
# read back, for the end-to-end cases of per-monitor DPI (tests/e2e/cases_dpi.sh).
norva_console_tool(dpi_peek tests/e2e/dpi_peek.cpp)
if(TARGET dpi_peek)
  target_link_libraries(dpi_peek PRIVATE shell32)
endif()

# desktop_peek.exe: a full-screen window in front and the clipboard's text
# for the extras' end-to-end cases (tests/e2e/cases_extra.sh).
norva_console_tool(desktop_peek tests/e2e/desktop_peek.cpp)

# accessible_peek.exe: reads the main window as a screen reader does
# (oleacc) and checks its figures, for tests/e2e/cases_accessibility.sh;
# linked as the exe is, so that its address space (the virtual row) is the
# program's.
norva_console_tool(accessible_peek tests/e2e/accessible_peek.cpp)
if(TARGET accessible_peek)
  target_link_libraries(accessible_peek PRIVATE norva_core oleacc oleaut32 ole32)
  target_link_options(accessible_peek PRIVATE ${NORVA_EXE_FLAGS})
endif()

# hotkey_holder.exe: holds a hotkey as another program would, for the
# end-to-end case of a stored hotkey that is taken (cases_cleaning_window.sh).
norva_console_tool(hotkey_holder tests/e2e/hotkey_holder.cpp)

# run_key_lock.exe: refuses changes to the start-up key as a policy would,
# for the end-to-end case of a start-up entry that cannot be written.
norva_console_tool(run_key_lock tests/e2e/run_key_lock.cpp)

# onewindow.exe: a program that only opens one window, the floor beside which
# scripts/measure.sh puts Norva's start-up (bench/wine/).
if(EXISTS ${CMAKE_SOURCE_DIR}/bench/wine/onewindow.cpp)
  add_executable(onewindow WIN32 bench/wine/onewindow.cpp)
  target_compile_definitions(onewindow PRIVATE ${NORVA_WIN32_DEFINITIONS})
  target_link_options(onewindow PRIVATE ${NORVA_STATIC_LINK})
endif()

# soak_load.exe, soak_probe.exe and soak_leak.exe: the rising and falling
# memory load, the object counts and the known leak of scripts/soak.sh
# (tests/soak/).
foreach(tool soak_load soak_probe soak_leak)
  norva_console_tool(${tool} tests/soak/${tool}.cpp)
endforeach()
