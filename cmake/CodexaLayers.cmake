# The layers of the program, and the means to keep them in one direction.
#
# Every folder of the program is a library that may include headers of its
# own folder and of the layers below it, never of one above. Rather than
# trusting review for that, each library compiles against a folder of links
# (<build>/layers/<library>/) holding only the folders it may see: an include
# that runs the wrong way names a header that is not there, and the build
# stops. A library's view is public, so what links it sees the same folders
# plus its own.

# codexa_layer(TARGET FOLDER...): TARGET sees FOLDER... (paths from the
# source root), in addition to what the libraries it links see.
function(codexa_layer target)
  set(view ${CMAKE_BINARY_DIR}/layers/${target})
  foreach(folder ${ARGN})
    get_filename_component(parent ${view}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    if(NOT EXISTS ${view}/${folder})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${view}/${folder} SYMBOLIC)
    endif()
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${view})
  else()
    target_include_directories(${target} PUBLIC ${view})
  endif()
endfunction()

# codexa_gtest(TARGET SOURCES... LIBS lib... [LABELS label...]): a GoogleTest
# executable whose tests ctest discovers.
function(codexa_gtest target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  if(ARG_LABELS)
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${ARG_LABELS}")
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# codexa_gui_test(NAME SOURCES... LIBS lib... [LABELS label...]): a Qt Test
# executable, run headless: the offscreen platform, and the web engine's
# sandbox off since the tests may run as root.
function(codexa_gui_test name)
  cmake_parse_arguments(ARG "" "TARGET" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT ARG_TARGET)
    string(REPLACE "." "_" ARG_TARGET ${name})
  endif()
  add_executable(${ARG_TARGET} ${ARG_SOURCES})
  set_target_properties(${ARG_TARGET} PROPERTIES AUTOMOC ON)
  target_link_libraries(${ARG_TARGET} PRIVATE ${ARG_LIBS} Qt6::Test)
  target_compile_definitions(${ARG_TARGET} PRIVATE CODEXA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  add_test(NAME ${name} COMMAND ${ARG_TARGET})
  set_tests_properties(${name} PROPERTIES LABELS "gui;${ARG_LABELS}" TIMEOUT 300
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_CHROMIUM_FLAGS=--no-sandbox")
endfunction()
