# cmake -DCXX=<compiler> -DLAYERS=<build>/layers -P ProbeLayerView.cmake
#
# Shows that a library's view of the folders stops a wrong-way include at
# compile time: against the text store's view, a header of the store
# compiles and a header of the engine above it does not.
cmake_minimum_required(VERSION 3.25)

set(probe ${CMAKE_CURRENT_BINARY_DIR}/layer-probe.cpp)
set(flags -std=c++20 -fsyntax-only -I${LAYERS}/codexa_corpus -I${LAYERS}/codexa_base)

file(WRITE ${probe} "#include \"corpus/render.h\"\n")
execute_process(COMMAND ${CXX} ${flags} ${probe} RESULT_VARIABLE result ERROR_VARIABLE error)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "a header of the layer itself does not compile against its view:\n${error}")
endif()

file(WRITE ${probe} "#include \"engine/index.h\"\n")
execute_process(COMMAND ${CXX} ${flags} ${probe} RESULT_VARIABLE result ERROR_VARIABLE error)
if(result EQUAL 0 OR NOT error MATCHES "engine/index.h")
  message(FATAL_ERROR "an include of a higher layer was not stopped (exit ${result}):\n${error}")
endif()
message(STATUS "the view stops a wrong-way include")
