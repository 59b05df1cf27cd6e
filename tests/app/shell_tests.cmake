# Tests of the application shell: the file and value logic alone, then the real window.
add_executable(funzioni_shell_logic_tests
  ${CMAKE_CURRENT_LIST_DIR}/HistoryTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ParametersTest.cpp
)
target_link_libraries(funzioni_shell_logic_tests PRIVATE funzioni_shell_logic GTest::gtest_main)
gtest_discover_tests(funzioni_shell_logic_tests DISCOVERY_MODE PRE_TEST)

# The real window, offscreen, driven with simulated input.
if(TARGET funzioni_shell)
  add_executable(funzioni_shell_window_tests
    ${CMAKE_CURRENT_LIST_DIR}/ShellFixture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MainWindowTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FormulaFlowTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MeterFlowTest.cpp
  )
  target_link_libraries(funzioni_shell_window_tests PRIVATE funzioni_shell funzioni_qt_test_main)
  gtest_discover_tests(funzioni_shell_window_tests DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()
