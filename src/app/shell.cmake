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
  ${CMAKE_CURRENT_LIST_DIR}/Meters.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormulaParameterValues.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ParameterPlay.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TableText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StudyReport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SignChart.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeptIntersections.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StudyJob.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StudyJobCodec.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WorksheetLoading.cpp
)
target_include_directories(funzioni_shell_logic PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(funzioni_shell_logic PUBLIC funzioni_history funzioni_plot_state
                                                  funzioni_sampling funzioni_program_info
                                                  funzioni_text)

# The page's manifest, its theme colour the window's face (FaceColor.h), written in every build:
# the web build puts it beside the page, the desktop's tests check it against the constant.
set(manifest ${PROJECT_BINARY_DIR}/funzioni.webmanifest)
set(manifest_template ${PROJECT_SOURCE_DIR}/src/drawing/web/funzioni.webmanifest)
add_custom_command(OUTPUT ${manifest}
  COMMAND python3 ${CMAKE_CURRENT_LIST_DIR}/write_manifest.py ${manifest_template}
          ${CMAKE_CURRENT_LIST_DIR}/FaceColor.h ${manifest}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/write_manifest.py ${manifest_template}
          ${CMAKE_CURRENT_LIST_DIR}/FaceColor.h
  VERBATIM)
add_custom_target(funzioni-manifest DEPENDS ${manifest})

# The window and its handler need the Qt parts.
if(FUNZIONI_BUILD_GUI)
  add_library(funzioni_shell STATIC
    ${CMAKE_CURRENT_LIST_DIR}/MainWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Layout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EventHandler.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HistoryActions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PlotPresenter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ExportActions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AccessibleControls.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LanguageMenu.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KeyboardNavigation.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StudyPanel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ParameterMeters.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ParameterPlayer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WorksheetWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ParameterFamily.cpp
  )
  target_link_libraries(funzioni_shell PUBLIC
    funzioni_shell_logic funzioni_plot funzioni_controls funzioni_drawing funzioni_evaluator)
  if(EMSCRIPTEN)
    # The page's study job, in a background instance of the program.
    target_sources(funzioni_shell PRIVATE ${CMAKE_CURRENT_LIST_DIR}/StudyJobWeb.cpp)
  endif()

  if(EMSCRIPTEN)
    # The same program as the page's: scripts/web makes build/web/funzioni.html of it.
    add_executable(funzioni-page ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
    target_link_libraries(funzioni-page PRIVATE funzioni_shell)
    # One file: the module is embedded in the script, the history kept in the browser's storage.
    target_link_options(funzioni-page PRIVATE
      -sSINGLE_FILE=1 -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=33554432
      -sENVIRONMENT=web,worker -lidbfs.js -sFORCE_FILESYSTEM=1
      "-sEXPORTED_RUNTIME_METHODS=['FS','IDBFS','addRunDependency','removeRunDependency']")
    # The page: the script inlined into its HTML, at the top of the build.
    set(page_dir ${PROJECT_SOURCE_DIR}/src/drawing/web)
    add_custom_command(TARGET funzioni-page POST_BUILD
      COMMAND python3 ${page_dir}/assemble_page.py ${page_dir}/page.html
              $<TARGET_FILE:funzioni-page> ${PROJECT_BINARY_DIR}/funzioni.html
      COMMENT "Assembling funzioni.html"
      VERBATIM)
    # Beside the page, for a web server that serves it over https: the manifest, the service
    # worker and the icons (the desktop's, rendered) that make it installable and offline.
    find_program(FUNZIONI_RSVG_CONVERT rsvg-convert REQUIRED)
    set(beside_page)
    foreach(size IN ITEMS 192 512)
      set(png ${PROJECT_BINARY_DIR}/funzioni-${size}.png)
      add_custom_command(OUTPUT ${png}
        COMMAND ${FUNZIONI_RSVG_CONVERT} -w ${size} -h ${size} -o ${png}
                ${PROJECT_SOURCE_DIR}/packaging/funzioni.svg
        DEPENDS ${PROJECT_SOURCE_DIR}/packaging/funzioni.svg
        VERBATIM)
      list(APPEND beside_page ${png})
    endforeach()
    foreach(name IN ITEMS funzioni-sw.js)
      add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/${name}
        COMMAND ${CMAKE_COMMAND} -E copy ${page_dir}/${name} ${PROJECT_BINARY_DIR}/${name}
        DEPENDS ${page_dir}/${name}
        VERBATIM)
      list(APPEND beside_page ${PROJECT_BINARY_DIR}/${name})
    endforeach()
    add_custom_target(funzioni-page-files DEPENDS ${beside_page})
    add_dependencies(funzioni-page funzioni-page-files funzioni-manifest)
  else()
    add_executable(funzioni ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
    target_link_libraries(funzioni PRIVATE funzioni_shell Qt6::Widgets)
  endif()
endif()
