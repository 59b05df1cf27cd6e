# The application shell. The file and value logic has no window dependency and builds first;
# the window, the event handler and the program need every other subsystem.

# The history file alone (standard library and POSIX only), also for the fuzzer.
add_library(funzioni_history STATIC ${CMAKE_CURRENT_LIST_DIR}/History.cpp
                                     ${CMAKE_CURRENT_LIST_DIR}/HistoryLoading.cpp)
target_include_directories(funzioni_history PUBLIC ${PROJECT_SOURCE_DIR}/src)
find_package(Threads REQUIRED)
target_link_libraries(funzioni_history PUBLIC Threads::Threads)

add_library(funzioni_shell_logic STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Parameters.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TableText.cpp
)
target_include_directories(funzioni_shell_logic PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(funzioni_shell_logic PUBLIC funzioni_history funzioni_plot_state
                                                  funzioni_program_info)

# The window and its handler need the Qt parts.
if(FUNZIONI_BUILD_GUI)
  add_library(funzioni_shell STATIC
    ${CMAKE_CURRENT_LIST_DIR}/MainWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Layout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EventHandler.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HistoryActions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PlotFlow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ExportActions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AccessibleControls.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KeyboardNavigation.cpp
  )
  target_link_libraries(funzioni_shell PUBLIC
    funzioni_shell_logic funzioni_plot funzioni_controls funzioni_drawing funzioni_evaluator)

  add_executable(funzioni ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
  target_link_libraries(funzioni PRIVATE funzioni_shell Qt6::Widgets)
endif()
