# Variant groups from Unihan and OpenCC, for the builder's "yitizi.txt".
# Included by this folder's CMakeLists.txt.
add_library(codexa_variantgroups STATIC ${CMAKE_CURRENT_LIST_DIR}/variantgroups.cpp)
target_link_libraries(codexa_variantgroups PUBLIC codexa_engine)
codexa_layer(codexa_variantgroups tools/build)

# Prints the figures of the grouping rule for a folder of prepared sources.
add_executable(codexa-variant-report ${CMAKE_CURRENT_LIST_DIR}/variantreport.cpp)
target_link_libraries(codexa-variant-report PRIVATE codexa_variantgroups)

add_executable(codexa_variantgroups_tests ${CMAKE_CURRENT_LIST_DIR}/variantgroups_test.cpp)
target_link_libraries(codexa_variantgroups_tests PRIVATE codexa_variantgroups GTest::gtest_main)
# The checks on the real sources read what dev.sh prepares into .cache.
target_compile_definitions(codexa_variantgroups_tests PRIVATE
  CODEXA_VARIANT_SOURCES="${PROJECT_SOURCE_DIR}/.cache/variants")
gtest_discover_tests(codexa_variantgroups_tests DISCOVERY_TIMEOUT 60 TEST_FILTER "-RealVariantSources.*")
gtest_discover_tests(codexa_variantgroups_tests DISCOVERY_TIMEOUT 60 TEST_FILTER "RealVariantSources.*"
  PROPERTIES LABELS real-corpus)
