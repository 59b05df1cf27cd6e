# The study of a typed formula at zoom 100 over a corpus of school formulas.
add_executable(funzioni_bench_study ${CMAKE_CURRENT_LIST_DIR}/study_bench.cpp)
target_link_libraries(funzioni_bench_study PRIVATE funzioni_sampling benchmark::benchmark)
