# The desktop window as the browser tests' reference (tests/web): funzioni-web-reference follows
# a steps file offscreen and writes the pictures and texts the page must show after the same steps.
add_executable(funzioni-web-reference
  ${CMAKE_CURRENT_LIST_DIR}/WebReference.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReferenceSteps.cpp
)
target_link_libraries(funzioni-web-reference PRIVATE funzioni_shell Qt6::Widgets Qt6::Test)
