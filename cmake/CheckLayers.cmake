# cmake -DSOURCE_DIR=<root> -P CheckLayers.cmake
#
# Reads every include of the program's own sources and fails when one runs
# against the layers: a folder may include headers of the folders listed
# for it and nothing else, and the folders of the core include no Qt. The
# build's per-library views stop a wrong-way include in a source file a
# library compiles; this check also covers headers that no such source
# includes yet. Test code (tests/, bench/, fuzz/, *_test.cpp, *_testing.h
# and the test* helpers) may include anything.

cmake_minimum_required(VERSION 3.25)

set(layers
  "base:base"
  "corpus:base corpus"
  "engine:base corpus engine"
  "session:base corpus engine session"
  "writer:base corpus engine writer"
  "tools/build:base corpus engine writer tools/build"
  "tools/search:base corpus engine session tools/search"
  "view:view"
  "panel:base corpus engine session view panel"
  "app:base corpus engine session view panel app")
set(qt_free base corpus engine session writer tools/build tools/search)

set(failures "")
foreach(entry ${layers})
  string(REPLACE ":" ";" parts "${entry}")
  list(GET parts 0 folder)
  list(GET parts 1 allowed)
  string(REPLACE " " ";" allowed "${allowed}")
  file(GLOB sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
  foreach(source ${sources})
    get_filename_component(name ${source} NAME)
    if(name MATCHES "_test\\.cpp$|_testing\\.h$|^test")
      continue()
    endif()
    file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line ${includes})
      if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)/[^/\"]+\"")
        set(target_folder ${CMAKE_MATCH_1})
        if(NOT target_folder IN_LIST allowed)
          list(APPEND failures "${source}: ${line} (${folder} may include ${allowed})")
        endif()
      elseif(folder IN_LIST qt_free AND line MATCHES "#[ \t]*include[ \t]*<Q")
        list(APPEND failures "${source}: ${line} (${folder} is Qt-free)")
      endif()
    endforeach()
  endforeach()
endforeach()

if(failures)
  string(REPLACE ";" "\n  " report "${failures}")
  message(FATAL_ERROR "includes against the layers:\n  ${report}")
endif()
message(STATUS "every include runs down the layers")
