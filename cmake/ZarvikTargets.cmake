# A library made of every .cpp below the given folders of the current source folder.
# New files are picked up on the next build without touching any CMakeLists.
function(zarvik_shared_library name)
  cmake_parse_arguments(ARG "" "" "DIRS;LIBS;EXTRA_SOURCES" ${ARGN})
  set(sources)
  foreach(dir ${ARG_DIRS})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  list(APPEND sources ${ARG_EXTRA_SOURCES})
  add_library(${name} SHARED ${sources})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()
