# Tests the include check on small trees of its own:
#   cmake -DCHECKER=<CheckIncludes.cmake> -DWORK=<scratch folder> -P CheckIncludesTest.cmake
# The checker is included, not run, so that every tree is checked in this one process.
# A tree whose includes all point downward passes; a tree with one upward include fails, for
# every rule, and the failure names the file.

cmake_minimum_required(VERSION 3.25)

if(NOT CHECKER OR NOT WORK)
  message(FATAL_ERROR "pass -DCHECKER=<CheckIncludes.cmake> -DWORK=<scratch folder>")
endif()

# Includes every layer may make: each folder includes itself and what lies below it.
set(sound_includes
  "platform/base/A.h|#include \"platform/base/B.h\""
  "host/documents/C.cpp|#include \"platform/base/A.h\""
  "hostcontrols/V.h|#include \"host/interfaces/I.h\""
  "instrument/L.cpp|#include \"host/documents/C.h\""
  "testlib/core/M.cpp|#include \"instrument/ZarvikModule.h\""
  "testlib/core/N.cpp|#include <vector>"
  "plugin/P.cpp|#include \"testlib/core/M.h\""
  "simulator/S.cpp|#include \"platform/loop/EventLoop.h\""
  "apps/host/Main.cpp|#include \"simulator/S.h\"")

# One upward include for each rule.
set(upward_includes
  "platform/base/Up.h|#include \"host/documents/C.h\""
  "platform/ui/Up.cpp|  #  include \"testlib/core/M.h\""
  "host/report/Up.cpp|#include \"testlib/core/M.h\""
  "host/units/Up.h|#include \"instrument/L.h\""
  "host/elements/Up.h|#include \"plugin/P.h\""
  "hostcontrols/Up.cpp|#include \"testlib/core/M.h\""
  "instrument/Up.cpp|#include \"testlib/core/M.h\""
  "testlib/config/Up.h|#include \"plugin/P.h\""
  "instrument/Sim.cpp|#include \"simulator/S.h\""
  "testlib/core/Sim.cpp|#include \"simulator/S.h\""
  "plugin/Sim.cpp|#include \"simulator/S.h\""
  "simulator/Up.cpp|#include \"host/documents/C.h\"")

function(plant tree entry)
  string(REPLACE "|" ";" parts "${entry}")
  list(GET parts 0 file)
  list(GET parts 1 line)
  get_filename_component(folder "${tree}/${file}" DIRECTORY)
  file(MAKE_DIRECTORY "${folder}")
  file(APPEND "${tree}/${file}" "// planted\n${line}\n")
endfunction()

include("${CHECKER}")

function(run_checker tree result_var output_var)
  zarvik_wrong_includes("${tree}" wrong)
  list(LENGTH wrong count)
  set(${result_var} "${count}" PARENT_SCOPE)
  set(${output_var} "${wrong}" PARENT_SCOPE)
endfunction()

set(failures 0)
set(tree "${WORK}/sound")
file(REMOVE_RECURSE "${tree}")
foreach(entry ${sound_includes})
  plant("${tree}" "${entry}")
endforeach()
run_checker("${tree}" result output)
if(NOT result EQUAL 0)
  message("a tree of downward includes was refused:\n${output}")
  math(EXPR failures "${failures} + 1")
endif()

set(index 0)
foreach(entry ${upward_includes})
  math(EXPR index "${index} + 1")
  set(tree "${WORK}/upward-${index}")
  file(REMOVE_RECURSE "${tree}")
  plant("${tree}" "${entry}")
  string(REPLACE "|" ";" parts "${entry}")
  list(GET parts 0 file)
  run_checker("${tree}" result output)
  if(result EQUAL 0)
    message("the planted include was not found: ${entry}")
    math(EXPR failures "${failures} + 1")
  elseif(NOT output MATCHES "${file}: ")
    message("the failure does not name ${file}:\n${output}")
    math(EXPR failures "${failures} + 1")
  endif()
  file(REMOVE_RECURSE "${tree}")
endforeach()
file(REMOVE_RECURSE "${WORK}/sound")

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} case(s) of the include check went wrong")
endif()
message(STATUS "the include check passes downward includes and finds every upward one")
