# The release package: norva-<version>-win32.zip or -win64.zip holding
# norva.exe, the license and the user guide in Japanese and English in a folder
# norva-<version>-win32|win64. `cmake --build --preset win64 --target package`
# makes it in the build folder; scripts/package.sh makes both and their
# SHA256SUMS.
#
# CPack installs the files into its staging folder; cmake/PackageZip.cmake
# (CPack's External generator) then writes the ZIP itself, so that the same
# commit gives the same bytes on any machine: entries in name order, one
# time for all (SOURCE_DATE_EPOCH, else the commit's time), fixed modes and
# no owner (cmake/make_zip.sh).

# The guides are kept as UTF-8 with LF line ends in docs/; Windows' Notepad
# gets them with a byte-order mark and CR LF line ends.
set(NORVA_GUIDES)
foreach(language ja en)
  set(guide ${CMAKE_BINARY_DIR}/package/readme-${language}.txt)
  add_custom_command(OUTPUT ${guide}
    COMMAND ${CMAKE_COMMAND} -DIN=${CMAKE_SOURCE_DIR}/docs/guide-${language}.txt -DOUT=${guide}
            -P ${CMAKE_SOURCE_DIR}/cmake/WindowsText.cmake
    DEPENDS ${CMAKE_SOURCE_DIR}/docs/guide-${language}.txt ${CMAKE_SOURCE_DIR}/cmake/WindowsText.cmake
    COMMENT "Windows text of the user guide (${language})")
  list(APPEND NORVA_GUIDES ${guide})
endforeach()
set(NORVA_LICENSE ${CMAKE_BINARY_DIR}/package/LICENSE.txt)
add_custom_command(OUTPUT ${NORVA_LICENSE}
  COMMAND ${CMAKE_COMMAND} -DIN=${CMAKE_SOURCE_DIR}/LICENSE -DOUT=${NORVA_LICENSE} -DNOBOM=1
          -P ${CMAKE_SOURCE_DIR}/cmake/WindowsText.cmake
  DEPENDS ${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_SOURCE_DIR}/cmake/WindowsText.cmake
  COMMENT "Windows text of the license")
add_custom_target(package_texts ALL DEPENDS ${NORVA_GUIDES} ${NORVA_LICENSE})

install(TARGETS norva RUNTIME DESTINATION .)
install(FILES ${NORVA_LICENSE} ${NORVA_GUIDES} DESTINATION .)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(NORVA_ARCH win64)
else()
  set(NORVA_ARCH win32)
endif()
set(CPACK_GENERATOR External)
set(CPACK_EXTERNAL_REQUESTED_VERSIONS 1.0)
set(CPACK_EXTERNAL_ENABLE_STAGING ON)
set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${CMAKE_SOURCE_DIR}/cmake/PackageZip.cmake)
set(CPACK_NORVA_SOURCE_DIR ${CMAKE_SOURCE_DIR})
set(CPACK_PACKAGE_NAME norva)
set(CPACK_PACKAGE_VENDOR "the Norva authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME norva-${PROJECT_VERSION}-${NORVA_ARCH})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES OFF)
include(CPack)
