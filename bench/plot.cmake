# RedrawPlot on an offscreen dialog: the start state and the heaviest state the meters allow.
add_executable(funzioni_bench_plot ${CMAKE_CURRENT_LIST_DIR}/plot_redraw.cpp)
target_link_libraries(funzioni_bench_plot PRIVATE funzioni_plot benchmark::benchmark)
