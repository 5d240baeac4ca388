# Checks that includes point only downward through the layers:
#   cmake -DROOT=<tree> -P cmake/CheckIncludes.cmake
# Every #include "folder/..." in a source under ROOT is held against the folders its own
# top-level folder may not include. Prints each wrong include and fails when there is one.

cmake_minimum_required(VERSION 3.25)

if(NOT ROOT)
  message(FATAL_ERROR "CheckIncludes: pass -DROOT=<the tree to check>")
endif()

# What each top-level folder must not include. The deliverables are instrument, testlib and
# plugin; the simulator stands on the platform only and no deliverable includes it.
set(above_platform host hostcontrols instrument testlib plugin simulator operator apps tests)
set(forbidden_platform ${above_platform})
set(forbidden_host hostcontrols instrument testlib plugin simulator operator apps tests)
set(forbidden_hostcontrols instrument testlib plugin simulator operator apps tests)
set(forbidden_instrument hostcontrols testlib plugin simulator operator apps tests)
set(forbidden_testlib plugin simulator operator apps tests)
set(forbidden_plugin simulator operator apps tests)
set(forbidden_simulator host hostcontrols instrument testlib plugin operator apps tests)
set(forbidden_operator hostcontrols instrument testlib plugin simulator apps tests)
set(checked_folders platform host hostcontrols instrument testlib plugin simulator operator)

set(wrong 0)
foreach(folder ${checked_folders})
  if(NOT IS_DIRECTORY "${ROOT}/${folder}")
    continue()
  endif()
  file(GLOB_RECURSE sources LIST_DIRECTORIES false
    "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.hpp" "${ROOT}/${folder}/*.cpp" "${ROOT}/${folder}/*.cc")
  foreach(source ${sources})
    file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${lines})
      if(NOT line MATCHES "#[ \t]*include[ \t]*\"([^\"/]+)/")
        continue()
      endif()
      set(target "${CMAKE_MATCH_1}")
      if(target IN_LIST forbidden_${folder})
        file(RELATIVE_PATH where "${ROOT}" "${source}")
        string(STRIP "${line}" line)
        message("${where}: ${line}: ${folder}/ may not include ${target}/")
        math(EXPR wrong "${wrong} + 1")
      endif()
    endforeach()
  endforeach()
endforeach()

if(wrong GREATER 0)
  message(FATAL_ERROR "CheckIncludes: ${wrong} include(s) point the wrong way")
endif()
message(STATUS "CheckIncludes: every include points downward")
