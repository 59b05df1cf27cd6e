# The application shell. The file and value logic has no window dependency and builds first;
# the window, the event handler and the program need every other subsystem.
add_library(funzioni_shell_logic STATIC
  ${CMAKE_CURRENT_LIST_DIR}/History.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Parameters.cpp
)
target_include_directories(funzioni_shell_logic PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(funzioni_shell_logic PUBLIC funzioni_plot_state)
