# tavrin_test(NAME SOURCES... LIBS libs...)
# A GoogleTest executable registered with CTest. Tests find generated files
# (the Data folder, tools) through TAVRIN_BINARY_DIR, the build folder.
function(tavrin_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "TAVRIN_BINARY_DIR=${PROJECT_BINARY_DIR}")
endfunction()
