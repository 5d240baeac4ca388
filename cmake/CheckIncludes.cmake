# Checks that includes point only downward through the layers:
#   cmake -DROOT=<tree> -P cmake/CheckIncludes.cmake
# Every #include "folder/..." in a source under ROOT is held against the folders its own
# top-level folder may not include. Prints each wrong include and fails when there is one.
# Included without ROOT, it only defines zarvik_wrong_includes (its test does so).

cmake_minimum_required(VERSION 3.25)

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

# Sets out_var to the list of wrong includes under root, one "file: include: reason" each.
function(zarvik_wrong_includes root out_var)
  set(wrong)
  foreach(folder ${checked_folders})
    if(NOT IS_DIRECTORY "${root}/${folder}")
      continue()
    endif()
    file(GLOB_RECURSE sources LIST_DIRECTORIES false
      "${root}/${folder}/*.h" "${root}/${folder}/*.hpp" "${root}/${folder}/*.cpp" "${root}/${folder}/*.cc")
    foreach(source ${sources})
      file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
      foreach(line ${lines})
        if(NOT line MATCHES "#[ \t]*include[ \t]*\"([^\"/]+)/")
          continue()
        endif()
        set(target "${CMAKE_MATCH_1}")
        if(target IN_LIST forbidden_${folder})
          file(RELATIVE_PATH where "${root}" "${source}")
          string(STRIP "${line}" line)
          list(APPEND wrong "${where}: ${line}: ${folder}/ may not include ${target}/")
        endif()
      endforeach()
    endforeach()
  endforeach()
  set(${out_var} "${wrong}" PARENT_SCOPE)
endfunction()

# Run as a script with ROOT: checks that tree.
if(ROOT)
  zarvik_wrong_includes("${ROOT}" wrong)
  list(LENGTH wrong count)
  if(count GREATER 0)
    foreach(entry ${wrong})
      message("${entry}")
    endforeach()
    message(FATAL_ERROR "CheckIncludes: ${count} include(s) point the wrong way")
  endif()
  message(STATUS "CheckIncludes: every include points downward")
endif()
