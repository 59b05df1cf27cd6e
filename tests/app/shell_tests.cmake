# Tests of the application shell: the file and value logic alone, then the real window.
add_executable(funzioni_shell_logic_tests
  ${CMAKE_CURRENT_LIST_DIR}/HistoryTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ParametersTest.cpp
)
target_link_libraries(funzioni_shell_logic_tests PRIVATE funzioni_shell_logic GTest::gtest_main)
gtest_discover_tests(funzioni_shell_logic_tests DISCOVERY_MODE PRE_TEST)
