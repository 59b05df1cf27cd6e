# Tests of the application shell: the file and value logic alone, then the real window.
add_executable(funzioni_shell_logic_tests
  ${CMAKE_CURRENT_LIST_DIR}/HistoryTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HistoryFileSafetyTest.cpp
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
    ${CMAKE_CURRENT_LIST_DIR}/AccessibilityTest.cpp
  )
  target_link_libraries(funzioni_shell_window_tests PRIVATE funzioni_shell funzioni_qt_test_main)
  gtest_discover_tests(funzioni_shell_window_tests DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()

# The real program under a real X server (Xvfb), driven with xdotool; skipped without them.
if(TARGET funzioni)
  add_executable(funzioni_x_region_checksum ${CMAKE_CURRENT_LIST_DIR}/XRegionChecksum.cpp)
  target_link_libraries(funzioni_x_region_checksum PRIVATE Qt6::Gui)
  add_test(NAME funzioni_xvfb_smoke
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/xvfb_smoke.sh $<TARGET_FILE:funzioni>
            $<TARGET_FILE:funzioni_x_region_checksum>)
  set_tests_properties(funzioni_xvfb_smoke PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
  # The same program as a screen reader sees it, through AT-SPI on a private D-Bus session.
  add_test(NAME funzioni_atspi_e2e
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/atspi_e2e.sh $<TARGET_FILE:funzioni>
            $<TARGET_FILE:funzioni_x_region_checksum>)
  set_tests_properties(funzioni_atspi_e2e PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
endif()
