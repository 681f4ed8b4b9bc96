# The layers of the program, and the means to keep them in one direction;
# also the settings and test helpers every folder of ours shares. Included by
# the main project and by the fuzz project (fuzz/), which builds the core
# libraries from their own folders.
#
# Every folder of the program is a library that may include headers of its
# own folder and of the layers below it, never of one above. Rather than
# trusting review for that, each library compiles against a folder of links
# (<build>/layers/<library>/) holding only the folders it may see: an include
# that runs the wrong way names a header that is not there, and the build
# stops. A library's view is public, so what links it sees the same folders
# plus its own.

# The source tree, wherever the including project starts (fuzz/ is a project
# of its own one level down).
get_filename_component(CODEXA_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)

# codexa_defaults(): the language and build settings of every project of
# ours, for the folders added after it. A macro, as they are variables of
# the calling scope.
macro(codexa_defaults)
  set(CMAKE_CXX_STANDARD 20)
  set(CMAKE_CXX_STANDARD_REQUIRED ON)
  set(CMAKE_CXX_EXTENSIONS OFF)
  set(CMAKE_EXPORT_COMPILE_COMMANDS ON)
  if(NOT CMAKE_BUILD_TYPE)
    set(CMAKE_BUILD_TYPE RelWithDebInfo)
  endif()
  # Every program lands in one folder: the reader looks for its corpus
  # beside its own executable, and the builder writes the default corpus
  # there.
  set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  add_compile_options(-Wall -Wextra)
endmacro()

# codexa_sanitize(): AddressSanitizer and UndefinedBehaviorSanitizer for
# everything compiled and linked in this folder and the ones added after it.
# Any finding ends the run, so that a test or a fuzz target fails on it
# instead of printing and going on.
function(codexa_sanitize)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endfunction()

# codexa_add_core(): the core libraries codexa_base, codexa_corpus,
# codexa_engine and codexa_writer from their folders, bottom layer first,
# with their unit tests unless CODEXA_SKIP_TESTS is set.
function(codexa_add_core)
  foreach(layer base corpus engine writer)
    add_subdirectory(${CODEXA_ROOT}/${layer} ${CMAKE_BINARY_DIR}/${layer})
  endforeach()
endfunction()

# codexa_layer(TARGET FOLDER...): TARGET sees FOLDER... (paths from the
# source root), in addition to what the libraries it links see.
function(codexa_layer target)
  set(view ${CMAKE_BINARY_DIR}/layers/${target})
  foreach(folder ${ARGN})
    get_filename_component(parent ${view}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    if(NOT EXISTS ${view}/${folder})
      file(CREATE_LINK ${CODEXA_ROOT}/${folder} ${view}/${folder} SYMBOLIC)
    endif()
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${view})
  else()
    target_include_directories(${target} PUBLIC ${view})
  endif()
endfunction()

# The test helpers below make nothing when CODEXA_SKIP_TESTS is set: the
# fuzz project adds the library folders for their libraries alone, without
# GoogleTest or Qt.

# codexa_gtest(TARGET SOURCES... LIBS lib... [LABELS label...]
#              [DEFAULT_CORPUS]): a GoogleTest executable whose tests ctest
# discovers. DEFAULT_CORPUS: the tests read the default corpus in the
# program folder, whose path they get as CODEXA_DEFAULT_CORPUS, and skip
# when it has not been built; they are labelled real-corpus (dev.sh leaves
# those out of its run under the sanitizers).
function(codexa_gtest target)
  if(CODEXA_SKIP_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "DEFAULT_CORPUS" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  if(ARG_DEFAULT_CORPUS)
    target_compile_definitions(${target} PRIVATE CODEXA_DEFAULT_CORPUS="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
    list(APPEND ARG_LABELS real-corpus)
  endif()
  if(ARG_LABELS)
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${ARG_LABELS}")
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# codexa_test_runs(TARGET MACRO PROGRAM): the test executable TARGET runs
# the program PROGRAM, whose path it gets as MACRO; PROGRAM is built before
# TARGET, so that building the test alone is enough to run it.
function(codexa_test_runs target macro program)
  if(CODEXA_SKIP_TESTS)
    return()
  endif()
  target_compile_definitions(${target} PRIVATE ${macro}="$<TARGET_FILE:${program}>")
  add_dependencies(${target} ${program})
endfunction()

# codexa_gui_test(NAME SOURCES... LIBS lib... [LABELS label...]): a Qt Test
# executable, run headless: the offscreen platform, and the web engine's
# sandbox off since the tests may run as root.
function(codexa_gui_test name)
  if(CODEXA_SKIP_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "TARGET" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT ARG_TARGET)
    string(REPLACE "." "_" ARG_TARGET ${name})
  endif()
  add_executable(${ARG_TARGET} ${ARG_SOURCES})
  set_target_properties(${ARG_TARGET} PROPERTIES AUTOMOC ON)
  target_link_libraries(${ARG_TARGET} PRIVATE ${ARG_LIBS} Qt6::Test)
  target_compile_definitions(${ARG_TARGET} PRIVATE CODEXA_SOURCE_DIR="${CODEXA_ROOT}")
  add_test(NAME ${name} COMMAND ${ARG_TARGET})
  set_tests_properties(${name} PROPERTIES LABELS "gui;${ARG_LABELS}" TIMEOUT 300
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_CHROMIUM_FLAGS=--no-sandbox")
endfunction()
