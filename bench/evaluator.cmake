# EvaluateExpressionText on the texts that the plot hands over for typical formulas.
add_executable(funzioni_bench_evaluator ${CMAKE_CURRENT_LIST_DIR}/evaluator_bench.cpp)
target_link_libraries(funzioni_bench_evaluator PRIVATE funzioni_evaluator benchmark::benchmark)

# Each operation of the software extended arithmetic beside the compiler's long double.
add_executable(funzioni_bench_soft_arithmetic ${CMAKE_CURRENT_LIST_DIR}/soft_arithmetic_bench.cpp)
target_link_libraries(funzioni_bench_soft_arithmetic PRIVATE funzioni_evaluator benchmark::benchmark)
# Each software elementary function against the hardware long double one.
add_executable(funzioni_bench_soft_functions ${CMAKE_CURRENT_LIST_DIR}/soft_functions_bench.cpp)
target_link_libraries(funzioni_bench_soft_functions PRIVATE funzioni_evaluator benchmark::benchmark)
