# Makes the installable archive dist/Kelvane-<version>.zip from the two built libraries:
#   cmake -DSOURCE_DIR=<repository> [-DBUILD_64=<folder>] [-DBUILD_32=<folder>] -P cmake/package.cmake
# The version is read from the version.h that each build generated from project() in
# CMakeLists.txt; both builds must agree. The archive's files lie at its root, where Total
# Commander's auto-install looks for pluginst.inf.
cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR)
  get_filename_component(SOURCE_DIR "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
endif()
if(NOT BUILD_64)
  set(BUILD_64 "${SOURCE_DIR}/build/mingw-x64")
endif()
if(NOT BUILD_32)
  set(BUILD_32 "${SOURCE_DIR}/build/mingw-x86")
endif()
if(NOT DIST_DIR)
  set(DIST_DIR "${SOURCE_DIR}/dist")
endif()

function(read_version build out)
  set(header "${build}/src/version.h")
  if(NOT EXISTS "${header}")
    message(FATAL_ERROR "package: ${header} is missing; build that width first")
  endif()
  file(STRINGS "${header}" line REGEX "^#define KELVANE_VERSION_TEXT ")
  if(NOT line MATCHES "\"([0-9]+\\.[0-9]+\\.[0-9]+)\"")
    message(FATAL_ERROR "package: no version in ${header}")
  endif()
  set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()

read_version("${BUILD_64}" version_64)
read_version("${BUILD_32}" version_32)
if(NOT version_64 STREQUAL version_32)
  message(FATAL_ERROR "package: the builds disagree on the version (${version_64}, ${version_32}); build both again")
endif()
set(KELVANE_VERSION "${version_64}")

set(library_64 "${BUILD_64}/bin/Kelvane.wlx64")
set(library_32 "${BUILD_32}/bin/Kelvane.wlx")
foreach(library IN ITEMS "${library_64}" "${library_32}")
  if(NOT EXISTS "${library}")
    message(FATAL_ERROR "package: ${library} is missing; build both widths first")
  endif()
endforeach()

set(archive_name "Kelvane-${KELVANE_VERSION}.zip")
set(stage "${DIST_DIR}/stage")
file(REMOVE_RECURSE "${stage}")
file(MAKE_DIRECTORY "${stage}")

file(COPY "${library_32}" "${library_64}" DESTINATION "${stage}")
# Text files for Windows users: CR LF line ends, which every Windows editor shows right.
configure_file("${SOURCE_DIR}/package/pluginst.inf.in" "${stage}/pluginst.inf" @ONLY NEWLINE_STYLE CRLF)
configure_file("${SOURCE_DIR}/package/readme.txt.in" "${stage}/readme.txt" @ONLY NEWLINE_STYLE CRLF)
configure_file("${SOURCE_DIR}/package/kelvane.ini.sample" "${stage}/kelvane.ini.sample" @ONLY NEWLINE_STYLE CRLF)
configure_file("${SOURCE_DIR}/LICENSE" "${stage}/LICENSE.txt" @ONLY NEWLINE_STYLE CRLF)

set(contents Kelvane.wlx Kelvane.wlx64 pluginst.inf readme.txt kelvane.ini.sample LICENSE.txt)
file(REMOVE "${DIST_DIR}/${archive_name}")
execute_process(
  COMMAND "${CMAKE_COMMAND}" -E tar cf "${DIST_DIR}/${archive_name}" --format=zip
          -- ${contents}
  WORKING_DIRECTORY "${stage}"
  RESULT_VARIABLE result
)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "package: making ${archive_name} failed (${result})")
endif()
file(REMOVE_RECURSE "${stage}")
message(STATUS "package: ${DIST_DIR}/${archive_name}")
