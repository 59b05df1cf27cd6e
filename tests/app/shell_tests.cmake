# Tests of the application shell: the file and value logic alone, then the real window.
add_executable(funzioni_shell_logic_tests
  ${CMAKE_CURRENT_LIST_DIR}/HistoryTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HistoryFileSafetyTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ParametersTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandLineTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TableTextTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StudyReportTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SignChartTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StudyJobTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StudyJobCodecTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeptIntersectionsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HistoryLoaderTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormulaParameterValuesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ParameterPlayTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WorksheetLoadingTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ManifestTest.cpp
)
target_link_libraries(funzioni_shell_logic_tests PRIVATE funzioni_shell_logic GTest::gtest_main)
# The page's manifest as the build wrote it, checked against the window's face colour.
add_dependencies(funzioni_shell_logic_tests funzioni-manifest)
target_compile_definitions(funzioni_shell_logic_tests PRIVATE
  FUNZIONI_MANIFEST_FILE="${PROJECT_BINARY_DIR}/funzioni.webmanifest")
gtest_discover_tests(funzioni_shell_logic_tests DISCOVERY_MODE PRE_TEST)

# The real window, offscreen, driven with simulated input (Qt builds only).
if(FUNZIONI_BUILD_GUI)
  add_executable(funzioni_shell_window_tests
    ${CMAKE_CURRENT_LIST_DIR}/ShellFixture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MainWindowTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FormulaFlowTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KeptFormulaFlowTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MeterFlowTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ResponsiveFlowTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DataDirWindowTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ExportFlowTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AccessibilityTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StudyWindowTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ViewGestureTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ParameterMetersTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LanguageWindowTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WorksheetFlowTest.cpp
  )
  target_link_libraries(funzioni_shell_window_tests PRIVATE funzioni_shell funzioni_qt_test_main)
  gtest_discover_tests(funzioni_shell_window_tests DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

  # The real program under a real X server (Xvfb), driven with xdotool; skipped without them.
  add_executable(funzioni_x_region_checksum ${CMAKE_CURRENT_LIST_DIR}/XRegionChecksum.cpp)
  target_link_libraries(funzioni_x_region_checksum PRIVATE Qt6::Gui)
  add_test(NAME funzioni_xvfb_smoke
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/xvfb_smoke.sh $<TARGET_FILE:funzioni>
            $<TARGET_FILE:funzioni_x_region_checksum>)
  # Alone: its pauses for the opening animation assume a machine not busy with other tests.
  set_tests_properties(funzioni_xvfb_smoke PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120 RUN_SERIAL TRUE)
  # The same program as a screen reader sees it, through AT-SPI on a private D-Bus session.
  add_test(NAME funzioni_atspi_e2e
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/atspi_e2e.sh $<TARGET_FILE:funzioni>
            $<TARGET_FILE:funzioni_x_region_checksum>)
  set_tests_properties(funzioni_atspi_e2e PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120 RUN_SERIAL TRUE)
endif()

# The window at the scale chosen for the screen, once per screen set-up: the offscreen screen at
# 1x, the user's QT_SCALE_FACTOR, a 4K desktop at 175 % (rounds to 2x) and a 2560 x 1440 desktop
# at 200 % (2x does not fit: 1x).
if(FUNZIONI_BUILD_GUI)
  add_executable(funzioni_window_scale_tests
    ${CMAKE_CURRENT_LIST_DIR}/ShellFixture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowScaleTest.cpp
  )
  target_link_libraries(funzioni_window_scale_tests PRIVATE funzioni_shell GTest::gtest Qt6::Test)
  target_include_directories(funzioni_window_scale_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  # funzioni_scale_test(NAME EXPECTED_SCALE GTEST_FILTER ENVIRONMENT...)
  function(funzioni_scale_test name scale filter)
    add_test(NAME funzioni_window_scale_${name}
             COMMAND funzioni_window_scale_tests --gtest_filter=${filter})
    set_tests_properties(funzioni_window_scale_${name} PROPERTIES
      ENVIRONMENT "FUNZIONI_EXPECTED_SCALE=${scale};${ARGN}")
  endfunction()
  set(screens ${CMAKE_CURRENT_LIST_DIR}/screens)
  set(window_only "WindowScale.*:ScaledText.*")
  funzioni_scale_test(1x 1 "*" QT_QPA_PLATFORM=offscreen)
  funzioni_scale_test(user_2x 2 ${window_only} QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2)
  funzioni_scale_test(desktop_175 2 ${window_only}
                      QT_QPA_PLATFORM=offscreen:configfile=${screens}/desktop-175-4k.json)
  funzioni_scale_test(desktop_200_small 1 ${window_only}
                      QT_QPA_PLATFORM=offscreen:configfile=${screens}/desktop-200-qhd.json)
endif()
