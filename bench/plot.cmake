# RedrawPlot on an offscreen dialog, plain and accelerated, and the typed formula's evaluation
# against direct C++ and against muparser (used only here, and only when installed:
# Debian's libmuparser-dev).
add_executable(funzioni_bench_plot
  ${CMAKE_CURRENT_LIST_DIR}/plot_redraw.cpp
  ${CMAKE_CURRENT_LIST_DIR}/plot_formula_ratio.cpp
  ${CMAKE_CURRENT_LIST_DIR}/plot_formula_corpus.cpp
  ${CMAKE_CURRENT_LIST_DIR}/plot_latency.cpp
  ${CMAKE_CURRENT_LIST_DIR}/plot_view.cpp)
target_link_libraries(funzioni_bench_plot PRIVATE funzioni_plot benchmark::benchmark)

find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(MUPARSER QUIET IMPORTED_TARGET muparser)
endif()
if(MUPARSER_FOUND)
  target_sources(funzioni_bench_plot PRIVATE ${CMAKE_CURRENT_LIST_DIR}/plot_muparser.cpp)
  target_link_libraries(funzioni_bench_plot PRIVATE PkgConfig::MUPARSER)
else()
  message(STATUS "muparser not found: the plot benchmark skips the comparison with it")
  target_sources(funzioni_bench_plot PRIVATE ${CMAKE_CURRENT_LIST_DIR}/plot_muparser_absent.cpp)
endif()

# Start-up of the real window, measured from the start of a fresh process to the window shown.
add_executable(funzioni_bench_startup ${CMAKE_CURRENT_LIST_DIR}/plot_startup.cpp)
target_link_libraries(funzioni_bench_startup PRIVATE funzioni_shell benchmark::benchmark)
# A meter step through the window's handler: meter and plotting area redrawn.
add_executable(funzioni_bench_shell ${CMAKE_CURRENT_LIST_DIR}/shell_redraw.cpp)
target_link_libraries(funzioni_bench_shell PRIVATE funzioni_shell benchmark::benchmark)
# A typed formula's parameter stepped through the window (keypad and play) at zoom 100, step 1.
add_executable(funzioni_bench_parameters ${CMAKE_CURRENT_LIST_DIR}/plot_parameters.cpp)
target_link_libraries(funzioni_bench_parameters PRIVATE funzioni_shell benchmark::benchmark)
