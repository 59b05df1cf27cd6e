# The study of a typed formula at zoom 100 over a corpus of school formulas.
add_executable(funzioni_bench_study ${CMAKE_CURRENT_LIST_DIR}/study_bench.cpp)
target_link_libraries(funzioni_bench_study PRIVATE funzioni_sampling benchmark::benchmark)

# The study window's whole job: the study, the lines it shows, and f' at the plot's samples and
# the table's rows.
add_executable(funzioni_bench_study_window ${CMAKE_CURRENT_LIST_DIR}/study_window_bench.cpp)
target_link_libraries(funzioni_bench_study_window PRIVATE funzioni_shell_logic benchmark::benchmark)
