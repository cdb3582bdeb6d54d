# Run by CPack (External generator) once the package's files are staged:
# writes CPACK_PACKAGE_FILE_NAME.zip of the staged folder with
# cmake/make_zip.sh, entries sorted by name, all with the time of
# SOURCE_DATE_EPOCH or, when that is not set, of the last commit.
set(stage ${CPACK_TEMPORARY_DIRECTORY})
get_filename_component(top ${stage} DIRECTORY)
get_filename_component(folder ${stage} NAME)

set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(epoch STREQUAL "")
  execute_process(COMMAND git -C ${CPACK_NORVA_SOURCE_DIR} log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE git_result ERROR_QUIET)
  if(NOT git_result EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
    string(TIMESTAMP epoch "%s" UTC)
    message(WARNING "No SOURCE_DATE_EPOCH and no git commit: the package's entries get "
                    "the time of now, so it will differ from any other build")
  endif()
endif()

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${top} ${stage}/*)
list(SORT files)
if(NOT files)
  message(FATAL_ERROR "nothing staged in ${stage}")
endif()
set(zip ${top}/${CPACK_PACKAGE_FILE_NAME}.zip)
execute_process(COMMAND bash ${CPACK_NORVA_SOURCE_DIR}/cmake/make_zip.sh ${zip} ${epoch} ${top} ${files}
                RESULT_VARIABLE zip_result)
if(NOT zip_result EQUAL 0)
  message(FATAL_ERROR "could not write ${zip}")
endif()
set(CPACK_EXTERNAL_BUILT_PACKAGES ${zip})
