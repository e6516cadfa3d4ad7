# tavrin_test(NAME SOURCES... LIBS libs...)
# A GoogleTest executable registered with CTest; tests run with the source
# root's tests/ folder as working directory unless they change it themselves.
function(tavrin_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "TAVRIN_SOURCE_DIR=${PROJECT_SOURCE_DIR};TAVRIN_BINARY_DIR=${PROJECT_BINARY_DIR}")
endfunction()
